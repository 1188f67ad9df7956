#include "music/mci_commands.h"

#include "music/winmm_seam.h"
#include "text/ansi_text.h"

namespace solvane {

namespace {

constexpr std::wstring_view noCommandText = L"コマンド文字列が指定されていません";
constexpr std::wstring_view noErrorText = L"Error (文字列が取れません)";
constexpr std::int32_t noCommandCode = -1;

} // namespace

std::int32_t SendMci(MusicState& state, std::wstring_view command, std::wstring& text) {
    if (command.empty()) {
        text = noCommandText;
        return noCommandCode;
    }
    const std::string narrow = toAnsi(command);
    const MCIERROR code = mciSeam().sendString(narrow.c_str(), state.generalReply, sizeof state.generalReply, nullptr);
    if (code != 0) {
        if (mciSeam().getErrorString(code, state.errorText, sizeof state.errorText) == 0) {
            text = noErrorText;
        } else {
            text = fromAnsiBuffer(state.errorText, sizeof state.errorText);
        }
        return static_cast<std::int32_t>(code);
    }
    text = fromAnsiBuffer(state.generalReply, sizeof state.generalReply);
    return 0;
}

std::wstring QueryMci(MusicState& state, std::wstring_view command) {
    std::wstring& reply = state.lastReplyText;
    const std::int32_t code = SendMci(state, command, reply);
    if (code == 0) {
        return reply;
    }
    return L"Error:" + std::to_wstring(code);
}

std::int32_t PlayMci(MusicState& state, std::wstring_view device, std::wstring_view from, std::wstring_view to) {
    std::wstring command = L"play ";
    command += device;
    if (!from.empty()) {
        command += L" from ";
        command += from;
    }
    if (!to.empty()) {
        command += L" to ";
        command += to;
    }
    return SendMci(state, command, state.lastReplyText);
}

} // namespace solvane
