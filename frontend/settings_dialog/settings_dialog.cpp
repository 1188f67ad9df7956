#include "settings_dialog/settings_dialog.h"

#include "button/property_bag.h"
#include "contract.h"
#include "dialog_layout.h"
#include "forms/com_apartment.h"
#include "forms/high_contrast.h"
#include "forms/twips.h"
#include "frontend_resources.h"
#include "music/file_kinds.h"
#include "rules/text_rules.h"
#include "settings/settings_file.h"
#include "settings_dialog/arch_background.h"
#include "settings_dialog/save_failure.h"
#include "settings_dialog/settings_panel.h"
#include "text/platform_path.h"

#include <commdlg.h>
#include <shellapi.h>

#include <cmath>
#include <utility>

namespace solvane {

namespace {

constexpr int fileBufferLength = 255;
constexpr auto messageTitle = contract::wide(contract::messageTitle);

// "##": digits without leading zeros, nothing for 0.
std::wstring twoDigitPattern(int value) { return value == 0 ? std::wstring() : std::to_wstring(value); }

} // namespace

SettingsDialog::SettingsDialog(MusicSettings settings, std::wstring settingsPath)
    : music_(std::move(settings)), settingsPath_(std::move(settingsPath)) {}

SettingsDialog::~SettingsDialog() = default;

HWND SettingsDialog::panel() const { return Pic_C ? Pic_C->window() : nullptr; }

const Label& SettingsDialog::fileLabel() const { return Pic_C->fileLabel(); }

bool SettingsDialog::markIsSelected(int index) const { return Pic_C->marked(index); }

bool SettingsDialog::open() {
    HICON icon = LoadIconW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(SOLVANE_FRONTEND_ICON));
    // A fixed single border and a caption with only the close box.
    static constexpr auto className = contract::wide(contract::settingsDialogClass);
    static constexpr auto caption = contract::wide(contract::settingsDialogTitle);
    if (!create(className.text, caption.text, WS_CAPTION | WS_SYSMENU | WS_BORDER | WS_CLIPCHILDREN, 0, RGB(0, 0, 0),
                nullptr, icon)) {
        return false;
    }
    setClientSizeTwips(layout::dialogClient.width, layout::dialogClient.height);
    createButtons();
    load();
    return true;
}

