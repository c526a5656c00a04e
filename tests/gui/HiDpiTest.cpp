// The window on a screen with two device pixels per pixel (run with QT_SCALE_FACTOR=2).

#include "GuiFixture.h"

namespace quorvel::gui {
namespace {

class HiDpiTest : public GuiFixture {};

TEST_F(HiDpiTest, DiagramIsDrawnSharpAndBoxesScaleWithIt) {
    WriteTestDevice();
    Start();
    if (main->devicePixelRatioF() != 2.0)
        GTEST_SKIP() << "needs QT_SCALE_FACTOR=2; ctest runs this test so as gui_tests_hidpi";
    ChooseDevice("TESTDEV");
    ClickImage(30, 70);
    QApplication::processEvents();
    const QImage shown = main->Image1()->grab().toImage().convertToFormat(QImage::Format_RGB32);
    const Bitmap& picture = main->Image1()->Picture();
    ASSERT_EQ(shown.size(), QSize(2 * picture.Width(), 2 * picture.Height()));
    // Left of the value boxes every bitmap pixel is a block of 2 x 2 device pixels of its
    // colour: nothing smoothed, nothing shifted.
    int mismatches = 0;
    for (int y = 0; y < picture.Height(); ++y)
        for (int x = 0; x < 200; ++x) {
            const Rgb c = picture.Pixel(x, y);
            for (int dy = 0; dy < 2; ++dy)
                for (int dx = 0; dx < 2; ++dx)
                    if (shown.pixel(2 * x + dx, 2 * y + dy) != qRgb(c.r, c.g, c.b))
                        ++mismatches;
        }
    EXPECT_EQ(mismatches, 0);
    EXPECT_EQ(Pixel(30, 70), kRed) << "the click chose the line under it";

    // A box keeps its place and size in pixels of the diagram, drawn with twice the detail.
    ValueBox* box = main->ValueBoxAt(1);
    EXPECT_EQ(box->pos(), QPoint(200, 40));
    EXPECT_EQ(box->grab().size(), 2 * box->size());
}

} // namespace
} // namespace quorvel::gui
