#include "settings_dialog/save_failure.h"

#include <windows.h>

namespace solvane {

namespace {

std::wstring systemText(unsigned long error) {
    wchar_t* text = nullptr;
    const DWORD length = FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                                            FORMAT_MESSAGE_IGNORE_INSERTS,
                                        nullptr, error, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    std::wstring result(text != nullptr ? std::wstring_view(text, length) : std::wstring_view());
    LocalFree(text);
    while (!result.empty() && (result.back() == L'\r' || result.back() == L'\n' || result.back() == L' ')) {
        result.pop_back();
    }
    return result;
}

// The causes a user can act on get words of their own; any other cause is
// given in the system's words with its number.
std::wstring reasonFor(unsigned long error) {
    switch (error) {
    case 0:
        return L"書き込んだ値をファイルから読み戻せませんでした。";
    case ERROR_ACCESS_DENIED:
        return L"このファイルまたはフォルダーには書き込めません（アクセスが拒否されました）。";
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
        return L"ほかのプログラムがこのファイルを使用しています。";
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
        return L"ディスクの空き容量がありません。";
    case ERROR_WRITE_PROTECT:
        return L"ディスクが書き込み禁止になっています。";
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
        return L"フォルダーが見つかりません。";
    default: {
        const std::wstring text = systemText(error);
        return (text.empty() ? L"書き込めませんでした。" : text) + L"（エラー " + std::to_wstring(error) + L"）";
    }
    }
}

} // namespace

std::wstring saveFailureMessage(std::wstring_view filePath, unsigned long error) {
    std::wstring message = L"設定を保存できませんでした。\n\nファイル: ";
    message += filePath;
    message += L"\n理由: ";
    message += reasonFor(error);
    message += L"\n\nフォルダーに書き込めるようにしてからもう一度「設定」を押すか、「ｷｬﾝｾﾙ」で閉じてください。";
    return message;
}

} // namespace solvane
