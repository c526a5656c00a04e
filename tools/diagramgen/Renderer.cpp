#include "Renderer.h"

#include <QFont>
#include <QFontInfo>
#include <QImage>
#include <QPainter>

#include <stdexcept>

namespace quorvel::diagramgen {

namespace {

constexpr int kArrowSize = 3;

QFont DiagramFont(int pixelSize, bool bold) {
    QFont font(QString::fromLatin1(kFontFamily));
    font.setPixelSize(pixelSize);
    font.setBold(bold);
    font.setStyleStrategy(QFont::NoAntialias);
    font.setHintingPreference(QFont::PreferFullHinting);
    if (QFontInfo(font).family() != QString::fromLatin1(kFontFamily))
        throw std::runtime_error(std::string("The font \"") + kFontFamily +
                                 "\" is not installed; the diagrams are drawn with it.");
    return font;
}

Qt::Alignment ToQt(Align align) {
    switch (align) {
    case Align::Center:
        return Qt::AlignHCenter | Qt::AlignVCenter;
    case Align::Right:
        return Qt::AlignRight | Qt::AlignVCenter;
    case Align::Left:
        break;
    }
    return Qt::AlignLeft | Qt::AlignVCenter;
}

// Fills and text, the parts that need the toolkit's painter.
QImage PaintBackground(const Diagram& d) {
    QImage image(d.width, d.height, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setRenderHint(QPainter::TextAntialiasing, false);
    for (const FillItem& f : d.fills)
        painter.fillRect(QRect(f.x, f.y, f.w, f.h), QColor(f.colour.r, f.colour.g, f.colour.b));
    painter.setPen(Qt::black);
    for (const TextItem& t : d.texts) {
        painter.setFont(DiagramFont(t.pixelSize, t.bold));
        painter.drawText(QRect(t.x, t.y, t.w, t.h), static_cast<int>(ToQt(t.align)),
                         QString::fromUtf8(t.text.c_str()));
    }
    return image;
}

void DrawArrow(Bitmap& bitmap, const ArrowItem& a) {
    for (int i = 1; i <= kArrowSize; ++i) {
        switch (a.direction) {
        case Direction::Right:
            bitmap.DrawLine(a.x - i, a.y - i, a.x - i, a.y + i, kBlack, 1);
            break;
        case Direction::Left:
            bitmap.DrawLine(a.x + i, a.y - i, a.x + i, a.y + i, kBlack, 1);
            break;
        case Direction::Down:
            bitmap.DrawLine(a.x - i, a.y - i, a.x + i, a.y - i, kBlack, 1);
            break;
        case Direction::Up:
            bitmap.DrawLine(a.x - i, a.y + i, a.x + i, a.y + i, kBlack, 1);
            break;
        }
    }
}

} // namespace

Bitmap Render(const Diagram& d) {
    const QImage image = PaintBackground(d);
    Bitmap bitmap(d.width, d.height);
    for (int y = 0; y < d.height; ++y)
        for (int x = 0; x < d.width; ++x) {
            const QRgb p = image.pixel(x, y);
            bitmap.SetPixel(x, y,
                            {static_cast<std::uint8_t>(qRed(p)),
                             static_cast<std::uint8_t>(qGreen(p)),
                             static_cast<std::uint8_t>(qBlue(p))});
        }
    for (const WireItem& w : d.wires)
        bitmap.DrawLine(w.x1, w.y1, w.x2, w.y2, kBlack, 1);
    for (const ArrowItem& a : d.arrows)
        DrawArrow(bitmap, a);
    // Connectors and clickable lines exactly as the program will paint them when nothing is
    // chosen yet.
    for (const FollowRule& f : d.follows)
        bitmap.DrawLine(f.x1, f.y1, f.x2, f.y2, f.whenNoneChosen ? kRed : kBlack, 1);
    for (const ClickLine& l : d.lines)
        bitmap.DrawLine(l.x1, l.y1, l.x2, l.y2, l.IsRegister() ? kLime : kBlue, 2);
    return bitmap;
}

} // namespace quorvel::diagramgen
