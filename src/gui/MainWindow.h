#pragma once
// TForm1, the main window: the diagram view on the left, the field labels on the right, the
// hidden device list and the menu. It only adapts widgets to the core's Session: it forwards
// events to it and shows what it writes to the views.

#include "gui/DiagramImage.h"
#include "gui/FindSettingsDialog.h"
#include "gui/QtViews.h"
#include "shell/Document.h"
#include "shell/Session.h"

#include <QAction>
#include <QListWidget>
#include <QMainWindow>
#include <QMenu>
#include <QPointer>
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

    // The answers to the question before unsaved changes would be lost.
    enum class UnsavedAnswer { Save, Discard, Cancel };
    // Chooses a file to open (save false) or to save to; empty when cancelled. The file
    // dialogs are used unless a chooser is set (the off-screen tests set one).
    using FileChooser = std::function<std::string(bool save)>;
    void SetFileChooser(FileChooser chooser);
    // Asks what to do with unsaved changes; a message box unless a question is set.
    void SetUnsavedQuestion(std::function<UnsavedAnswer()> question);

    // Opens a configuration file as File > Open does, after asking about unsaved changes.
    // Returns whether it opened.
    bool OpenConfiguration(const std::string& path);
    Document& File() { return *document_; }

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
    QAction* Open1() const { return open1_; }
    QAction* Save1() const { return save1_; }
    QAction* SaveAs1() const { return saveAs1_; }
    QMenu* Recent1() const { return recent1_; }
    QAction* Undo1() const { return undo1_; }
    QAction* Redo1() const { return redo1_; }
    QAction* FindSettings1() const { return findSettings1_; }
    // The "Find settings..." dialog last opened, or nullptr.
    FindSettingsDialog* FindSettings() const { return findSettings_; }
    // The list of the limits the configuration breaks, below the field labels.
    QLabel* Violations() const { return violations_; }

    // Opens "Find settings..." on the current configuration.
    void FindSettings1Click();
    // Chooses every field of a solution by name, as --set does.
    void ApplySolution(const Solution& solution);

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
    // Closing with unsaved changes asks first; Cancel keeps the window open.
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
    // The File and Edit menus, before "Select PIC".
    void BuildFileMenu(QMenuBar* bar);
    // The title (file name, a mark for unsaved changes) and the File and Edit commands.
    void RefreshDocument();
    std::string ChooseFile(bool save);
    UnsavedAnswer AskAboutUnsavedChanges();
    // True when nothing unsaved would be lost, or the user saved or discarded it.
    bool MayDiscardChanges();
    void Open1Click();
    bool Save1Click();
    bool SaveAs1Click();
    bool SaveTo(const std::string& path);
    void Undo1Click();
    void Redo1Click();
    void AfterRestore();
    void RememberRecentFile(const std::string& path);
    void RebuildRecentMenu();
    void BuildLabels(QWidget* central);
    void PlaceBottomRightLabel();
    void CloseDeviceList();
    // Shows the session's violations below the labels.
    void ShowViolations();

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
    QAction* open1_ = nullptr;
    QAction* save1_ = nullptr;
    QAction* saveAs1_ = nullptr;
    QMenu* recent1_ = nullptr;
    QAction* undo1_ = nullptr;
    QAction* redo1_ = nullptr;
    FileChooser fileChooser_;
    std::function<UnsavedAnswer()> unsavedQuestion_;
    QAction* findSettings1_ = nullptr;
    QLabel* violations_ = nullptr;
    QPointer<FindSettingsDialog> findSettings_;
    std::unique_ptr<QtValueBoxes> valueBoxes_;
    std::unique_ptr<QtLabels> labelView_;
    std::unique_ptr<QtMessages> messages_;
    QtClipboard clipboard_;
    std::unique_ptr<Session> core_;
    std::unique_ptr<Document> document_;
    SessionPaths paths_;
    bool shown_ = false;
    // The title without the file: the program, after the device whose diagram is on screen.
    QString titleBase_;
};

} // namespace quorvel::gui
