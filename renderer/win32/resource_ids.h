#pragma once

// Shared by the C++ code and the resource script.
#define SOLVANE_RENDERER_ICON 7002
