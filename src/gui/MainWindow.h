#pragma once
// TForm1, the main window: the diagram view on the left, the field labels on the right, the
// hidden device list and the menu. It only adapts widgets to the core's Session: it forwards
// events to it and shows what it writes to the views.

#include "gui/DiagramImage.h"
#include "gui/QtViews.h"
#include "shell/Session.h"

#include <QAction>
#include <QListWidget>
#include <QMainWindow>
#include <QMenu>
#include <QScrollArea>
#include <array>
#include <functional>
#include <memory>

namespace quorvel::gui {

class TForm2;
class TForm3;

class TForm1 : public QMainWindow {
    Q_OBJECT
public:
    TForm1(SessionPaths paths, TForm2* codeWindow, TForm3* helpWindow, QWidget* parent = nullptr);
    ~TForm1() override;

    // Messages go to message boxes unless a presenter is set.
    void SetMessagePresenter(std::function<void(const std::string&)> presenter);

    Session& Core() { return *core_; }
    DiagramImage* Image1() const { return image1_; }
    QScrollArea* ScrollBox1() const { return scrollBox1_; }
    QListWidget* ListBox1() const { return listBox1_; }
    QLabel* Label(int number) const { return labels_.at(static_cast<std::size_t>(number - 1)); }
    ValueBox* ValueBoxAt(int index) const { return valueBoxes_->Box(index); }
    QAction* PIC1() const { return pic1_; }
    QAction* Code1() const { return code1_; }
    QAction* Calculate1() const { return calculate1_; }
    QAction* Reset1() const { return reset1_; }
    QAction* ClearAll1() const { return clearAll1_; }
    QAction* ClearConfigbits1() const { return clearConfigbits1_; }
    QAction* ClearRegisterSettings1() const { return clearRegisterSettings1_; }
    QAction* ReloadAll1() const { return reloadAll1_; }
    QAction* Help1() const { return help1_; }

    // The menu and list handlers, named after the control and event they serve.
    void PIC1Click();
    void ListBox1Click();
    void Image1MouseDown(Qt::MouseButton button, int x, int y);
    void Image1MouseMove(int x, int y);
    void Code1Click();
    void Help1Click();

protected:
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    // Keys of the device list, and while it is open a press anywhere else, which closes it.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Runs an event handler under the session's guard: an error it raises is shown in a
    // message box and nothing is undone. Qt never sees an exception.
    void Guard(const std::function<void()>& handler);
    // Performs an action of the session, then shows the commands it made available.
    Outcome Perform(const Action& action);
    void FormShow();
    // Shows the commands that the core has made available.
    void RefreshCommands();
    void ShowCodeLines();
    // The language or merge choice of the code window changed: remember the language in the
    // settings file and, once a device is loaded, make the code anew.
    void CodeOptionsChanged();
    void BuildMenu();
    void BuildLabels(QWidget* central);
    void PlaceBottomRightLabel();
    void CloseDeviceList();

    TForm2* codeWindow_;
    TForm3* helpWindow_;
    QScrollArea* scrollBox1_ = nullptr;
    DiagramImage* image1_ = nullptr;
    QListWidget* listBox1_ = nullptr;
    std::array<QLabel*, kLabelCount> labels_{};
    QAction* pic1_ = nullptr;
    QAction* code1_ = nullptr;
    QAction* calculate1_ = nullptr;
    QAction* reset1_ = nullptr;
    QAction* clearAll1_ = nullptr;
    QAction* clearConfigbits1_ = nullptr;
    QAction* clearRegisterSettings1_ = nullptr;
    QAction* reloadAll1_ = nullptr;
    QAction* help1_ = nullptr;
    std::unique_ptr<QtValueBoxes> valueBoxes_;
    std::unique_ptr<QtLabels> labelView_;
    std::unique_ptr<QtMessages> messages_;
    QtClipboard clipboard_;
    std::unique_ptr<Session> core_;
    SessionPaths paths_;
    bool shown_ = false;
};

} // namespace quorvel::gui
