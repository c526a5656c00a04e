#include "gui/FirstPaint.h"

#include <QCoreApplication>
#include <QEvent>
#include <QTimer>

namespace quorvel::gui {

namespace {

// Watches the paint events of a window and its children. A window is painted in one pass
// that paints every widget needing it; a check queued behind that pass finds whether another
// pass followed (a layout settling, a widget shown late), and the application quits at the
// first check that finds none.
class FirstPaintWatcher : public QObject {
public:
    explicit FirstPaintWatcher(QWidget& window) : QObject(&window), window_(window) {}

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint && watched->isWidgetType() &&
            (watched == &window_ || window_.isAncestorOf(static_cast<QWidget*>(watched)))) {
            paintedSinceCheck_ = true;
            if (!checkQueued_) {
                checkQueued_ = true;
                QTimer::singleShot(0, this, [this] { Check(); });
            }
        }
        return false;
    }

private:
    void Check() {
        if (paintedSinceCheck_) {
            paintedSinceCheck_ = false;
            QTimer::singleShot(0, this, [this] { Check(); });
            return;
        }
        checkQueued_ = false;
        // Ends the event loop as it stands, the window still shown.
        QCoreApplication::exit(0);
    }

    QWidget& window_;
    bool paintedSinceCheck_ = false;
    bool checkQueued_ = false;
};

} // namespace

void QuitAfterFirstPaintIfAsked(QWidget& window) {
    if (qEnvironmentVariableIsEmpty(kQuitAfterFirstPaintVariable))
        return;
    QCoreApplication::instance()->installEventFilter(new FirstPaintWatcher(window));
}

} // namespace quorvel::gui
