#include "settings_dialog/settings_panel.h"

#include "contract.h"
#include "forms/font.h"
#include "forms/gdi.h"
#include "forms/twips.h"
#include "frontend_resources.h"
#include "settings_dialog/arch_background.h"
#include "text/platform_path.h"

#include <utility>

namespace solvane {

namespace {

// The tops of the option rows by option index: on screen the CD option
// stands first, then none, then the music file.
constexpr int optionTops[SettingsPanel::optionCount] = {1140, 840, 1440};
// What the dropped list of the repeat box adds to its height, in pixels.
constexpr int repeatListHeight = 200;

Label labelAt(int left, int top, int width, int height, const wchar_t* text) {
    Label label(pixelsX(left), pixelsY(top), pixelsX(width), pixelsY(height));
    label.setText(text);
    label.setFont(dialogFont().handle());
    return label;
}

} // namespace

SettingsPanel::SettingsPanel(std::function<void(int)> chooseOption)
    : chooseOption_(std::move(chooseOption)),
      unselected_(GetModuleHandleW(nullptr), SOLVANE_OPTION_MARK_OFF, StoredPicture::Size::Physical),
      selected_(GetModuleHandleW(nullptr), SOLVANE_OPTION_MARK_ON, StoredPicture::Size::Physical),
      heading_(labelAt(300, 360, 1665, 195, L"BGM")),
      repeatLabel_(labelAt(2040, 840, 990, 195, L"曲目をﾘﾋﾟｰﾄ")),
      lbl_BGM{labelAt(540, 1140, 345, 195, L"無し"), labelAt(540, 840, 645, 195, L"音楽CD"),
              labelAt(540, 1440, 900, 195, L"MP3、WAV")},
      lbl_Fname(labelAt(1020, 1740, 5355, 495, L"")),
      Img_BGM{ImageControl(&unselected_), ImageControl(&unselected_), ImageControl(&unselected_)} {
    heading_.setAlign(Label::Align::Centre);
    lbl_Fname.setBorder(true);
    lbl_Fname.setWordWrap(true);
    for (int i = 0; i < optionCount; ++i) {
        placeMark(i);
    }
}

bool SettingsPanel::create(HWND parent) {
    // A control parent: the tab key walks into the repeat box and "..." too.
    static constexpr auto className = contract::wide(contract::settingsPanelClass);
    if (!Form::create(className.text, L"", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, WS_EX_CONTROLPARENT,
                      RGB(0, 0, 0), parent)) {
        return false;
    }
    moveTwips(180, 240, 6795, 2535);
    const WindowDc dc(window());
    repeatLabel_.fitToText(dc.get());
    for (Label& label : lbl_BGM) {
        label.fitToText(dc.get());
    }
    return true;
}

HWND SettingsPanel::createRepeatBox() {
    HWND box = CreateWindowExW(0, L"COMBOBOX", L"",
                               WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWN | CBS_AUTOHSCROLL,
                               pixelsX(1380), pixelsY(780), pixelsX(615), pixelsY(300) + repeatListHeight, window(),
                               nullptr, GetModuleHandleW(nullptr), nullptr);
    SendMessageW(box, WM_SETFONT, reinterpret_cast<WPARAM>(dialogFont().handle()), FALSE);
    return box;
}

void SettingsPanel::placeMark(int index) {
    Img_BGM[index].resize(pixelsX(195), pixelsY(195));
    Img_BGM[index].move(pixelsX(300), pixelsY(optionTops[index]));
}

void SettingsPanel::mark(int index, bool chosen) {
    Img_BGM[index] = ImageControl(chosen ? &selected_ : &unselected_);
    placeMark(index);
    chosen_[index] = chosen;
    InvalidateRect(window(), nullptr, FALSE);
}

void SettingsPanel::showFile(const std::wstring& path) {
    // The file may be stored by its short name; the user knows the long one.
    const std::wstring longName = longPathOf(path);
    lbl_Fname.setText(longName.empty() ? path : longName);
    InvalidateRect(window(), nullptr, FALSE);
}

void SettingsPanel::onPaint(HDC dc) {
    RECT client{};
    GetClientRect(window(), &client);
    paintArch(dc, client.right, client.bottom, 30, 30, 30);
    // Shape3(3): the black frame around the heading.
    drawOutline(dc, {pixelsX(300), pixelsY(300), pixelsX(300 + 1695), pixelsY(300 + 315)});
    heading_.paint(dc);
    repeatLabel_.paint(dc);
    for (const Label& label : lbl_BGM) {
        label.paint(dc);
    }
    lbl_Fname.paint(dc);
    for (const ImageControl& image : Img_BGM) {
        image.paint(dc);
    }
}

LRESULT SettingsPanel::onMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_ERASEBKGND:
        return 1; // the arch covers every pixel
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN: {
        const POINT at{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
        for (int i = 0; i < optionCount; ++i) {
            if (PtInRect(&Img_BGM[i].bounds(), at) || lbl_BGM[i].contains(at)) {
                chooseOption_(i);
                return 0;
            }
        }
        break;
    }
    case WM_COMMAND:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
        return SendMessageW(GetParent(window()), message, wParam, lParam);
    default:
        break;
    }
    return Form::onMessage(message, wParam, lParam);
}

} // namespace solvane
