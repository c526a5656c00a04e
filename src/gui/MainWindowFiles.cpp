// The main window's File and Edit menus: configuration files, recent files, undo and redo,
// the title with the file's name, and the question before unsaved changes are lost.

#include "gui/CodeWindow.h"
#include "gui/MainWindow.h"
#include "shell/ConfigurationFile.h"
#include "shell/RecentFiles.h"
#include "shell/SimpleIniFile.h"

#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QKeySequence>
#include <QMenuBar>
#include <QMessageBox>

namespace quorvel::gui {

namespace {

QString PathToQt(const std::string& path) {
    return QFile::decodeName(QByteArray::fromStdString(path));
}

std::string PathFromQt(const QString& path) {
    return QFile::encodeName(path).toStdString();
}

const QString kFileFilter = QStringLiteral("Quorvel configurations (*.qcfg);;All files (*)");

} // namespace

void TForm1::BuildFileMenu(QMenuBar* bar) {
    QMenu* fileMenu = bar->addMenu(QStringLiteral("&File"));
    fileMenu->setObjectName(QStringLiteral("File1"));
    open1_ = fileMenu->addAction(QStringLiteral("&Open..."));
    open1_->setObjectName(QStringLiteral("Open1"));
    open1_->setShortcut(QKeySequence::Open);
    save1_ = fileMenu->addAction(QStringLiteral("&Save"));
    save1_->setObjectName(QStringLiteral("Save1"));
    save1_->setShortcut(QKeySequence::Save);
    saveAs1_ = fileMenu->addAction(QStringLiteral("Save &As..."));
    saveAs1_->setObjectName(QStringLiteral("SaveAs1"));
    saveAs1_->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S));
    recent1_ = fileMenu->addMenu(QStringLiteral("&Recent Files"));
    recent1_->setObjectName(QStringLiteral("Recent1"));

    QMenu* editMenu = bar->addMenu(QStringLiteral("&Edit"));
    editMenu->setObjectName(QStringLiteral("Edit1"));
    undo1_ = editMenu->addAction(QStringLiteral("&Undo"));
    undo1_->setObjectName(QStringLiteral("Undo1"));
    undo1_->setShortcuts({QKeySequence(Qt::CTRL | Qt::Key_Z)});
    redo1_ = editMenu->addAction(QStringLiteral("&Redo"));
    redo1_->setObjectName(QStringLiteral("Redo1"));
    redo1_->setShortcuts(
        {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), QKeySequence(Qt::CTRL | Qt::Key_Y)});

    connect(open1_, &QAction::triggered, this, [this] { Open1Click(); });
    connect(save1_, &QAction::triggered, this, [this] { Save1Click(); });
    connect(saveAs1_, &QAction::triggered, this, [this] { SaveAs1Click(); });
    connect(undo1_, &QAction::triggered, this, [this] { Undo1Click(); });
    connect(redo1_, &QAction::triggered, this, [this] { Redo1Click(); });
}

void TForm1::SetFileChooser(FileChooser chooser) {
    fileChooser_ = std::move(chooser);
}

void TForm1::SetUnsavedQuestion(std::function<UnsavedAnswer()> question) {
    unsavedQuestion_ = std::move(question);
}

std::string TForm1::ChooseFile(bool save) {
    if (fileChooser_)
        return fileChooser_(save);
    const QString start = PathToQt(document_->FileName());
    const QString chosen =
        save ? QFileDialog::getSaveFileName(this, QStringLiteral("Save configuration"), start,
                                            kFileFilter)
             : QFileDialog::getOpenFileName(this, QStringLiteral("Open configuration"), start,
                                            kFileFilter);
    return PathFromQt(chosen);
}

TForm1::UnsavedAnswer TForm1::AskAboutUnsavedChanges() {
    if (unsavedQuestion_)
        return unsavedQuestion_();
    const QString name = document_->FileName().empty()
                             ? QStringLiteral("The configuration")
                             : QFileInfo(PathToQt(document_->FileName())).fileName();
    const auto answer = QMessageBox::question(
        this, QStringLiteral("Unsaved changes"),
        name + QStringLiteral(" has changes that are not saved. Save them first?"),
        QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel, QMessageBox::Save);
    if (answer == QMessageBox::Save)
        return UnsavedAnswer::Save;
    if (answer == QMessageBox::Discard)
        return UnsavedAnswer::Discard;
    return UnsavedAnswer::Cancel;
}