// The controls in their order of creation; the buttons then take what the
// dialog's description stores for them.
void SettingsDialog::createButtons() {
    const auto make = [](Command& button, HWND parent, const layout::TwipsBox& box) {
        button.create(parent, box.left, box.top, box.width, box.height);
    };
    make(Cmd_Can, window(), layout::cancelButton);
    make(Cmd_Set, window(), layout::setButton);
    Pic_C = std::make_unique<SettingsPanel>([this](int index) { chooseOption(index); });
    Pic_C->create(window());
    make(Cmd_BGM, Pic_C->window(), layout::fileButton);
    Pic_C->setFileButton(Cmd_BGM.window());
    BGM_Repeat = Pic_C->createRepeatBox();
    make(Cmd_Etc, window(), layout::worksButton);

    const FormDescription form = FormDescription::fromResource(GetModuleHandleW(nullptr), SOLVANE_SETTINGS_FORM);
    const FontRef font = makeFont(buttonFontDescription());
    const PropertyBag none;
    const std::pair<const wchar_t*, Command*> buttons[] = {
        {L"Cmd_Can", &Cmd_Can}, {L"Cmd_Set", &Cmd_Set}, {L"Cmd_BGM", &Cmd_BGM}, {L"Cmd_Etc", &Cmd_Etc}};
    for (const auto& [name, button] : buttons) {
        const PropertyBag* stored = form.find(name);
        button->ReadProperties(stored != nullptr ? *stored : none, font);
    }
    // "..." says nothing to a reader by its caption.
    Cmd_BGM.setDescription(L"BGMﾌｧｲﾙを選ぶ");
    Cmd_BGM.Click = [this] { chooseMusicFile(); };
    Cmd_Set.Click = [this] { saveAndClose(); };
    Cmd_Can.Click = [this] { closeWithoutSaving(); };
    Cmd_Etc.Click = [this] { openMakersPage(); };

    // The tab key follows the windows' order: the panel (repeat box, then
    // "..."), then the three buttons below it.
    SetWindowPos(Pic_C->window(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    SetWindowPos(Cmd_Set.window(), Pic_C->window(), 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    SetWindowPos(Cmd_Can.window(), Cmd_Set.window(), 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    SetWindowPos(Cmd_Etc.window(), Cmd_Can.window(), 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    SetWindowPos(BGM_Repeat, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void SettingsDialog::load() {
    RECT outer{};
    GetWindowRect(window(), &outer);
    const TwipsScale& at = scale();
    const int widthTwips = static_cast<int>(std::lround((outer.right - outer.left) * at.twipsPerPixelX()));
    const int heightTwips = static_cast<int>(std::lround((outer.bottom - outer.top) * at.twipsPerPixelY()));
    const int screenWidth = static_cast<int>(std::lround(GetSystemMetrics(SM_CXSCREEN) * at.twipsPerPixelX()));
    const int screenHeight = static_cast<int>(std::lround(GetSystemMetrics(SM_CYSCREEN) * at.twipsPerPixelY()));
    moveTwips((screenWidth - widthTwips) / 2, (screenHeight - heightTwips) / 3, widthTwips, heightTwips);

    for (Command* button : {&Cmd_Can, &Cmd_Set, &Cmd_BGM, &Cmd_Etc}) {
        button->Initialize();
    }
    showOption(music_.BGM_Kind);
    SetWindowTextW(BGM_Repeat, twoDigitPattern(music_.BGM_Track).c_str());
    for (int track = 0; track <= 30; ++track) {
        SendMessageW(BGM_Repeat, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(twoDigitPattern(track).c_str()));
    }
    Pic_C->showFile(music_.BGM_File);

    POINT cursor{};
    if (GetCursorPos(&cursor)) {
        Cursor_X = static_cast<short>(cursor.x);
        Cursor_Y = static_cast<short>(cursor.y);
    } else {
        Cursor_X = 0;
        Cursor_Y = 0;
    }
    animate(true);
    SetCursor(LoadCursorW(nullptr, MAKEINTRESOURCEW(32512))); // IDC_ARROW
}

void SettingsDialog::showOption(int index) {
    const bool hadFocus = GetFocus() != nullptr;
    // Each control goes straight to its new state: one that keeps it is not
    // switched off and on, which readers would hear and the focus would leave.
    Cmd_BGM.Enabled(index == 2 ? -1 : 0);
    EnableWindow(BGM_Repeat, index == 1);
    for (int i = 0; i < SettingsPanel::optionCount; ++i) {
        Pic_C->mark(i, i == index);
    }
    // A control disabled while it had the focus leaves the keyboard nowhere.
    if (hadFocus && GetFocus() == nullptr) {
        SetFocus(GetNextDlgTabItem(window(), nullptr, FALSE));
    }
}

void SettingsDialog::onActivate(bool active) {
    if (!active) {
        HWND focus = GetFocus();
        if (focus != nullptr && IsChild(window(), focus)) {
            focus_ = focus;
        }
        return;
    }
    // Back to the control that had the focus, else to the first that takes it.
    HWND target = focus_;
    if (target == nullptr || !IsWindow(target) || !IsWindowEnabled(target)) {
        target = GetNextDlgTabItem(window(), nullptr, FALSE);
    }
    if (target != nullptr) {
        SetFocus(target);
    }
}

void SettingsDialog::chooseOption(int index) {
    music_.BGM_Kind = static_cast<std::int16_t>(index);
    showOption(index);
}

void SettingsDialog::chooseMusicFile() {
    // The narrow form would turn the Japanese texts into question marks on a
    // system whose code page is not 932; the chosen path goes on as before.
    wchar_t file[fileBufferLength + 1] = {};
    wchar_t title[fileBufferLength + 1] = {};
    OPENFILENAMEW request{};
    request.lStructSize = sizeof request;
    request.hwndOwner = window();
    request.hInstance = GetModuleHandleW(nullptr);
    const std::wstring filter = fileKindFilter();
    request.lpstrFilter = filter.c_str();
    request.lpstrFile = file;
    request.nMaxFile = fileBufferLength;
    request.lpstrFileTitle = title;
    request.nMaxFileTitle = fileBufferLength;
    request.lpstrTitle = L"ﾌｧｲﾙを開く";
    if (GetOpenFileNameW(&request) <= 0) {
        return;
    }
    // A path no narrow call can be given could never be saved or played:
    // say so now, and keep the file chosen before.
    if (!narrowPath(file).usable()) {
        MessageBoxW(window(), unusableMusicFileMessage(file).c_str(), messageTitle.text, MB_OK | MB_ICONEXCLAMATION);
        return;
    }
    music_.BGM_File = file;
    Pic_C->showFile(music_.BGM_File);
}

void SettingsDialog::saveAndClose() {
    wchar_t text[64] = {};
    GetWindowTextW(BGM_Repeat, text, 64);
    music_.BGM_Track = repeatTrackFrom(text);
    const SaveResult result = SaveSettings(music_.BGM_Kind, music_.BGM_Track, music_.BGM_File, settingsPath_);
    if (!result.saved()) {
        // Closing now would lose the choice: say why and stay open, so the
        // user can cancel or mend the cause and try again.
        MessageBoxW(window(), saveFailureMessage(settingsPath_, result).c_str(), messageTitle.text,
                    MB_OK | MB_ICONEXCLAMATION);
        return;
    }
    SendMessageW(window(), WM_CLOSE, 0, 0);
}

void SettingsDialog::closeWithoutSaving() { SendMessageW(window(), WM_CLOSE, 0, 0); }

void SettingsDialog::openMakersPage() {
    HCURSOR previous = SetCursor(LoadCursorW(nullptr, MAKEINTRESOURCEW(32514))); // IDC_WAIT
    ShellExecuteA(window(), "open", makersPage, "", "", SW_SHOWNORMAL);
    SetCursor(previous);
}

void SettingsDialog::animate(bool opening) {
    const RECT anchor{Cursor_X, Cursor_Y, Cursor_X, Cursor_Y};
    RECT frame{};
    GetWindowRect(window(), &frame);
    DrawAnimatedRects(window(), IDANI_CAPTION, opening ? &anchor : &frame, opening ? &frame : &anchor);
}

void SettingsDialog::onDpiChanged(const TwipsScale& scale, const RECT& suggested) {
    setScale(scale);
    Pic_C->layOut(scale);
    for (Command* button : {&Cmd_Can, &Cmd_Set, &Cmd_BGM, &Cmd_Etc}) {
        button->setScale(scale);
    }
    // The system's rectangle, as it is: another would move the dialog back
    // and forth across the monitors' edge.
    SetWindowPos(window(), nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
                 suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
    InvalidateRect(window(), nullptr, FALSE);
}

// High contrast switched or the system's colours changed: everything is
// painted again in the look that now applies, the buttons' kept faces too.
void SettingsDialog::onSystemLookChanged() {
    for (Command* button : {&Cmd_Can, &Cmd_Set, &Cmd_BGM, &Cmd_Etc}) {
        button->systemLookChanged();
    }
    RedrawWindow(window(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
}

// The repeat box's field and list: white, or the system's window colours
// in high contrast.
LRESULT SettingsDialog::editColours(HDC dc) const {
    if (!highContrastOn()) {
        return reinterpret_cast<LRESULT>(GetStockObject(WHITE_BRUSH));
    }
    SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
    SetBkColor(dc, GetSysColor(COLOR_WINDOW));
    return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_WINDOW));
}

void SettingsDialog::onPaint(HDC dc) {
    RECT client{};
    GetClientRect(window(), &client);
    if (highContrastOn()) {
        FillRect(dc, &client, GetSysColorBrush(COLOR_BTNFACE));
        return;
    }
    paintArch(dc, client.right, client.bottom, 0, 0, 30);
}

LRESULT SettingsDialog::onMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_ERASEBKGND:
        return 1;
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
        return editColours(reinterpret_cast<HDC>(wParam));
    case WM_SYSCOLORCHANGE:
        onSystemLookChanged();
        return 0;
    case WM_SETTINGCHANGE:
        if (wParam == SPI_SETHIGHCONTRAST) {
            onSystemLookChanged();
        }
        return Form::onMessage(message, wParam, lParam);
    case WM_GETOBJECT:
        return answer_.answer(wParam, lParam);
    case WM_ACTIVATE:
        onActivate(LOWORD(wParam) != WA_INACTIVE);
        return 0;
    case WM_DPICHANGED:
        onDpiChanged(TwipsScale(LOWORD(wParam), HIWORD(wParam)), *reinterpret_cast<const RECT*>(lParam));
        return 0;
    case WM_COMMAND:
        // Escape, as the dialog manager passes it on: the same as ｷｬﾝｾﾙ.
        if (wParam == IDCANCEL) {
            closeWithoutSaving();
            return 0;
        }
        return Form::onMessage(message, wParam, lParam);
    case WM_CLOSE:
        animate(false);
        DestroyWindow(window());
        return 0;
    case WM_DESTROY:
        answer_.disconnect();
        running_ = false;
        return 0;
    default:
        return Form::onMessage(message, wParam, lParam);
    }
}

void SettingsDialog::runModal() {
    show();
    running_ = true;
    MSG message{};
    while (running_ && GetMessageW(&message, nullptr, 0, 0) > 0) {
        if (!IsDialogMessageW(window(), &message)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }
}

void showSettingsDialog(MusicSettings settings) {
    const ComApartment apartment;
    SettingsDialog dialog(std::move(settings), settingsFilePath());
    if (dialog.open()) {
        dialog.runModal();
    }
}

} // namespace solvane
