#pragma once
// The application's style, with the two tool-bar extension icons loaded when first drawn.

#include <QProxyStyle>

namespace quorvel::gui {

// Every menu bar asks its style, as it is created, for the icon of the button that shows the
// entries a too narrow window cuts off. The style reads that icon from image files, and reading
// the first image file loads every image-format plugin, with their libraries, to find the one
// for the file: about a millisecond before the main window's first paint, for a button that is
// hidden unless the window is narrowed. This style hands out an icon that asks the wrapped style
// for the real one when it is first drawn or measured; everything else is the wrapped style's,
// the one Qt would have chosen (a -style option or QT_STYLE_OVERRIDE included).
class DeferredIconStyle : public QProxyStyle {
public:
    QIcon standardIcon(StandardPixmap standardIcon, const QStyleOption* option = nullptr,
                       const QWidget* widget = nullptr) const override;
};

} // namespace quorvel::gui
