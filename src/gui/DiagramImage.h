#pragma once
// Image1: shows the diagram bitmap at 1:1 and reports mouse presses and moves in bitmap
// pixels. The picture itself is the core's raster, so marks are drawn into its pixels.

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

signals:
    void mousePressed(Qt::MouseButton button, int x, int y);
    void mouseMoved(int x, int y);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

private:
    RasterSurface raster_;
};

} // namespace quorvel::gui
