#include "music/music_player.h"

#include "music/mci_commands.h"
#include "music/music_state.h"
#include "music/winmm_seam.h"
#include "text/ansi_text.h"

#include <charconv>
#include <string>
#include <string_view>

namespace solvane {

namespace {

constexpr std::wstring_view cdDevice = L"cdaudio";

// No reply wanted: the CD commands pass no buffer.
void sendCdCommand(const char* command) { mciSeam().sendString(command, nullptr, 0, nullptr); }

// A failed query comes back as an error text or "Error:<code>", so any "ERR"
// in any letter case marks a failure. Only ASCII letters fold onto E and R.
bool containsErr(std::wstring_view reply) {
    std::wstring upper(reply);
    for (wchar_t& c : upper) {
        if (c >= L'a' && c <= L'z') {
            c = static_cast<wchar_t>(c - L'a' + L'A');
        }
    }
    return upper.find(L"ERR") != std::wstring::npos;
}

bool isBlank(wchar_t c) { return c == L' ' || c == L'\t'; }

bool isDigit(wchar_t c) { return c >= L'0' && c <= L'9'; }

// A reply read as a number the way a numeric comparison reads text: blanks
// around it, an optional sign, digits with an optional fraction and
// exponent. Anything else (empty text included) is no number.
bool readNumber(std::wstring_view text, double& value) {
    while (!text.empty() && isBlank(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && isBlank(text.back())) {
        text.remove_suffix(1);
    }
    bool negative = false;
    if (!text.empty() && (text.front() == L'+' || text.front() == L'-')) {
        negative = text.front() == L'-';
        text.remove_prefix(1);
    }
    std::string ascii;
    std::size_t mantissaDigits = 0;
    std::size_t i = 0;
    for (; i < text.size() && isDigit(text[i]); ++i, ++mantissaDigits) {
        ascii += static_cast<char>(text[i]);
    }
    if (i < text.size() && text[i] == L'.') {
        ascii += '.';
        for (++i; i < text.size() && isDigit(text[i]); ++i, ++mantissaDigits) {
            ascii += static_cast<char>(text[i]);
        }
    }
    if (mantissaDigits == 0) {
        return false;
    }
    if (i < text.size() && (text[i] == L'e' || text[i] == L'E')) {
        ascii += 'e';
        ++i;
        if (i < text.size() && (text[i] == L'+' || text[i] == L'-')) {
            ascii += static_cast<char>(text[i]);
            ++i;
        }
        const std::size_t exponentStart = i;
        for (; i < text.size() && isDigit(text[i]); ++i) {
            ascii += static_cast<char>(text[i]);
        }
        if (i == exponentStart) {
            return false;
        }
    }
    if (i != text.size()) {
        return false;
    }
    const auto [end, error] = std::from_chars(ascii.data(), ascii.data() + ascii.size(), value);
    if (error != std::errc() || end != ascii.data() + ascii.size()) {
        return false;
    }
    if (negative) {
        value = -value;
    }
    return true;
}

} // namespace

void OpenCd() {
    sendCdCommand("open cdaudio");
    sendCdCommand("set cdaudio time format tmsf");
}

void PollCd() {
    MusicState& state = musicState();
    state.CD_PollOn = flagTrue;

    const std::wstring current = QueryMci(L"status cdaudio current track");
    if (containsErr(current)) {
        state.CD_PollOn = flagFalse;
        return;
    }
    // Only its failure counts; the count is not compared with the track.
    const std::wstring count = QueryMci(L"status cdaudio number of tracks");
    if (containsErr(count)) {
        state.CD_PollOn = flagFalse;
        return;
    }

    mciSeam().sendString("status cdaudio mode", state.cdMode, cdModeLength, nullptr);
    const std::wstring mode = fromAnsiBuffer(state.cdMode, sizeof state.cdMode).substr(0, modeWordLength);
    const bool stopped = mode == L"stopped";

    const std::int16_t track = state.settings.BGM_Track;
    if (track == 0) {
        if (stopped) {
            PlayMci(cdDevice, {}, {});
        }
        return;
    }
    // The current track is compared as a number whatever the mode, so a reply
    // that is no number ends the polling even on a stopped drive.
    double currentTrack = 0;
    if (!readNumber(current, currentTrack)) {
        state.CD_PollOn = flagFalse;
        return;
    }
    if (stopped || currentTrack != track) {
        // Passed on as the device gave it; an error text makes the play fail
        // and the next poll tries again.
        const std::wstring position = QueryMci(L"status cdaudio position track " + std::to_wstring(track));
        PlayMci(cdDevice, position, {});
    }
}

void CloseCd() {
    sendCdCommand("stop cdaudio");
    sendCdCommand("close cdaudio");
}

} // namespace solvane
