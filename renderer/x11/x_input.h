#pragma once

namespace solvane {

// Button numbers as X gives them: buttons 1 to 3 end the saver in a window
// of its own; the wheel (4 and 5) and the side buttons do not.
inline bool buttonEnds(unsigned int button) { return button >= 1 && button <= 3; }

} // namespace solvane
