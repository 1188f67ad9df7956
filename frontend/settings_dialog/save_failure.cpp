#include "settings_dialog/save_failure.h"

#include <windows.h>

namespace solvane {

namespace {

std::wstring systemText(unsigned long error) {
    wchar_t* text = nullptr;
    const DWORD length =
        FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                       nullptr, error, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    std::wstring result(text != nullptr ? std::wstring_view(text, length) : std::wstring_view());
    LocalFree(text);
    while (!result.empty() && (result.back() == L'\r' || result.back() == L'\n' || result.back() == L' ')) {
        result.pop_back();
    }
    return result;
}

std::wstring codePageName() { return L"コード ページ " + std::to_wstring(GetACP()); }

struct Explanation {
    std::wstring reason;
    std::wstring advice;
};

constexpr wchar_t tryAgain[] = L"もう一度「設定」を押すか、「ｷｬﾝｾﾙ」で閉じてください。";

// The causes a user can act on get words of their own; any other cause is
// given in the system's words with its number.
Explanation writeFailure(unsigned long error) {
    switch (error) {
    case ERROR_ACCESS_DENIED:
        return {L"このファイルまたはフォルダーには書き込めません（アクセスが拒否されました）。",
                std::wstring(L"フォルダーに書き込めるようにしてから") + tryAgain};
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
        return {L"ほかのプログラムがこのファイルを使用しています。",
                std::wstring(L"そのプログラムを閉じてから") + tryAgain};
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
        return {L"ディスクの空き容量がありません。", std::wstring(L"空き容量を作ってから") + tryAgain};
    case ERROR_WRITE_PROTECT:
        return {L"ディスクが書き込み禁止になっています。", std::wstring(L"書き込み禁止を解いてから") + tryAgain};
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
        return {L"フォルダーが見つかりません。", std::wstring(L"フォルダーがあることを確かめてから") + tryAgain};
    default: {
        const std::wstring text = systemText(error);
        return {(text.empty() ? L"書き込めませんでした。" : text) + L"（エラー " + std::to_wstring(error) + L"）",
                std::wstring(L"原因を取り除いてから") + tryAgain};
    }
    }
}

Explanation unwritableMusicPath() {
    return {L"音楽ファイルかそのフォルダーの名前に、このシステムの文字コード（" + codePageName() +
                L"）で書けない文字があり、短い名前（8.3 形式）もありません。",
            L"ファイルの名前を変えるか、名前にその文字を含まないフォルダーに移してから、「...」で選び直してください。"};
}

Explanation explain(const SaveResult& result) {
    switch (result.fault) {
    case SaveFault::WriteFailed:
        return writeFailure(result.error);
    case SaveFault::SettingsPathUnwritable:
        return {L"Solvane のフォルダーの名前に、このシステムの文字コード（" + codePageName() +
                    L"）で書けない文字があり、短い名前（8.3 形式）もありません。",
                std::wstring(L"名前にその文字を含まないフォルダーに Solvane を移してから、") + tryAgain};
    case SaveFault::MusicPathUnwritable:
        return unwritableMusicPath();
    case SaveFault::ReadBackDiffers:
    case SaveFault::None:
        break;
    }
    return {L"書き込んだ値をファイルから読み戻せませんでした。", tryAgain};
}

} // namespace

std::wstring saveFailureMessage(std::wstring_view filePath, const SaveResult& result) {
    const Explanation explanation = explain(result);
    std::wstring message = L"設定を保存できませんでした。\n\nファイル: ";
    message += filePath;
    message += L"\n理由: ";
    message += explanation.reason;
    if (!result.restored) {
        message += L"\nファイルを元の内容に戻せませんでした。";
    }
    message += L"\n\n";
    message += explanation.advice;
    return message;
}

std::wstring unusableMusicFileMessage(std::wstring_view file) {
    const Explanation explanation = unwritableMusicPath();
    std::wstring message = L"このファイルは使えません。\n\nファイル: ";
    message += file;
    message += L"\n理由: ";
    message += explanation.reason;
    message += L"\n\n";
    message += explanation.advice;
    return message;
}

} // namespace solvane
