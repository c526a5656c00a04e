#include "gui/DeferredIconStyle.h"

#include <QApplication>
#include <QImage>
#include <QMainWindow>
#include <QMenuBar>
#include <QStyleOption>
#include <gtest/gtest.h>
#include <link.h>
#include <memory>
#include <string>

namespace quorvel::gui {
namespace {

// True when an image-format plugin is loaded into this process.
bool ImagePluginLoaded() {
    bool found = false;
    dl_iterate_phdr(
        [](dl_phdr_info* info, std::size_t, void* data) {
            if (info->dlpi_name != nullptr &&
                std::string(info->dlpi_name).find("/imageformats/") != std::string::npos)
                *static_cast<bool*>(data) = true;
            return 0;
        },
        &found);
    return found;
}

QImage Drawn(const QIcon& icon) {
    return icon.pixmap(QSize(16, 16)).toImage().convertToFormat(QImage::Format_ARGB32);
}

TEST(DeferredIconStyle, AMenuBarLoadsNoImagePluginUntilItsExtensionIconIsDrawn) {
    // The test program installs the style, as the program does.
    ASSERT_NE(dynamic_cast<const DeferredIconStyle*>(QApplication::style()), nullptr);
    if (ImagePluginLoaded())
        GTEST_SKIP() << "an earlier test of this process loaded the image plugins";
    {
        QMainWindow window;
        window.menuBar()->addMenu(QStringLiteral("&File"));
        window.show();
        QApplication::processEvents();
        EXPECT_FALSE(ImagePluginLoaded());
    }
    // Drawing the icon reads its files, which is what loads the plugins.
    const QIcon icon =
        QApplication::style()->standardIcon(QStyle::SP_ToolBarHorizontalExtensionButton);
    EXPECT_FALSE(ImagePluginLoaded());
    EXPECT_FALSE(Drawn(icon).isNull());
    EXPECT_TRUE(ImagePluginLoaded());
}

TEST(DeferredIconStyle, DeferredIconsLookLikeTheWrappedStylesInBothDirections) {
    const auto* style = dynamic_cast<const DeferredIconStyle*>(QApplication::style());
    ASSERT_NE(style, nullptr);
    for (const QStyle::StandardPixmap which :
         {QStyle::SP_ToolBarHorizontalExtensionButton, QStyle::SP_ToolBarVerticalExtensionButton}) {
        SCOPED_TRACE(static_cast<int>(which));
        QStyleOption leftToRight;
        leftToRight.direction = Qt::LeftToRight;
        QStyleOption rightToLeft;
        rightToLeft.direction = Qt::RightToLeft;
        const QImage wrappedLtr = Drawn(style->baseStyle()->standardIcon(which, &leftToRight));
        const QImage wrappedRtl = Drawn(style->baseStyle()->standardIcon(which, &rightToLeft));
        ASSERT_FALSE(wrappedLtr.isNull());
        EXPECT_EQ(Drawn(style->standardIcon(which, &leftToRight)), wrappedLtr);
        EXPECT_EQ(Drawn(style->standardIcon(which, &rightToLeft)), wrappedRtl);
        // Without an option the application's direction holds, as in the wrapped style.
        EXPECT_EQ(Drawn(style->standardIcon(which)),
                  Drawn(style->baseStyle()->standardIcon(which)));
    }
    // Other icons are the wrapped style's own.
    EXPECT_EQ(Drawn(style->standardIcon(QStyle::SP_ArrowUp)),
              Drawn(style->baseStyle()->standardIcon(QStyle::SP_ArrowUp)));
}

TEST(DeferredIconStyle, AnIconOutlivingItsStyleStillDraws) {
    auto style = std::make_unique<DeferredIconStyle>();
    const QIcon icon = style->standardIcon(QStyle::SP_ToolBarHorizontalExtensionButton);
    style.reset();
    EXPECT_FALSE(Drawn(icon).isNull());
    EXPECT_FALSE(Drawn(QIcon(icon)).isNull());
}

} // namespace
} // namespace quorvel::gui
