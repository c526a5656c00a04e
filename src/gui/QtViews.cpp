#include "gui/QtViews.h"

#include "results/InputReading.h"

#include <QApplication>
#include <QClipboard>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMessageBox>
#include <QPainter>

namespace quorvel::gui {

QString ToQt(const std::string& text) {
    return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

std::string FromQt(const QString& text) {
    const QByteArray bytes = text.toLatin1();
    return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

ValueBox::ValueBox(QWidget* parent) : QLineEdit(parent) {
    setFont(paint::ValueBoxFont());
    connect(this, &QLineEdit::textChanged, this, [this] { Refresh(); });
    Refresh();
}

void ValueBox::SetAnchor(int left, int top) {
    left_ = left;
    top_ = top;
    Refresh();
}

void ValueBox::SetInput(bool input) {
    input_ = input;
    setReadOnly(!input);
    setFocusPolicy(input ? Qt::StrongFocus : Qt::NoFocus);
    setFrame(input);
    QPalette colours = palette();
    colours.setColor(QPalette::Base, input ? QColor(255, 255, 0) : QColor(255, 255, 255));
    colours.setColor(QPalette::Text, Qt::black);
    setPalette(colours);
    Refresh();
}

void ValueBox::SetStale(bool stale) {
    if (stale_ == stale)
        return;
    stale_ = stale;
    update();
}

void ValueBox::SetProblem(const QString& reason) {
    if (problem_ == reason)
        return;
    problem_ = reason;
    Refresh();
}

paint::ValueBoxLook ValueBox::Look() const {
    paint::ValueBoxLook look;
    look.Text = text();
    look.Input = input_;
    look.Marked = marked_;
    look.Failed = failed_;
    look.Stale = stale_ && !input_;
    look.Problem = !problem_.isEmpty();
    return look;
}

void ValueBox::Refresh() {
    marked_ = false;
    failed_ = false;
    QString tip = text();
    if (input_) {
        const InputReading reading = ReadInputText(FromQt(text()));
        marked_ = !reading.Plain;
        failed_ = !reading.Readable;
        if (marked_)
            tip = ToQt(reading.Note);
    }
    if (!problem_.isEmpty())
        tip = problem_;
    setToolTip(tip);
    const int diagramWidth = parentWidget() != nullptr ? parentWidget()->width() : width();
    setGeometry(paint::ValueBoxRect(left_, top_, text(), diagramWidth));
    update();
}

void ValueBox::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        event->accept();
        emit enterPressed();
        // The value has been used; typing on replaces it.
        if (!isReadOnly())
            selectAll();
        return;
    }
    QLineEdit::keyPressEvent(event);
}

void ValueBox::paintEvent(QPaintEvent* event) {
    if (input_ && hasFocus()) {
        // Being edited: the edit box's own look, with its cursor and selection.
        QLineEdit::paintEvent(event);
        if (marked_) {
            QPainter painter(this);
            painter.setPen(QPen(failed_ ? QColor(255, 0, 0) : QColor(255, 128, 0), 2));
            painter.drawRect(QRectF(rect()).adjusted(1, 1, -1, -1));
        }
        return;
    }
    QPainter painter(this);
    paint::PaintValueBox(painter, rect(), Look());
}

void ValueBox::focusInEvent(QFocusEvent* event) {
    // Tabbing in selects the whole text already; a click does so on its release, unless the
    // press dragged a selection of its own.
    selectAllOnRelease_ = event->reason() == Qt::MouseFocusReason;
    QLineEdit::focusInEvent(event);
}

void ValueBox::mouseReleaseEvent(QMouseEvent* event) {
    QLineEdit::mouseReleaseEvent(event);
    if (selectAllOnRelease_ && !isReadOnly() && !hasSelectedText())
        selectAll();
    selectAllOnRelease_ = false;
}

QtValueBoxes::QtValueBoxes(QWidget* parent, std::function<void(int, ValueBox*)> onCreated)
    : parent_(parent), onCreated_(std::move(onCreated)) {}

void QtValueBoxes::CreateBoxes() const {
    created_ = true;
    for (std::size_t i = 0; i < boxes_.size(); ++i) {
        auto* box = new ValueBox(parent_);
        box->setObjectName(QStringLiteral("ValueBox%1").arg(i));
        box->hide();
        boxes_[i] = box;
        if (onCreated_)
            onCreated_(static_cast<int>(i), box);
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
    ValueBox* box = Box(index);
    box->setText(ToQt(text));
}

void QtValueBoxes::SetPosition(int index, int left, int top) {
    Box(index)->SetAnchor(left, top);
}

void QtValueBoxes::SetInputStyle(int index, bool input) {
    Box(index)->SetInput(input);
}

void QtValueBoxes::SetProblem(int index, const std::string& reason) {
    Box(index)->SetProblem(ToQt(reason));
}

void QtValueBoxes::SetVisible(int index, bool visible) {
    ValueBox* box = Box(index);
    box->setVisible(visible);
    if (visible)
        box->raise();
}

void QtValueBoxes::SetStale(int index, bool stale) {
    Box(index)->SetStale(stale);
}

std::string QtLabels::Caption(int number) const {
    return FromQt(labels_.at(static_cast<std::size_t>(number - 1))->text());
}

void QtLabels::SetCaption(int number, const std::string& caption) {
    QLabel* label = labels_.at(static_cast<std::size_t>(number - 1));
    if (auto* elided = qobject_cast<ElidedLabel*>(label)) {
        elided->SetCaption(ToQt(caption));
        return;
    }
    label->setText(ToQt(caption));
    label->adjustSize();
}

void ElidedLabel::SetCaption(const QString& caption) {
    setText(caption);
    Refresh();
}

void ElidedLabel::Refresh() {
    elided_ = fontMetrics().horizontalAdvance(text()) > contentsRect().width();
    setToolTip(elided_ ? text() : QString());
    update();
}

void ElidedLabel::resizeEvent(QResizeEvent* event) {
    QLabel::resizeEvent(event);
    Refresh();
}

void ElidedLabel::paintEvent(QPaintEvent* event) {
    if (!elided_) {
        QLabel::paintEvent(event);
        return;
    }
    QPainter painter(this);
    const QRect area = contentsRect();
    painter.setPen(palette().color(foregroundRole()));
    painter.drawText(area, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
                     fontMetrics().elidedText(text(), Qt::ElideRight, area.width()));
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
