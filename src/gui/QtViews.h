#pragma once
// The core's view interfaces, implemented with Qt widgets.

#include "diagram/Model.h"
#include "paint/ValueBoxPainting.h"
#include "util/Views.h"

#include <QLabel>
#include <QLineEdit>
#include <array>
#include <functional>

namespace quorvel::gui {

// One value box: Enter is swallowed and reported, so the window can run the calculation.
// The box is drawn as rendered pictures draw it (only an input box being edited looks like a
// plain edit box), grows with its text so that no digit is hidden, and has its whole text,
// or for an input box the note on how its text is read, as its tooltip.
class ValueBox : public QLineEdit {
    Q_OBJECT
public:
    explicit ValueBox(QWidget* parent = nullptr);

    // The described top-left corner; the box keeps its left edge as it grows.
    void SetAnchor(int left, int top);
    void SetInput(bool input);
    bool IsInput() const { return input_; }
    // A result computed before the last clear command.
    void SetStale(bool stale);
    bool Stale() const { return stale_; }
    // Why the box's value breaks a limit, empty when it keeps every one: the box is red and
    // the reason is its tooltip.
    void SetProblem(const QString& reason);
    const QString& Problem() const { return problem_; }
    // An input box whose text is not a plain number, and one that cannot be read at all.
    bool Marked() const { return marked_; }
    bool Failed() const { return failed_; }
    paint::ValueBoxLook Look() const;

signals:
    void enterPressed();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    // Size, marks and tooltip follow the text.
    void Refresh();

    int left_ = 50;
    int top_ = 50;
    bool input_ = true;
    bool stale_ = false;
    QString problem_;
    bool marked_ = false;
    bool failed_ = false;
    bool selectAllOnRelease_ = false;
};

class QtValueBoxes : public ValueBoxView {
public:
    // The 31 boxes, hidden, 50 pixels wide at (50, 50), children of parent. They are made at
    // the first use of any of them: nobody sees them before a device is loaded, and making 31
    // line edits is a good part of the start-up time. onCreated is called for each new box
    // with its index.
    QtValueBoxes(QWidget* parent, std::function<void(int, ValueBox*)> onCreated);
    // Frees the boxes in index order 0..30.
    ~QtValueBoxes() override;
    QtValueBoxes(const QtValueBoxes&) = delete;
    QtValueBoxes& operator=(const QtValueBoxes&) = delete;
    std::string Text(int index) const override;
    void SetText(int index, const std::string& text) override;
    void SetPosition(int index, int left, int top) override;
    void SetInputStyle(int index, bool input) override;
    void SetVisible(int index, bool visible) override;
    void SetStale(int index, bool stale) override;
    // A box whose value breaks a limit is red and shows the reason as its tooltip.
    void SetProblem(int index, const std::string& reason) override;
    ValueBox* Box(int index) const;

private:
    void CreateBoxes() const;
    void ApplyStyle(int index);

    QWidget* parent_;
    std::function<void(int, ValueBox*)> onCreated_;
    mutable std::array<ValueBox*, kValueBoxCount> boxes_{};
    mutable bool created_ = false;
};

// A description label: a caption wider than the label is drawn cut with "…" and shown whole in
// the tooltip. text() is always the whole caption.
class ElidedLabel : public QLabel {
    Q_OBJECT
public:
    using QLabel::QLabel;
    void SetCaption(const QString& caption);
    bool Elided() const { return elided_; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void Refresh();
    bool elided_ = false;
};

class QtLabels : public LabelView {
public:
    explicit QtLabels(std::array<QLabel*, kLabelCount> labels) : labels_(labels) {}
    std::string Caption(int number) const override;
    void SetCaption(int number, const std::string& caption) override;

private:
    std::array<QLabel*, kLabelCount> labels_;
};

class QtClipboard : public ClipboardView {
public:
    void SetClipboardText(const std::string& text) override;
};

// Shows messages in message boxes, or hands them to a presenter set by the owner (the
// off-screen tests record them instead of opening modal boxes).
class QtMessages : public MessageView {
public:
    explicit QtMessages(QWidget* parent) : parent_(parent) {}
    void ShowMessage(const std::string& text) override;
    void ShowMessageWithDetails(const std::string& text, const std::string& details) override;
    void SetPresenter(std::function<void(const std::string&)> presenter) {
        presenter_ = std::move(presenter);
    }

private:
    QWidget* parent_;
    std::function<void(const std::string&)> presenter_;
};

// The program's 8-bit texts shown as Latin-1, as the data files are.
QString ToQt(const std::string& text);
std::string FromQt(const QString& text);

} // namespace quorvel::gui
