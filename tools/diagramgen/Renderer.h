#pragma once
// Paints a diagram into a bitmap. Needs a QGuiApplication for the fonts.

#include "Diagram.h"

#include "diagram/Bitmap.h"

namespace quorvel::diagramgen {

inline constexpr const char* kFontFamily = "DejaVu Sans";

// Text is drawn without anti-aliasing in kFontFamily; every segment is drawn with the same
// line routine the program uses to mark lines, so clickable lines and connectors cover
// exactly the pixels the program later paints over. Throws std::runtime_error when the font
// is not installed (another font would change every picture).
Bitmap Render(const Diagram& diagram);

} // namespace quorvel::diagramgen
