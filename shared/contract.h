#pragma once

// What the two programs and their tests agree on: the window titles other
// processes look for, the window classes, the program files. The test
// harness reads these lines too (tools/harness/contract.py), so each name is
// written here and nowhere else; keep them in the form
// `inline constexpr char name[] = "text";`, plain ASCII.

#include <cstddef>

namespace solvane::contract {

// The renderer's full-screen window, which the front end watches for, and the
// title it has while it is created (its own single-instance test).
inline constexpr char rendererTitle[] = "Brisel_VC";
inline constexpr char rendererStartTitle[] = "Screensaver";
inline constexpr char rendererClass[] = "WindowsScreenSaverClass";

// The front end's windows.
inline constexpr char saverRunTitle[] = "Brisel_Main";
inline constexpr char saverRunClass[] = "Brisel_S";
inline constexpr char settingsDialogTitle[] = "<Solvane>";
inline constexpr char settingsDialogClass[] = "Brisel_P";
inline constexpr char settingsPanelClass[] = "Brisel_P_Panel";
inline constexpr char buttonClass[] = "Brisel_Command";
inline constexpr char previewTitle[] = "Preview Window";
inline constexpr char previewClass[] = "Brisel_R";
// The caption of the front end's message boxes.
inline constexpr char messageTitle[] = "Solvane";

// The program files, side by side in one folder.
inline constexpr char frontendFile[] = "Solvane.scr";
inline constexpr char rendererFile[] = "Solvane.dll";

// A name as wide text, for the front end's wide window calls.
template <std::size_t N>
struct WideName {
    wchar_t text[N];
};

template <std::size_t N>
constexpr WideName<N> wide(const char (&name)[N]) {
    WideName<N> result{};
    for (std::size_t i = 0; i < N; ++i) {
        result.text[i] = static_cast<wchar_t>(name[i]);
    }
    return result;
}

} // namespace solvane::contract
