#include "settings_dialog/panel_accessible.h"

#include "settings_dialog/settings_panel.h"

namespace solvane {

namespace {

// Options by part, in the order they stand on screen: CD, none, file.
constexpr int optionParts[SettingsPanel::optionCount] = {PanelAccessible::NoMusicOption, PanelAccessible::CdOption,
                                                         PanelAccessible::FileOption};

} // namespace

int PanelAccessible::optionPart(int index) { return optionParts[index]; }

int PanelAccessible::optionIndex(int part) {
    for (int index = 0; index < SettingsPanel::optionCount; ++index) {
        if (optionParts[index] == part) {
            return index;
        }
    }
    return -1;
}

HWND PanelAccessible::window() const { return panel_.window(); }

HWND PanelAccessible::partWindow(int part) const {
    switch (part) {
    case RepeatBox:
        return panel_.BGM_Repeat;
    case FileButton:
        return panel_.fileButton_;
    default:
        return nullptr;
    }
}

std::wstring PanelAccessible::name(int part) const {
    if (const int option = optionIndex(part); option >= 0) {
        return panel_.lbl_BGM[option].text();
    }
    switch (part) {
    case self:
        return panel_.heading_.text();
    case RepeatLabel:
        return panel_.repeatLabel_.text();
    case FileLabel:
        return panel_.lbl_Fname.text();
    default:
        return {};
    }
}

long PanelAccessible::role(int part) const {
    if (optionIndex(part) >= 0) {
        return ROLE_SYSTEM_RADIOBUTTON;
    }
    return part == self ? ROLE_SYSTEM_GROUPING : ROLE_SYSTEM_STATICTEXT;
}

long PanelAccessible::state(int part) const {
    if (const int option = optionIndex(part); option >= 0) {
        return panel_.marked(option) ? STATE_SYSTEM_CHECKED : 0;
    }
    return part == self ? 0 : STATE_SYSTEM_READONLY;
}

std::wstring PanelAccessible::value(int part) const {
    return part == FileLabel ? panel_.lbl_Fname.text() : std::wstring();
}

std::wstring PanelAccessible::defaultAction(int part) const {
    return optionIndex(part) >= 0 ? L"選択" : std::wstring();
}

// As a mouse button pressed on the option does.
bool PanelAccessible::doDefaultAction(int part) {
    const int option = optionIndex(part);
    if (option < 0) {
        return false;
    }
    panel_.chooseOption_(option);
    return true;
}

RECT PanelAccessible::bounds(int part) const {
    if (const int option = optionIndex(part); option >= 0) {
        RECT both{};
        UnionRect(&both, &panel_.Img_BGM[option].bounds(), &panel_.lbl_BGM[option].bounds());
        return both;
    }
    switch (part) {
    case RepeatLabel:
        return panel_.repeatLabel_.bounds();
    case FileLabel:
        return panel_.lbl_Fname.bounds();
    default:
        return AccessibleContent::bounds(part);
    }
}

} // namespace solvane
