#include "gui/CodeWindow.h"

#include <QFontDatabase>
#include <QVBoxLayout>

namespace quorvel::gui {

QFont CourierNew13() {
    QFont font(QStringLiteral("Courier New"));
    font.setStyleHint(QFont::Monospace);
    font.setFixedPitch(true);
    font.setPixelSize(13);
    return font;
}

TForm2::TForm2(QWidget* parent) : QWidget(parent, Qt::Window) {
    setObjectName(QStringLiteral("Form2"));
    setWindowTitle(QStringLiteral("Initialisation code"));
    setGeometry(309, 144, 870, 640);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
}

QPlainTextEdit* TForm2::Memo1() {
    // Made at first use: the window starts hidden, and a text box lays out its text with its
    // fonts as soon as it exists, which would cost start-up time for nothing.
    if (memo1_ == nullptr) {
        memo1_ = new QPlainTextEdit(this);
        memo1_->setObjectName(QStringLiteral("Memo1"));
        memo1_->setFont(CourierNew13());
        memo1_->setLineWrapMode(QPlainTextEdit::NoWrap);
        layout()->addWidget(memo1_);
    }
    return memo1_;
}

void TForm2::showEvent(QShowEvent* event) {
    Memo1();
    QWidget::showEvent(event);
}

} // namespace quorvel::gui
