#pragma once

#include "forms/accessible.h"
#include "forms/accessible_control.h"
#include "forms/font.h"
#include "forms/form.h"
#include "forms/image_control.h"
#include "forms/label.h"
#include "forms/stored_picture.h"
#include "settings_dialog/panel_accessible.h"

#include <windows.h>

#include <functional>
#include <memory>
#include <optional>
#include <string>

namespace solvane {

// The panel of the settings dialog: its grey arch and the music options on
// it, the option marks and labels, the framed heading, the file label and
// the repeat box.
class SettingsPanel : public Form {
public:
    static constexpr int optionCount = 3;

    // `chooseOption` is called with the option a mouse button was pressed on.
    explicit SettingsPanel(std::function<void(int)> chooseOption);

    bool create(HWND parent);

    // Makes the repeat box BGM_Repeat on the panel; the dialog fills it.
    HWND createRepeatBox();

    // The "..." button the dialog puts on the panel.
    void setFileButton(HWND button) { fileButton_ = button; }

    // Places everything on it at `scale`: the panel itself, its labels and
    // their font, the marks and the repeat box.
    void layOut(const TwipsScale& scale);

    void mark(int index, bool chosen);
    bool marked(int index) const { return chosen_[index]; }

    void showFile(const std::wstring& path);
    const Label& fileLabel() const { return lbl_Fname; }

protected:
    void onPaint(HDC dc) override;
    LRESULT onMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    friend class PanelAccessible;

    void placeMark(int index);
    void placeRepeatBox();
    void paintContrast(HDC dc);

    std::function<void(int)> chooseOption_;
    std::optional<Font> font_;
    StoredPicture unselected_;
    StoredPicture selected_;
    Label heading_;
    Label repeatLabel_;
    Label lbl_BGM[optionCount];
    Label lbl_Fname;
    ImageControl Img_BGM[optionCount];
    HWND BGM_Repeat = nullptr;
    HWND fileButton_ = nullptr;
    bool chosen_[optionCount] = {};

    PanelAccessible accessible_{*this};
    AccessibleAnswer answer_{accessible_};
    // The repeat box and its edit field, named by their label.
    std::unique_ptr<AccessibleControl> repeatBoxAccess_;
    std::unique_ptr<AccessibleControl> repeatFieldAccess_;
};

} // namespace solvane
