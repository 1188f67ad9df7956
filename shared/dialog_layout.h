#pragma once

// The settings dialog's geometry in twips, each box in its parent's client
// area: what the dialog is built from and what its tests measure. The test
// harness reads these lines too (tools/harness/contract.py) and refuses one
// it cannot read; keep them in the forms
// `inline constexpr TwipsBox name{left, top, width, height};`,
// `inline constexpr TwipsBox names[] = {name, name};` and
// `inline constexpr int name = number;`.

namespace solvane::layout {

struct TwipsBox {
    int left, top, width, height;
};

// 1440 twips to the inch: 15 to a pixel at the usual dots per inch.
inline constexpr int twipsPerInch = 1440;
inline constexpr int usualDpi = 96;

// The dialog's client area, and what stands in it.
inline constexpr TwipsBox dialogClient{0, 0, 7185, 3780};
inline constexpr TwipsBox panel{180, 240, 6795, 2535};
inline constexpr TwipsBox cancelButton{5940, 3000, 1035, 375};
inline constexpr TwipsBox setButton{4800, 3000, 1095, 375};
inline constexpr TwipsBox worksButton{2880, 3000, 1875, 375};

// On the panel. The options stand by index: 0 none, 1 audio CD, 2 music
// file; on screen the CD option comes first.
inline constexpr TwipsBox fileButton{540, 1740, 435, 315};
inline constexpr TwipsBox repeatBox{1380, 780, 615, 300};
inline constexpr TwipsBox heading{300, 360, 1665, 195};
inline constexpr TwipsBox headingFrame{300, 300, 1695, 315};
inline constexpr TwipsBox repeatLabel{2040, 840, 990, 195};
inline constexpr TwipsBox fileLabel{1020, 1740, 5355, 495};
inline constexpr TwipsBox optionMark0{300, 1140, 195, 195};
inline constexpr TwipsBox optionMark1{300, 840, 195, 195};
inline constexpr TwipsBox optionMark2{300, 1440, 195, 195};
inline constexpr TwipsBox optionLabel0{540, 1140, 345, 195};
inline constexpr TwipsBox optionLabel1{540, 840, 645, 195};
inline constexpr TwipsBox optionLabel2{540, 1440, 900, 195};

inline constexpr TwipsBox optionMarks[] = {optionMark0, optionMark1, optionMark2};
inline constexpr TwipsBox optionLabels[] = {optionLabel0, optionLabel1, optionLabel2};

// The frame of a button's skin, which its face keeps at every size; and
// the option marks' artwork, 12 pixels square at the usual dots per inch,
// which the dialog shows at that size in inches at every scale.
inline constexpr int skinFrame = 60;
inline constexpr int optionMarkSize = 180;

} // namespace solvane::layout
