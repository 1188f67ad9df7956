#include "scripted_mci.h"

#include <cstdio>
#include <cstring>
#include <string_view>

namespace solvane::test {

namespace {

constexpr std::string_view cdDevice = "cdaudio";
constexpr std::string_view fileAlias = "MP3Play";
constexpr std::string_view openFileSuffix = "\" type MPEGVideo Alias MP3Play";

bool startsWith(std::string_view text, std::string_view prefix) { return text.substr(0, prefix.size()) == prefix; }

// "status cdaudio mode" -> verb "status", device "cdaudio", rest "mode".
struct Parsed {
    std::string verb;
    std::string device;
    std::string rest;
};

Parsed parse(const std::string& command) {
    Parsed parsed;
    const std::size_t verbEnd = command.find(' ');
    parsed.verb = command.substr(0, verbEnd);
    if (verbEnd == std::string::npos) {
        return parsed;
    }
    const std::size_t deviceEnd = command.find(' ', verbEnd + 1);
    parsed.device = command.substr(verbEnd + 1, deviceEnd - verbEnd - 1);
    if (deviceEnd != std::string::npos) {
        parsed.rest = command.substr(deviceEnd + 1);
    }
    return parsed;
}

// A whole decimal number, or -1.
int number(std::string_view text) {
    if (text.empty() || text.size() > 4) {
        return -1;
    }
    int value = 0;
    for (char c : text) {
        if (c < '0' || c > '9') {
            return -1;
        }
        value = value * 10 + (c - '0');
    }
    return value;
}

std::string tmsf(int track) {
    char text[16];
    std::snprintf(text, sizeof text, "%02d:00:00:00", track);
    return text;
}

} // namespace

std::ostream& operator<<(std::ostream& out, const Sent& sent) {
    return out << '"' << sent.command << "\" " << (sent.buffer ? "buffer" : "no buffer") << ' ' << sent.length;
}

ScriptedMci::ScriptedMci() : previous(installMciSeam(this)) {}

ScriptedMci::~ScriptedMci() { installMciSeam(previous); }

void ScriptedMci::script(const std::string& command, MCIERROR code, std::string reply) {
    scripted[command] = Answer{code, std::move(reply)};
}

void ScriptedMci::nextTrack() {
    if (cd.currentTrack < cd.tracks) {
        ++cd.currentTrack;
    } else {
        cd.mode = "stopped";
    }
}

std::vector<Sent> ScriptedMci::sent() const {
    std::vector<Sent> result;
    for (const Call& call : calls) {
        result.push_back(Sent{call.command, call.reply != nullptr, call.length});
    }
    return result;
}

MCIERROR ScriptedMci::sendString(const char* command, char* reply, UINT replyLength, HWND callback) {
    calls.push_back(Call{command, reply, replyLength, callback});
    const Answer result = answer(command);
    if (reply == nullptr || replyLength == 0) {
        return result.code;
    }
    // Like Wine's winmm, a failure leaves an empty reply.
    if (result.code != 0) {
        reply[0] = '\0';
        return result.code;
    }
    if (result.reply.size() + 1 > replyLength) {
        return MCIERR_PARAM_OVERFLOW;
    }
    // Like the platform: the reply and its NUL, the rest of the buffer as it was.
    std::memcpy(reply, result.reply.c_str(), result.reply.size() + 1);
    return 0;
}

BOOL ScriptedMci::getErrorString(MCIERROR code, char* text, UINT length) {
    errorTextLengths.push_back(length);
    if (textless.count(code) != 0 || length == 0) {
        return FALSE;
    }
    const auto known = errorTexts.find(code);
    const std::string message = known != errorTexts.end() ? known->second : "Scripted error " + std::to_string(code);
    std::snprintf(text, length, "%s", message.c_str());
    return TRUE;
}

ScriptedMci::Answer ScriptedMci::answer(const std::string& command) {
    const auto fixed = scripted.find(command);
    if (fixed != scripted.end()) {
        return fixed->second;
    }
    if (command.empty()) {
        return {MCIERR_MISSING_COMMAND_STRING, {}};
    }
    if (startsWith(command, "open \"")) {
        return answerOpenFile(command);
    }
    const Parsed parsed = parse(command);
    if (parsed.device == cdDevice) {
        return answerCd(parsed.verb, parsed.rest);
    }
    if (parsed.device == fileAlias) {
        return answerFile(parsed.verb, parsed.rest);
    }
    return {MCIERR_INVALID_DEVICE_NAME, {}};
}

ScriptedMci::Answer ScriptedMci::answerOpenFile(const std::string& command) {
    const std::size_t suffix = command.rfind(openFileSuffix);
    if (suffix == std::string::npos || suffix + openFileSuffix.size() != command.size()) {
        return {MCIERR_UNRECOGNIZED_KEYWORD, {}};
    }
    if (file.open) {
        return {MCIERR_DUPLICATE_ALIAS, {}};
    }
    if (file.openResult == 0) {
        file.open = true;
        file.mode = "stopped";
    }
    return {file.openResult, {}};
}

ScriptedMci::Answer ScriptedMci::answerCd(const std::string& verb, const std::string& rest) {
    if (verb == "open" && rest.empty()) {
        cd.open = true;
        return {};
    }
    if (!cd.open) {
        return {MCIERR_INVALID_DEVICE_NAME, {}};
    }
    if (verb == "set" && rest == "time format tmsf") {
        return {};
    }
    if (verb == "close" && rest.empty()) {
        cd.open = false;
        return {};
    }
    if (verb == "status" && rest == "mode") {
        return {0, cd.discPresent ? cd.mode : "not ready"};
    }
    if (!cd.discPresent) {
        return {MCIERR_DEVICE_NOT_READY, {}};
    }
    if (verb == "status" && rest == "current track") {
        return {0, std::to_string(cd.currentTrack)};
    }
    if (verb == "status" && rest == "number of tracks") {
        return {0, std::to_string(cd.tracks)};
    }
    constexpr std::string_view positionOf = "position track ";
    if (verb == "status" && startsWith(rest, positionOf)) {
        const int track = number(std::string_view(rest).substr(positionOf.size()));
        if (track < 1 || track > cd.tracks) {
            return {MCIERR_OUTOFRANGE, {}};
        }
        return {0, tmsf(track)};
    }
    if (verb == "play" && rest.empty()) {
        cd.mode = "playing";
        return {};
    }
    constexpr std::string_view from = "from ";
    if (verb == "play" && startsWith(rest, from)) {
        // A tmsf position "tt:mm:ss:ff" of a track on the disc.
        const std::string_view position = std::string_view(rest).substr(from.size());
        const int track = position.size() == 11 ? number(position.substr(0, 2)) : -1;
        if (track < 1 || track > cd.tracks || position.substr(2) != ":00:00:00") {
            return {MCIERR_BAD_TIME_FORMAT, {}};
        }
        cd.currentTrack = track;
        cd.mode = "playing";
        return {};
    }
    if (verb == "stop" && rest.empty()) {
        cd.mode = "stopped";
        return {};
    }
    return {MCIERR_UNRECOGNIZED_COMMAND, {}};
}

ScriptedMci::Answer ScriptedMci::answerFile(const std::string& verb, const std::string& rest) {
    if (!file.open) {
        return {MCIERR_INVALID_DEVICE_NAME, {}};
    }
    if (verb == "status" && rest == "mode") {
        return {0, file.mode};
    }
    if (verb == "play" && (rest.empty() || rest == "from 0")) {
        file.mode = "playing";
        return {};
    }
    if (verb == "stop" && rest.empty()) {
        file.mode = "stopped";
        return {};
    }
    if (verb == "close" && rest.empty()) {
        file.open = false;
        return {};
    }
    return {MCIERR_UNRECOGNIZED_COMMAND, {}};
}

RecordingSound::RecordingSound() : previous(installSoundSeam(this)) {}

RecordingSound::~RecordingSound() { installSoundSeam(previous); }

BOOL RecordingSound::playSound(const char* name, HMODULE module, DWORD flags) {
    plays.push_back(PlayCall{name != nullptr, name != nullptr ? name : "", module, flags});
    return TRUE;
}

} // namespace solvane::test
