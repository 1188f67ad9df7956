#pragma once

#include "button/command.h"
#include "forms/gdi.h"
#include "host_window.h"
#include "picture.h"
#include "test_support.h"

#include <windows.h>

#include <string>

namespace solvane::test {

// Where the window standing in for the dialog usually stands.
inline constexpr RECT dialogPlace{100, 100, 700, 400};

// What the button's surface holds.
Picture face(const Command& command);
// A skin as the program loads it, its pixels as stored.
OwnedBitmap loadSkin(int id);

COLORREF hex(unsigned rrggbb);
// The look on the face, told apart by the top edge's third ring (HighLight
// and HighLightSelect share their pixels; lastSkin tells those two apart).
std::string faceLook(const Command& command);
const char* name(Skin skin);

} // namespace solvane::test
