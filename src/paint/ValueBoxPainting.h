#pragma once
// The look of a value box on the diagram. The window's boxes and the boxes of a rendered
// picture are drawn by these functions, so both show the same pixels.

#include <QFont>
#include <QRect>
#include <QString>

class QPainter;

namespace quorvel::paint {

inline constexpr int kValueBoxMinWidth = 50;
inline constexpr int kValueBoxHeight = 21;
// Room between the box's edges and its text.
inline constexpr int kValueBoxTextLeft = 3;
inline constexpr int kValueBoxTextRight = 3;

struct ValueBoxLook {
    QString Text;
    bool Input = false;   // an input box: yellow with a border; a result box: white
    bool Marked = false;  // an input box whose text does not read as it looks
    bool Failed = false;  // an input box whose text cannot be read at all
    bool Stale = false;   // a result box whose value was computed before the last clear
    bool Problem = false; // the value breaks a limit of the diagram: red, the number still shown
};

// The font of the value boxes' texts.
QFont ValueBoxFont();

// The width of a box holding `text`: at least 50 pixels, and wide enough for every
// character of the text.
int ValueBoxWidth(const QString& text);

// Where a box whose described top-left corner is (left, top) lies on a diagram
// `diagramWidth` pixels wide: it keeps its left edge and grows to the right with its text;
// only a box that would then reach past the diagram's right edge moves left as far as it
// must (never past the left edge).
QRect ValueBoxRect(int left, int top, const QString& text, int diagramWidth);

// Draws the box filling `rect` (in the painter's coordinates).
void PaintValueBox(QPainter& painter, const QRect& rect, const ValueBoxLook& look);

} // namespace quorvel::paint
