#pragma once

// A scripted stand-in for winmm's MCI behind the module's seam: a small
// audio CD drive (the one platform piece that cannot exist here) and the
// file alias, recording every command the module sends.
#include "music/winmm_seam.h"

#include <map>
#include <ostream>
#include <set>
#include <string>
#include <vector>

namespace solvane::test {

// One command as the module sent it: its text, whether a reply buffer came
// with it, and the reply length passed.
struct Sent {
    std::string command;
    bool buffer = false;
    UINT length = 0;
    bool operator==(const Sent&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Sent& sent);

struct Call {
    std::string command;
    char* reply = nullptr;
    UINT length = 0;
    HWND callback = nullptr;
};

class ScriptedMci final : public MciSeam {
public:
    struct Answer {
        MCIERROR code = 0;
        std::string reply;
    };

    struct CdDrive {
        bool discPresent = true;
        bool open = false;
        int tracks = 12;
        int currentTrack = 1;
        std::string mode = "stopped";
    };

    struct FileAlias {
        MCIERROR openResult = 0;
        bool open = false;
        std::string mode;
    };

    ScriptedMci();
    ~ScriptedMci() override;
    ScriptedMci(const ScriptedMci&) = delete;
    ScriptedMci& operator=(const ScriptedMci&) = delete;

    MCIERROR sendString(const char* command, char* reply, UINT replyLength, HWND callback) override;
    BOOL getErrorString(MCIERROR code, char* text, UINT length) override;

    // A fixed answer for one command, taking precedence over the simulation.
    void script(const std::string& command, MCIERROR code, std::string reply = {});

    // The drive moves on by itself: to the next track, or stops past the last.
    void nextTrack();

    std::vector<Sent> sent() const;
    void clearCalls() { calls.clear(); }

    CdDrive cd;
    FileAlias file;
    std::vector<Call> calls;
    std::set<MCIERROR> textless; // codes whose text cannot be fetched
    std::map<MCIERROR, std::string> errorTexts;
    std::vector<UINT> errorTextLengths; // length passed with each error text fetch

private:
    Answer answer(const std::string& command);
    Answer answerCd(const std::string& verb, const std::string& rest);
    Answer answerFile(const std::string& verb, const std::string& rest);
    Answer answerOpenFile(const std::string& command);

    std::map<std::string, Answer> scripted;
    MciSeam* previous;
};

// Records the sound calls; reports as many wave devices as it is told.
class RecordingSound final : public SoundSeam {
public:
    struct PlayCall {
        bool hasName = false;
        std::string name;
        HMODULE module = nullptr;
        DWORD flags = 0;
    };

    RecordingSound();
    ~RecordingSound() override;
    RecordingSound(const RecordingSound&) = delete;
    RecordingSound& operator=(const RecordingSound&) = delete;

    UINT waveOutDeviceCount() override { return devices; }
    BOOL playSound(const char* name, HMODULE module, DWORD flags) override;

    UINT devices = 1;
    std::vector<PlayCall> plays;

private:
    SoundSeam* previous;
};

} // namespace solvane::test