bool TForm1::MayDiscardChanges() {
    if (!document_->Modified() || !document_->HasDevice())
        return true;
    switch (AskAboutUnsavedChanges()) {
    case UnsavedAnswer::Save:
        return Save1Click();
    case UnsavedAnswer::Discard:
        return true;
    case UnsavedAnswer::Cancel:
        break;
    }
    return false;
}

bool TForm1::OpenConfiguration(const std::string& path) {
    if (!MayDiscardChanges())
        return false;
    bool opened = false;
    core_->Guard([&] { opened = document_->Open(path); });
    if (opened)
        RememberRecentFile(path);
    RefreshCommands();
    return opened;
}

void TForm1::Open1Click() {
    if (!MayDiscardChanges())
        return;
    const std::string path = ChooseFile(false);
    if (!path.empty())
        OpenConfiguration(path);
}

bool TForm1::SaveTo(const std::string& path) {
    std::string error;
    if (!document_->Save(path, error)) {
        messages_->ShowMessage("Cannot save \"" + path + "\": " + error);
        RefreshCommands();
        return false;
    }
    RememberRecentFile(path);
    RefreshCommands();
    return true;
}

bool TForm1::Save1Click() {
    if (document_->FileName().empty())
        return SaveAs1Click();
    return SaveTo(document_->FileName());
}

bool TForm1::SaveAs1Click() {
    std::string path = ChooseFile(true);
    if (path.empty())
        return false;
    // A new file gets the suffix of configurations unless the user gave one.
    if (QFileInfo(PathToQt(path)).suffix().isEmpty())
        path += kConfigurationFileSuffix;
    return SaveTo(path);
}

void TForm1::Undo1Click() {
    core_->Guard([this] { document_->Undo(); });
    AfterRestore();
}

void TForm1::Redo1Click() {
    core_->Guard([this] { document_->Redo(); });
    AfterRestore();
}

void TForm1::AfterRestore() {
    // The code window, when open, follows the restored register choices.
    if (codeWindow_->isVisible()) {
        core_->Perform(Action::Of(Action::Kind::Code));
        ShowCodeLines();
    }
    RefreshCommands();
}

void TForm1::RememberRecentFile(const std::string& path) {
    const std::string absolute = PathFromQt(QFileInfo(PathToQt(path)).absoluteFilePath());
    TSimpleIniFile ini(paths_.SettingsFile);
    const std::vector<std::string> before = ReadRecentFiles(ini);
    const std::vector<std::string> after = WithRecentFile(before, absolute);
    if (after != before) {
        WriteRecentFiles(ini, after);
        std::string error;
        if (!ini.UpdateFile(error))
            messages_->ShowMessage("The list of recent files could not be written to \"" +
                                   paths_.SettingsFile + "\": " + error);
    }
    RebuildRecentMenu();
}

void TForm1::RebuildRecentMenu() {
    recent1_->clear();
    const TSimpleIniFile ini(paths_.SettingsFile);
    const std::vector<std::string> files = ReadRecentFiles(ini);
    for (std::size_t i = 0; i < files.size(); ++i) {
        const QString path = PathToQt(files[i]);
        QAction* item = recent1_->addAction(QStringLiteral("&%1 %2").arg(i + 1).arg(path));
        const std::string file = files[i];
        connect(item, &QAction::triggered, this, [this, file] { OpenConfiguration(file); });
    }
    recent1_->setEnabled(!files.empty());
}

void TForm1::RefreshDocument() {
    const bool hasDevice = document_->HasDevice();
    save1_->setEnabled(hasDevice);
    saveAs1_->setEnabled(hasDevice);
    undo1_->setEnabled(document_->CanUndo());
    redo1_->setEnabled(document_->CanRedo());
    const bool modified = hasDevice && document_->Modified();
    QString prefix;
    if (!document_->FileName().empty())
        prefix = QFileInfo(PathToQt(document_->FileName())).fileName();
    else if (modified)
        prefix = QStringLiteral("Untitled");
    if (modified)
        prefix += QLatin1Char('*');
    setWindowTitle(prefix.isEmpty() ? titleBase_
                                    : prefix + QStringLiteral(" \u2014 ") + titleBase_);
}

} // namespace quorvel::gui
