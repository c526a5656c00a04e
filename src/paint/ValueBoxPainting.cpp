#include "paint/ValueBoxPainting.h"

#include <QFontMetrics>
#include <QPainter>
#include <algorithm>

namespace quorvel::paint {

namespace {

const QColor kInputBackground(255, 255, 0);
const QColor kResultBackground(255, 255, 255);
const QColor kProblemBackground(255, 64, 64);
const QColor kText(0, 0, 0);
const QColor kStaleText(150, 150, 150);
const QColor kMarkedBorder(255, 128, 0);
const QColor kFailedBorder(255, 0, 0);

} // namespace

QFont ValueBoxFont() {
    // The classic dialog font at 8 points is 11 pixels high; where it is missing, the
    // fallback keeps that size.
    QFont font(QStringLiteral("MS Sans Serif"));
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(11);
    return font;
}

int ValueBoxWidth(const QString& text) {
    const QFontMetrics metrics(ValueBoxFont());
    // The advance can fall short of the inked width by a pixel at the last glyph.
    const int inked = std::max(metrics.horizontalAdvance(text), metrics.boundingRect(text).right());
    return std::max(kValueBoxMinWidth, inked + kValueBoxTextLeft + kValueBoxTextRight);
}

QRect ValueBoxRect(int left, int top, const QString& text, int diagramWidth) {
    const int width = ValueBoxWidth(text);
    int x = left;
    if (x + width > diagramWidth)
        x = std::max(0, diagramWidth - width);
    return {x, top, width, kValueBoxHeight};
}

void PaintValueBox(QPainter& painter, const QRect& rect, const ValueBoxLook& look) {
    painter.save();
    painter.fillRect(rect, look.Problem ? kProblemBackground
                           : look.Input ? kInputBackground
                                        : kResultBackground);
    if (look.Input) {
        const bool marked = look.Failed || look.Marked;
        const QColor border = look.Failed ? kFailedBorder : marked ? kMarkedBorder : kText;
        const int thickness = marked ? 2 : 1;
        for (int i = 0; i < thickness; ++i) {
            painter.setPen(border);
            painter.drawRect(rect.adjusted(i, i, -1 - i, -1 - i));
        }
    }
    painter.setFont(ValueBoxFont());
    painter.setPen(look.Stale ? kStaleText : kText);
    painter.drawText(rect.adjusted(kValueBoxTextLeft, 0, -kValueBoxTextRight + 1, 0),
                     Qt::AlignVCenter | Qt::AlignLeft | Qt::TextSingleLine, look.Text);
    painter.restore();
}

} // namespace quorvel::paint
