#pragma once
// The main window's client area below its menu bar. The start-up yardstick sizes its bare
// window from these too, so that both windows fill the same pixels.

namespace quorvel::gui {

// Wide enough for the longest description of the shipped devices; narrower windows cut
// long descriptions with "…".
inline constexpr int kClientWidth = 1310;
inline constexpr int kClientHeight = 890;

} // namespace quorvel::gui
