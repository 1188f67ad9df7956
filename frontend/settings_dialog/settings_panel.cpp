#include "settings_dialog/settings_panel.h"

#include "contract.h"
#include "dialog_layout.h"
#include "forms/font.h"
#include "forms/gdi.h"
#include "forms/high_contrast.h"
#include "frontend_resources.h"
#include "music/file_kinds.h"
#include "settings_dialog/arch_background.h"
#include "text/platform_path.h"

#include <algorithm>
#include <utility>

namespace solvane {

namespace {

// What the dropped list of the repeat box adds to its height, in pixels at 96 dpi.
constexpr int repeatListHeight = 200;

void place(Label& label, const layout::TwipsBox& box, const TwipsScale& scale) {
    label.place(scale.pixelsX(box.left), scale.pixelsY(box.top), scale.pixelsX(box.width), scale.pixelsY(box.height));
}

} // namespace

SettingsPanel::SettingsPanel(std::function<void(int)> chooseOption)
    : chooseOption_(std::move(chooseOption)),
      unselected_(GetModuleHandleW(nullptr), SOLVANE_OPTION_MARK_OFF, TwipsScale()),
      selected_(GetModuleHandleW(nullptr), SOLVANE_OPTION_MARK_ON, TwipsScale()), Img_BGM{ImageControl(&unselected_),
                                                                                          ImageControl(&unselected_),
                                                                                          ImageControl(&unselected_)} {
    heading_.setText(L"BGM");
    heading_.setAlign(Label::Align::Centre);
    repeatLabel_.setText(L"曲目をﾘﾋﾟｰﾄ");
    lbl_BGM[0].setText(L"無し");
    lbl_BGM[1].setText(L"音楽CD");
    lbl_BGM[2].setText(fileKindLabel());
    lbl_Fname.setBorder(true);
    lbl_Fname.setWordWrap(true);
}

bool SettingsPanel::create(HWND parent) {
    // A control parent: the tab key walks into the repeat box and "..." too.
    static constexpr auto className = contract::wide(contract::settingsPanelClass);
    if (!Form::create(className.text, L"", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, WS_EX_CONTROLPARENT, RGB(0, 0, 0),
                      parent)) {
        return false;
    }
    layOut(scale());
    return true;
}

void SettingsPanel::layOut(const TwipsScale& scale) {
    setScale(scale);
    moveTwips(layout::panel.left, layout::panel.top, layout::panel.width, layout::panel.height);
    // The new font reaches the repeat box before the old one goes.
    Font font = dialogFont(scale.dpiY());
    if (BGM_Repeat != nullptr) {
        SendMessageW(BGM_Repeat, WM_SETFONT, reinterpret_cast<WPARAM>(font.handle()), TRUE);
    }
    font_ = std::move(font);
    Label* const labels[] = {&heading_, &repeatLabel_, &lbl_BGM[0], &lbl_BGM[1], &lbl_BGM[2], &lbl_Fname};
    const layout::TwipsBox boxes[] = {layout::heading,         layout::repeatLabel,     layout::optionLabels[0],
                                      layout::optionLabels[1], layout::optionLabels[2], layout::fileLabel};
    for (std::size_t i = 0; i < std::size(labels); ++i) {
        place(*labels[i], boxes[i], scale);
        labels[i]->setFont(font_->handle());
    }
    const WindowDc dc(window());
    repeatLabel_.fitToText(dc.get());
    for (Label& label : lbl_BGM) {
        label.fitToText(dc.get());
    }
    unselected_.scaleTo(scale);
    selected_.scaleTo(scale);
    for (int i = 0; i < optionCount; ++i) {
        placeMark(i);
    }
    placeRepeatBox();
    InvalidateRect(window(), nullptr, FALSE);
}

HWND SettingsPanel::createRepeatBox() {
    BGM_Repeat = CreateWindowExW(0, L"COMBOBOX", L"",
                                 WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWN | CBS_AUTOHSCROLL, 0, 0,
                                 0, 0, window(), nullptr, GetModuleHandleW(nullptr), nullptr);
    SendMessageW(BGM_Repeat, WM_SETFONT, reinterpret_cast<WPARAM>(font_->handle()), FALSE);
    placeRepeatBox();
    // Readers get the focus in the edit field, so it carries the name too.
    COMBOBOXINFO parts{};
    parts.cbSize = sizeof parts;
    HWND field = GetComboBoxInfo(BGM_Repeat, &parts) ? parts.hwndItem : nullptr;
    if (field != nullptr) {
        repeatFieldAccess_ = std::make_unique<AccessibleControl>(field, repeatLabel_.text(), ROLE_SYSTEM_TEXT);
    }
    repeatBoxAccess_ =
        std::make_unique<AccessibleControl>(BGM_Repeat, repeatLabel_.text(), ROLE_SYSTEM_COMBOBOX, field);
    return BGM_Repeat;
}

void SettingsPanel::placeRepeatBox() {
    if (BGM_Repeat == nullptr) {
        return;
    }
    const TwipsScale& at = scale();
    const int listHeight = MulDiv(repeatListHeight, at.dpiY(), TwipsScale::usualDpi);
    const layout::TwipsBox& box = layout::repeatBox;
    MoveWindow(BGM_Repeat, at.pixelsX(box.left), at.pixelsY(box.top), at.pixelsX(box.width),
               at.pixelsY(box.height) + listHeight, TRUE);
}

void SettingsPanel::placeMark(int index) {
    const layout::TwipsBox& box = layout::optionMarks[index];
    Img_BGM[index].resize(scale().pixelsX(box.width), scale().pixelsY(box.height));
    Img_BGM[index].move(scale().pixelsX(box.left), scale().pixelsY(box.top));
}

void SettingsPanel::mark(int index, bool chosen) {
    Img_BGM[index] = ImageControl(chosen ? &selected_ : &unselected_);
    placeMark(index);
    const bool changed = chosen_[index] != chosen;
    chosen_[index] = chosen;
    InvalidateRect(window(), nullptr, FALSE);
    if (changed) {
        const int part = PanelAccessible::optionPart(index);
        notifyAccessible(EVENT_OBJECT_STATECHANGE, window(), part);
        if (chosen) {
            notifyAccessible(EVENT_OBJECT_SELECTION, window(), part);
        }
    }
}

void SettingsPanel::showFile(const std::wstring& path) {
    // The file may be stored by its short name; the user knows the long one.
    const std::wstring longName = longPathOf(path);
    lbl_Fname.setText(longName.empty() ? path : longName);
    InvalidateRect(window(), nullptr, FALSE);
    notifyAccessible(EVENT_OBJECT_NAMECHANGE, window(), PanelAccessible::FileLabel);
    notifyAccessible(EVENT_OBJECT_VALUECHANGE, window(), PanelAccessible::FileLabel);
}

void SettingsPanel::onPaint(HDC dc) {
    if (highContrastOn()) {
        paintContrast(dc);
        return;
    }
    RECT client{};
    GetClientRect(window(), &client);
    paintArch(dc, client.right, client.bottom, 30, 30, 30);
    // The black frame around the heading.
    const TwipsScale& at = scale();
    const layout::TwipsBox& frame = layout::headingFrame;
    drawOutline(dc, {at.pixelsX(frame.left), at.pixelsY(frame.top), at.pixelsX(frame.left + frame.width),
                     at.pixelsY(frame.top + frame.height)});
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

// The panel in the system's colours: its face with a frame in the text
// colour, the option marks drawn as rings (the chosen one with a dot), and
// the chosen option's label in the highlight colours.
void SettingsPanel::paintContrast(HDC dc) {
    RECT client{};
    GetClientRect(window(), &client);
    FillRect(dc, &client, GetSysColorBrush(COLOR_BTNFACE));
    const COLORREF text = GetSysColor(COLOR_BTNTEXT);
    drawOutline(dc, client, text);
    const TwipsScale& at = scale();
    const layout::TwipsBox& frame = layout::headingFrame;
    drawOutline(dc,
                {at.pixelsX(frame.left), at.pixelsY(frame.top), at.pixelsX(frame.left + frame.width),
                 at.pixelsY(frame.top + frame.height)},
                text);
    heading_.paint(dc, text);
    repeatLabel_.paint(dc, text);
    lbl_Fname.paint(dc, text);
    const OwnedGdi<HPEN> ring(CreatePen(PS_SOLID, 1, text));
    const Selection pen(dc, ring.get());
    for (int i = 0; i < optionCount; ++i) {
        const RECT& box = Img_BGM[i].bounds();
        const int size = std::min(box.right - box.left, box.bottom - box.top) - 1;
        {
            const Selection face(dc, GetSysColorBrush(COLOR_BTNFACE));
            Ellipse(dc, box.left, box.top, box.left + size, box.top + size);
        }
        if (chosen_[i]) {
            const int inset = size / 4;
            const Selection dot(dc, GetSysColorBrush(COLOR_BTNTEXT));
            Ellipse(dc, box.left + inset, box.top + inset, box.left + size - inset, box.top + size - inset);
            RECT highlight = lbl_BGM[i].bounds();
            InflateRect(&highlight, 2, 1);
            FillRect(dc, &highlight, GetSysColorBrush(COLOR_HIGHLIGHT));
            lbl_BGM[i].paint(dc, GetSysColor(COLOR_HIGHLIGHTTEXT));
        } else {
            lbl_BGM[i].paint(dc, text);
        }
    }
}

LRESULT SettingsPanel::onMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_ERASEBKGND:
        return 1; // the arch covers every pixel
    case WM_GETOBJECT:
        return answer_.answer(wParam, lParam);
    case WM_DESTROY:
        answer_.disconnect();
        return 0;
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
