#include "gui/DeferredIconStyle.h"

#include <QApplication>
#include <QGuiApplication>
#include <QIconEngine>
#include <QPainter>
#include <QPointer>
#include <QStyleOption>
#include <functional>

namespace quorvel::gui {

namespace {

// An icon made by `make` the first time anything but its being null is asked of it.
class DeferredIconEngine : public QIconEngine {
public:
    explicit DeferredIconEngine(std::function<QIcon()> make) : make_(std::move(make)) {}

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
        if (make_) {
            icon_ = make_();
            make_ = nullptr;
        }
        return icon_;
    }

    std::function<QIcon()> make_; // empty once the icon is made
    QIcon icon_;
};

} // namespace

QIcon DeferredIconStyle::standardIcon(StandardPixmap standardIcon, const QStyleOption* option,
                                      const QWidget* widget) const {
    if (standardIcon != SP_ToolBarHorizontalExtensionButton &&
        standardIcon != SP_ToolBarVerticalExtensionButton)
        return QProxyStyle::standardIcon(standardIcon, option, widget);
    // The icon may be drawn long after this call, when the option and the widget are gone:
    // it keeps the layout direction, the one thing of them the icon depends on (mirrored for
    // right-to-left), and falls back on the application's style should this one be replaced.
    QStyleOption kept;
    kept.direction = option != nullptr ? option->direction : QGuiApplication::layoutDirection();
    return QIcon(new DeferredIconEngine(
        [self = QPointer<const DeferredIconStyle>(this), standardIcon, kept] {
            const QStyle* style = self ? self->baseStyle() : QApplication::style();
            return style->standardIcon(standardIcon, &kept);
        }));
}

} // namespace quorvel::gui
