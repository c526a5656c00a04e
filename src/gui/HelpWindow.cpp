#include "gui/HelpWindow.h"

#include "gui/CodeWindow.h"

#include <QVBoxLayout>

namespace quorvel::gui {

TForm3::TForm3(QWidget* parent) : QWidget(parent, Qt::Window) {
    setObjectName(QStringLiteral("Form3"));
    setWindowTitle(QStringLiteral("Help"));
    setGeometry(193, 123, 870, 640);
    memo1_ = new QPlainTextEdit(this);
    memo1_->setObjectName(QStringLiteral("Memo1"));
    memo1_->setFont(CourierNew13());
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(memo1_);
}

} // namespace quorvel::gui
