#include "gui/QtViews.h"

#include <QApplication>
#include <QClipboard>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMessageBox>

namespace quorvel::gui {

QString ToQt(const std::string& text) {
    return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

std::string FromQt(const QString& text) {
    const QByteArray bytes = text.toLatin1();
    return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

void ValueBox::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        event->accept();
        emit enterPressed();
        return;
    }
    QLineEdit::keyPressEvent(event);
}

QtValueBoxes::QtValueBoxes(QWidget* parent, std::function<void(ValueBox*)> onCreated)
    : parent_(parent), onCreated_(std::move(onCreated)) {}

void QtValueBoxes::CreateBoxes() const {
    created_ = true;
    for (std::size_t i = 0; i < boxes_.size(); ++i) {
        auto* box = new ValueBox(parent_);
        box->setObjectName(QStringLiteral("ValueBox%1").arg(i));
        box->setGeometry(50, 50, 50, box->sizeHint().height());
        box->hide();
        boxes_[i] = box;
        if (onCreated_)
            onCreated_(box);
    }
}

ValueBox* QtValueBoxes::Box(int index) const {
    if (!created_)
        CreateBoxes();
    return boxes_.at(static_cast<std::size_t>(index));
}

QtValueBoxes::~QtValueBoxes() {
    for (ValueBox*& box : boxes_) {
        delete box;
        box = nullptr;
    }
}

std::string QtValueBoxes::Text(int index) const {
    return FromQt(Box(index)->text());
}

void QtValueBoxes::SetText(int index, const std::string& text) {
    Box(index)->setText(ToQt(text));
}

void QtValueBoxes::SetPosition(int index, int left, int top) {
    ValueBox* box = Box(index);
    box->move(left, top);
}

void QtValueBoxes::SetInputStyle(int index, bool input) {
    ValueBox* box = Box(index);
    box->setReadOnly(!input);
    box->setFocusPolicy(input ? Qt::StrongFocus : Qt::NoFocus);
    box->setFrame(input);
    box->setStyleSheet(input ? QStringLiteral("QLineEdit { background: rgb(255, 255, 0); "
                                              "color: black; border: 1px solid black; }")
                             : QStringLiteral("QLineEdit { background: palette(base); "
                                              "border: none; }"));
}

void QtValueBoxes::SetVisible(int index, bool visible) {
    ValueBox* box = Box(index);
    box->setVisible(visible);
    if (visible)
        box->raise();
}

std::string QtLabels::Caption(int number) const {
    return FromQt(labels_.at(static_cast<std::size_t>(number - 1))->text());
}

void QtLabels::SetCaption(int number, const std::string& caption) {
    QLabel* label = labels_.at(static_cast<std::size_t>(number - 1));
    label->setText(ToQt(caption));
    label->adjustSize();
}

void QtClipboard::SetClipboardText(const std::string& text) {
    QGuiApplication::clipboard()->setText(ToQt(text));
}

void QtMessages::ShowMessage(const std::string& text) {
    ShowMessageWithDetails(text, "");
}

void QtMessages::ShowMessageWithDetails(const std::string& text, const std::string& details) {
    if (presenter_) {
        presenter_(text);
        return;
    }
    QMessageBox box(QMessageBox::Warning, QApplication::applicationDisplayName(), ToQt(text),
                    QMessageBox::Ok, parent_);
    if (!details.empty())
        box.setDetailedText(ToQt(details));
    box.exec();
}

} // namespace quorvel::gui
