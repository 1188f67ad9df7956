#pragma once

// Ids of the push button's skins, shared by the C++ code and the resource
// script; kept clear of the front end's other ids.
#define SOLVANE_SKIN_NORMAL 301
#define SOLVANE_SKIN_HIGHLIGHT 302
#define SOLVANE_SKIN_SELECTED 303
#define SOLVANE_SKIN_HIGHLIGHT_SELECT 304
#define SOLVANE_SKIN_PRESSED 305
#define SOLVANE_SKIN_DISABLE 306
