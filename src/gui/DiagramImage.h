#pragma once
// Image1: shows the diagram bitmap at 1:1 and reports mouse presses and moves in bitmap
// pixels. The picture itself is the core's raster, so marks are drawn into its pixels. On a
// screen with several device pixels per pixel the bitmap is scaled as a picture, each of its
// pixels a sharp block, and a point anywhere in a block maps back to that bitmap pixel.

#include "shell/HeadlessViews.h"

#include <QWidget>

namespace quorvel::gui {

class DiagramImage : public QWidget, public DiagramSurface {
    Q_OBJECT
public:
    explicit DiagramImage(QWidget* parent = nullptr);

    void LoadBitmap(const std::string& path) override;
    void DrawSegment(int x1, int y1, int x2, int y2, Rgb colour, int width) override;

    const Bitmap& Picture() const { return raster_.Picture(); }

    // The second press of a double click whose first click closed the device list lands
    // here; it must not reach the diagram as a click of its own.
    void IgnoreNextDoubleClick() { ignoreDoubleClick_ = true; }

    // The bitmap pixel under a point of the widget.
    static QPoint BitmapPixel(const QPointF& position);

signals:
    void mousePressed(Qt::MouseButton button, int x, int y);
    void mouseMoved(int x, int y);
    // A bitmap file was loaded and is shown.
    void bitmapLoaded();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    RasterSurface raster_;
    bool ignoreDoubleClick_ = false;
};

} // namespace quorvel::gui
