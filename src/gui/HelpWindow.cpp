#include "gui/HelpWindow.h"

#include "gui/CodeWindow.h"

#include <QShortcut>
#include <QVBoxLayout>

namespace quorvel::gui {

TForm3::TForm3(QWidget* parent) : QWidget(parent, Qt::Window) {
    setObjectName(QStringLiteral("Form3"));
    setWindowTitle(QStringLiteral("Help"));
    setGeometry(193, 123, 870, 640);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    new QShortcut(QKeySequence(Qt::Key_Escape), this, this, &QWidget::close);
}

QPlainTextEdit* TForm3::Memo1() {
    // Made at first use: the window starts hidden, and a text box lays out its text with its
    // fonts as soon as it exists, which would cost start-up time for nothing.
    if (memo1_ == nullptr) {
        memo1_ = new QPlainTextEdit(this);
        memo1_->setObjectName(QStringLiteral("Memo1"));
        memo1_->setFont(CourierNew13());
        layout()->addWidget(memo1_);
    }
    return memo1_;
}

void TForm3::showEvent(QShowEvent* event) {
    Memo1();
    QWidget::showEvent(event);
}

} // namespace quorvel::gui
