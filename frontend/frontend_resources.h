#pragma once

// Shared by the C++ code and the resource script. The first icon is the
// one Windows shows for the file.
#define SOLVANE_FRONTEND_ICON 1

// The preview still, a JPEG stored as raw data.
#define SOLVANE_PREVIEW_STILL 101

// The settings dialog's option marks, JPEG pictures stored as raw data.
#define SOLVANE_OPTION_MARK_OFF 110
#define SOLVANE_OPTION_MARK_ON 111

// What the settings dialog's buttons store: UTF-8 text stored as raw data.
#define SOLVANE_SETTINGS_FORM 120
