#include "gui/DeferredIconStyle.h"

#include <QApplication>
#include <QGuiApplication>
#include <QIconEngine>
#include <QPainter>
#include <QPointer>
#include <QStyleOption>

namespace quorvel::gui {

namespace {

// One of the style's deferred icons: made by the style the first time anything but its being
// null is asked of it. It keeps only the layout direction of the option it was asked with, the
// one thing of the option and widget the icon depends on (mirrored for right-to-left): by the
// time it is drawn they may be gone. Should its style be gone too, the application's style
// makes it.
class DeferredIconEngine : public QIconEngine {
public:
    DeferredIconEngine(const DeferredIconStyle* style, QStyle::StandardPixmap which,
                       Qt::LayoutDirection direction)
        : style_(style), which_(which), direction_(direction) {}

    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode,
               QIcon::State state) override {
        Icon().paint(painter, rect, Qt::AlignCenter, mode, state);
    }
    QSize actualSize(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
        return Icon().actualSize(size, mode, state);
    }
    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
        return Icon().pixmap(size, mode, state);
    }
    QPixmap scaledPixmap(const QSize& size, QIcon::Mode mode, QIcon::State state,
                         qreal scale) override {
        return Icon().pixmap(size, scale, mode, state);
    }
    QList<QSize> availableSizes(QIcon::Mode mode, QIcon::State state) override {
        return Icon().availableSizes(mode, state);
    }
    // Asked by the button as it is made; answering from the real icon would load it then.
    // The styles always have these icons.
    bool isNull() override { return false; }
    QIconEngine* clone() const override { return new DeferredIconEngine(*this); }

private:
    const QIcon& Icon() {
        if (!made_) {
            QStyleOption option;
            option.direction = direction_;
            const QStyle* style = style_ ? style_->baseStyle() : QApplication::style();
            icon_ = style->standardIcon(which_, &option);
            made_ = true;
        }
        return icon_;
    }

    QPointer<const DeferredIconStyle> style_;
    QStyle::StandardPixmap which_;
    Qt::LayoutDirection direction_;
    bool made_ = false;
    QIcon icon_;
};

} // namespace

QIcon DeferredIconStyle::standardIcon(StandardPixmap standardIcon, const QStyleOption* option,
                                      const QWidget* widget) const {
    if (standardIcon != SP_ToolBarHorizontalExtensionButton &&
        standardIcon != SP_ToolBarVerticalExtensionButton)
        return QProxyStyle::standardIcon(standardIcon, option, widget);
    return QIcon(new DeferredIconEngine(this, standardIcon,
                                        option != nullptr ? option->direction
                                                          : QGuiApplication::layoutDirection()));
}

} // namespace quorvel::gui
