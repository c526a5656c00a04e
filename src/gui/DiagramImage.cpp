#include "gui/DiagramImage.h"

#include <QImage>
#include <QMouseEvent>
#include <QPainter>
#include <algorithm>
#include <cmath>

namespace quorvel::gui {

DiagramImage::DiagramImage(QWidget* parent) : QWidget(parent) {
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void DiagramImage::LoadBitmap(const std::string& path) {
    raster_.LoadBitmap(path);
    setFixedSize(raster_.Width(), raster_.Height());
    update();
    emit bitmapLoaded();
}

void DiagramImage::DrawSegment(int x1, int y1, int x2, int y2, Rgb colour, int width) {
    raster_.DrawSegment(x1, y1, x2, y2, colour, width);
    const int pad = width + 1;
    update(QRect(QPoint(std::min(x1, x2) - pad, std::min(y1, y2) - pad),
                 QPoint(std::max(x1, x2) + pad, std::max(y1, y2) + pad)));
}

void DiagramImage::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    // Nearest-pixel scaling keeps every bitmap pixel a sharp block on a high-density screen.
    painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
    painter.fillRect(event->rect(), palette().window());
    const Bitmap& pic = raster_.Picture();
    if (pic.Empty())
        return;
    const QImage image(reinterpret_cast<const uchar*>(pic.Data()), pic.Width(), pic.Height(),
                       static_cast<qsizetype>(pic.Width()) * 4, QImage::Format_RGB32);
    painter.drawImage(event->rect(), image, event->rect());
}

QPoint DiagramImage::BitmapPixel(const QPointF& position) {
    // Rounding would give the next pixel for the right half of a scaled pixel block.
    return {static_cast<int>(std::floor(position.x())), static_cast<int>(std::floor(position.y()))};
}

void DiagramImage::mousePressEvent(QMouseEvent* event) {
    ignoreDoubleClick_ = false;
    const QPoint p = BitmapPixel(event->position());
    emit mousePressed(event->button(), p.x(), p.y());
}

void DiagramImage::mouseDoubleClickEvent(QMouseEvent* event) {
    if (ignoreDoubleClick_) {
        ignoreDoubleClick_ = false;
        return;
    }
    // The second press of a double click is a press like any other.
    mousePressEvent(event);
}

void DiagramImage::mouseMoveEvent(QMouseEvent* event) {
    const QPoint p = BitmapPixel(event->position());
    emit mouseMoved(p.x(), p.y());
}

} // namespace quorvel::gui
