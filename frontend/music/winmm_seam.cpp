#include "music/winmm_seam.h"

namespace solvane {

namespace {

class WinmmMci final : public MciSeam {
public:
    MCIERROR sendString(const char* command, char* reply, UINT replyLength, HWND callback) override {
        return mciSendStringA(command, reply, replyLength, callback);
    }
    BOOL getErrorString(MCIERROR code, char* text, UINT length) override {
        return mciGetErrorStringA(code, text, length);
    }
};

class WinmmSound final : public SoundSeam {
public:
    UINT waveOutDeviceCount() override { return waveOutGetNumDevs(); }
    BOOL playSound(const char* name, HMODULE module, DWORD flags) override {
        return PlaySoundA(name, module, flags);
    }
};

WinmmMci winmmMci;
WinmmSound winmmSound;
MciSeam* currentMci = &winmmMci;
SoundSeam* currentSound = &winmmSound;

} // namespace

MciSeam& mciSeam() { return *currentMci; }
SoundSeam& soundSeam() { return *currentSound; }

MciSeam* installMciSeam(MciSeam* seam) {
    MciSeam* previous = currentMci;
    currentMci = seam != nullptr ? seam : &winmmMci;
    return previous;
}

SoundSeam* installSoundSeam(SoundSeam* seam) {
    SoundSeam* previous = currentSound;
    currentSound = seam != nullptr ? seam : &winmmSound;
    return previous;
}

} // namespace solvane
