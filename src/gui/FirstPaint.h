#pragma once
// Ending the program once its window stands painted, for timing the start-up of the program
// as it ships.

#include <QWidget>

namespace quorvel::gui {

// The environment variable that asks for it (any non-empty value).
inline constexpr const char* kQuitAfterFirstPaintVariable = "QUORVEL_QUIT_AFTER_FIRST_PAINT";

// When the variable is set, quits the application as soon as `window` and every widget in it
// have been painted and no further paint follows: the first complete picture of the window.
// Call before showing the window. Does nothing when the variable is not set.
void QuitAfterFirstPaintIfAsked(QWidget& window);

} // namespace quorvel::gui
