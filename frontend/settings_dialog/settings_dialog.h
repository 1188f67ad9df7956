#pragma once

#include "button/command.h"
#include "forms/accessible.h"
#include "forms/form.h"
#include "forms/label.h"
#include "settings/music_settings.h"
#include "settings_dialog/dialog_accessible.h"

#include <windows.h>

#include <memory>
#include <string>

namespace solvane {

class SettingsPanel;

// The settings dialog Brisel_P: the user chooses the music source, the CD
// track to repeat and the music file, and saves the choice.
class SettingsDialog : public Form {
public:
    // Shows `settings` and saves what it shows to the file at `settingsPath`.
    SettingsDialog(MusicSettings settings, std::wstring settingsPath);
    ~SettingsDialog() override;

    // Creates the dialog and runs its loading steps; shown but not waited for.
    bool open();

    // Shows the dialog modally: returns when it has closed.
    void runModal();

    // What the buttons' clicks do.
    void chooseMusicFile();
    void saveAndClose();
    void closeWithoutSaving();
    void openMakersPage();

    // Pressing a mouse button on option mark or label `index`.
    void chooseOption(int index);

    // Its controls, for its accessible objects.
    Command& setButton() { return Cmd_Set; }
    Command& cancelButton() { return Cmd_Can; }
    Command& fileButton() { return Cmd_BGM; }
    Command& worksButton() { return Cmd_Etc; }
    HWND panel() const;

    // Test hooks: only tests call these.
    HWND repeatBox() const { return BGM_Repeat; }
    const Label& fileLabel() const;
    bool markIsSelected(int index) const;
    const MusicSettings& settings() const { return music_; }
    // End of the test hooks.

protected:
    void onPaint(HDC dc) override;
    LRESULT onMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    void createButtons();
    void load();
    void showOption(int index);
    void animate(bool opening);
    void onActivate(bool active);
    void onDpiChanged(const TwipsScale& scale, const RECT& suggested);
    void onSystemLookChanged();
    LRESULT editColours(HDC dc) const;

    MusicSettings music_;
    std::wstring settingsPath_;
    std::unique_ptr<SettingsPanel> Pic_C;
    HWND BGM_Repeat = nullptr;
    // Declared after the panel: Cmd_BGM lives on it and goes first.
    Command Cmd_Can;
    Command Cmd_Set;
    Command Cmd_BGM;
    Command Cmd_Etc;
    HWND focus_ = nullptr; // the control that had the focus when the dialog was deactivated
    bool running_ = false;
    // Where the cursor was when the dialog loaded: the anchor of its animations.
    short Cursor_X = 0;
    short Cursor_Y = 0;

    DialogAccessible accessible_{*this};
    AccessibleAnswer answer_{accessible_};
};

// Shows the dialog for the settings file beside the program, modally.
void showSettingsDialog(MusicSettings settings);

inline constexpr char makersPage[] = "https://www.solvane.example/works/";

} // namespace solvane
