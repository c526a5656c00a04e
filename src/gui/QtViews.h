#pragma once
// The core's view interfaces, implemented with Qt widgets.

#include "diagram/Model.h"
#include "shell/Views.h"

#include <QLabel>
#include <QLineEdit>
#include <array>
#include <functional>

namespace quorvel::gui {

// One value box: Enter is swallowed and reported, so the window can run the calculation.
class ValueBox : public QLineEdit {
    Q_OBJECT
public:
    using QLineEdit::QLineEdit;
signals:
    void enterPressed();

protected:
    void keyPressEvent(QKeyEvent* event) override;
};

class QtValueBoxes : public ValueBoxView {
public:
    // The 31 boxes, hidden, 50 pixels wide at (50, 50), children of parent. They are made at
    // the first use of any of them: nobody sees them before a device is loaded, and making 31
    // line edits is a good part of the start-up time. onCreated is called for each new box.
    QtValueBoxes(QWidget* parent, std::function<void(ValueBox*)> onCreated);
    // Frees the boxes in index order 0..30.
    ~QtValueBoxes() override;
    QtValueBoxes(const QtValueBoxes&) = delete;
    QtValueBoxes& operator=(const QtValueBoxes&) = delete;
    std::string Text(int index) const override;
    void SetText(int index, const std::string& text) override;
    void SetPosition(int index, int left, int top) override;
    void SetInputStyle(int index, bool input) override;
    void SetVisible(int index, bool visible) override;
    ValueBox* Box(int index) const;

private:
    void CreateBoxes() const;

    QWidget* parent_;
    std::function<void(ValueBox*)> onCreated_;
    mutable std::array<ValueBox*, kValueBoxCount> boxes_{};
    mutable bool created_ = false;
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
