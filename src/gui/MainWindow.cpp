#include "gui/MainWindow.h"

#include "gui/ClientArea.h"
#include "gui/CodeWindow.h"
#include "gui/HelpWindow.h"
#include "gui/RowHeightDelegate.h"
#include "shell/CodeSettings.h"
#include "util/Errors.h"

#include <QApplication>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLocale>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPalette>
#include <QScreen>
#include <QStyle>
#include <clocale>

namespace quorvel::gui {

namespace {

constexpr int kLabelLeft = 760;
constexpr int kLabelRightMargin = 8;
const QString kTitle = QStringLiteral("Quorvel Config");

// Tops of Label1..Label40: four pairs with their own spacing, then pairs every 32 pixels.
int LabelTop(int number) {
    static const int firstTops[8] = {40, 55, 75, 90, 110, 125, 145, 160};
    if (number <= 8)
        return firstTops[number - 1];
    const int pair = (number - 9) / 2;
    return (number % 2 == 1 ? 177 : 192) + 32 * pair;
}

} // namespace

TForm1::TForm1(SessionPaths paths, TForm2* codeWindow, TForm3* helpWindow, QWidget* parent)
    : QMainWindow(parent), codeWindow_(codeWindow), helpWindow_(helpWindow),
      paths_(std::move(paths)) {
    setObjectName(QStringLiteral("Form1"));
    // Named after the device on screen once one is loaded.
    titleBase_ = kTitle;
    setWindowTitle(kTitle);
    // The classic dialog font at 8 points is 11 pixels high; where it is missing, the
    // fallback keeps that size so labels and value boxes fit their places.
    QFont font(QStringLiteral("MS Sans Serif"));
    font.setPixelSize(11);
    setFont(font);

    auto* central = new QWidget(this);
    setCentralWidget(central);

    scrollBox1_ = new QScrollArea(central);
    scrollBox1_->setObjectName(QStringLiteral("ScrollBox1"));
    scrollBox1_->setFrameShape(QFrame::NoFrame);
    scrollBox1_->setGeometry(0, 0, 745, kClientHeight);
    image1_ = new DiagramImage();
    image1_->setObjectName(QStringLiteral("Image1"));
    image1_->setFocusPolicy(Qt::ClickFocus);
    scrollBox1_->setWidget(image1_);
    scrollBox1_->setWidgetResizable(false);
    image1_->resize(745, kClientHeight);

    BuildLabels(central);

    listBox1_ = new QListWidget(central);
    listBox1_->setObjectName(QStringLiteral("ListBox1"));
    listBox1_->setGeometry(8, 8, 129, 873);
    listBox1_->setUniformItemSizes(true);
    listBox1_->setItemDelegate(new RowHeightDelegate(13, listBox1_));
    listBox1_->hide();

    BuildMenu();

    // Value boxes live on the diagram, so they keep their place when it scrolls.
    valueBoxes_ = std::make_unique<QtValueBoxes>(image1_, [this](int index, ValueBox* box) {
        connect(box, &ValueBox::enterPressed, this,
                [this] { Perform(Action::Of(Action::Kind::Calculate)); });
        // The box shows what is typed; the session takes it for the calculation.
        connect(box, &QLineEdit::textChanged, this, [this, index](const QString& text) {
            if (core_ != nullptr)
                core_->BoxEdited(index, FromQt(text));
        });
    });
    labelView_ = std::make_unique<QtLabels>(labels_);
    messages_ = std::make_unique<QtMessages>(this);

    core_ = std::make_unique<Session>(
        paths_, SessionViews{*image1_, *valueBoxes_, *labelView_, *messages_, clipboard_});
    document_ = std::make_unique<Document>(*core_, true);

    // The code window's language is the one remembered in the settings file.
    const std::optional<CodeLanguage> language = ReadCodeLanguage(paths_.SettingsFile);
    core_->SetCodeLanguage(language);
    codeWindow_->SetLanguage(language ? 1 + static_cast<int>(*language)
                                      : TForm2::FollowDefinitions);
    connect(codeWindow_, &TForm2::CodeOptionsChanged, this,
            [this] { Guard([this] { CodeOptionsChanged(); }); });

    connect(listBox1_, &QListWidget::itemClicked, this, [this] { ListBox1Click(); });
    listBox1_->installEventFilter(this);
    connect(image1_, &DiagramImage::bitmapLoaded, this, [this] {
        titleBase_ = ToQt(core_->CurrentDevice()) + QStringLiteral(" \u2014 ") + kTitle;
        RefreshDocument();
    });
    connect(image1_, &DiagramImage::mouseMoved, this,
            [this](int x, int y) { Image1MouseMove(x, y); });
    connect(image1_, &DiagramImage::mousePressed, this,
            [this](Qt::MouseButton b, int x, int y) { Image1MouseDown(b, x, y); });

    RebuildRecentMenu();
    RefreshDocument();

    // Client area 1310 x 890 below the menu bar, centred on the screen.
    resize(kClientWidth, kClientHeight + menuBar()->sizeHint().height());
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
}

TForm1::~TForm1() {
    // The dialog reads the core's tables.
    delete findSettings_.data();
    // Teardown order: the core with its name lists and evaluator first, then the value
    // boxes in index order, before Qt deletes the remaining child widgets.
    document_.reset();
    core_.reset();
    valueBoxes_.reset();
}

void TForm1::SetMessagePresenter(std::function<void(const std::string&)> presenter) {
    messages_->SetPresenter(std::move(presenter));
}

void TForm1::BuildLabels(QWidget* central) {
    for (int number = 1; number <= kLabelCount; ++number) {
        QLabel* label = number <= 40 ? new ElidedLabel(central) : new QLabel(central);
        label->setObjectName(QStringLiteral("Label%1").arg(number));
        if (number <= 40) {
            if (number % 2 == 1) {
                QFont bold = label->font();
                bold.setBold(true);
                label->setFont(bold);
            }
            label->setGeometry(kLabelLeft, LabelTop(number),
                               kClientWidth - kLabelLeft - kLabelRightMargin,
                               label->fontMetrics().height() + 2);
        }
        labels_[static_cast<std::size_t>(number - 1)] = label;
    }
    PlaceBottomRightLabel();
    violations_ = new QLabel(central);
    violations_->setObjectName(QStringLiteral("Violations"));
    violations_->setGeometry(kLabelLeft, 700, 345, 170);
    violations_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    violations_->setWordWrap(true);
    // Red by the palette: a style sheet here would cost start-up time (see RowHeightDelegate).
    QPalette red = violations_->palette();
    red.setColor(QPalette::WindowText, QColor(192, 0, 0));
    violations_->setPalette(red);
}

void TForm1::PlaceBottomRightLabel() {
    // Label41 is anchored to the right and bottom edges of the client area.
    QLabel* label41 = labels_[kLabelCount - 1];
    const QWidget* central = centralWidget();
    const int dx = (central != nullptr ? central->width() : kClientWidth) - kClientWidth;
    const int dy = (central != nullptr ? central->height() : kClientHeight) - kClientHeight;
    label41->move(1039 + std::max(dx, -1039), 877 + std::max(dy, -877));
}

void TForm1::BuildMenu() {
    QMenuBar* bar = menuBar();
    BuildFileMenu(bar);
    pic1_ = bar->addAction(QStringLiteral("&Select PIC"));
    pic1_->setObjectName(QStringLiteral("PIC1"));
    code1_ = bar->addAction(QStringLiteral("&Code"));
    code1_->setObjectName(QStringLiteral("Code1"));
    code1_->setVisible(false);
    findSettings1_ = bar->addAction(QStringLiteral("&Find settings..."));
    findSettings1_->setObjectName(QStringLiteral("FindSettings1"));
    findSettings1_->setVisible(false);
    calculate1_ = bar->addAction(QStringLiteral("C&alculate"));
    calculate1_->setObjectName(QStringLiteral("Calculate1"));
    calculate1_->setVisible(false);
    QMenu* clearMenu = bar->addMenu(QStringLiteral("C&lear"));
    reset1_ = clearMenu->menuAction();
    reset1_->setObjectName(QStringLiteral("Reset1"));
    clearAll1_ = clearMenu->addAction(QStringLiteral("Clear &All"));
    clearAll1_->setObjectName(QStringLiteral("ClearAll1"));
    clearConfigbits1_ = clearMenu->addAction(QStringLiteral("Clear &Config bits"));
    clearConfigbits1_->setObjectName(QStringLiteral("ClearConfigbits1"));
    clearRegisterSettings1_ = clearMenu->addAction(QStringLiteral("Clear &Register Settings"));
    clearRegisterSettings1_->setObjectName(QStringLiteral("ClearRegisterSettings1"));
    reloadAll1_ = clearMenu->addAction(QStringLiteral("Re&load All"));
    reloadAll1_->setObjectName(QStringLiteral("ReloadAll1"));
    reset1_->setVisible(false);
    help1_ = bar->addAction(QStringLiteral("&Help"));
    help1_->setObjectName(QStringLiteral("Help1"));
    help1_->setVisible(false);

    connect(pic1_, &QAction::triggered, this, [this] { Guard([this] { PIC1Click(); }); });
    connect(code1_, &QAction::triggered, this, [this] { Code1Click(); });
    const auto perform = [this](Action::Kind kind) {
        return [this, kind] { Perform(Action::Of(kind)); };
    };
    connect(calculate1_, &QAction::triggered, this, perform(Action::Kind::Calculate));
    connect(clearAll1_, &QAction::triggered, this, perform(Action::Kind::ClearAll));
    connect(clearConfigbits1_, &QAction::triggered, this, perform(Action::Kind::ClearConfig));
    connect(clearRegisterSettings1_, &QAction::triggered, this,
            perform(Action::Kind::ClearRegisters));
    connect(reloadAll1_, &QAction::triggered, this, [this] {
        if (MayDiscardChanges())
            Perform(Action::Of(Action::Kind::Reload));
    });
    connect(help1_, &QAction::triggered, this, [this] { Guard([this] { Help1Click(); }); });
    connect(findSettings1_, &QAction::triggered, this,
            [this] { Guard([this] { FindSettings1Click(); }); });
}

void TForm1::FindSettings1Click() {
    delete findSettings_.data();
    const auto start = [this] {
        std::vector<std::string> texts;
        for (const ValueBoxState& box : core_->State().Boxes)
            texts.push_back(box.text);
        return StartFromModel(core_->Model(), texts);
    };
    findSettings_ = new FindSettingsDialog(
        core_->Model(), start, [this](const Solution& s) { ApplySolution(s); }, this);
    findSettings_->setWindowModality(Qt::WindowModal);
    findSettings_->show();
}

void TForm1::ApplySolution(const Solution& solution) {
    for (const SolvedField& field : solution.Fields) {
        const std::string set = SetText(core_->Model(), field);
        const std::size_t eq = set.find('=');
        Action action = Action::WithText(Action::Kind::Set, set.substr(0, eq));
        action.Value = set.substr(eq + 1);
        if (Perform(action) != Outcome::Done)
            break;
    }
}

void TForm1::ShowViolations() {
    QStringList lines;
    for (const TViolation& v : core_->Violations())
        lines << ToQt(v.Message);
    violations_->setText(lines.join(QStringLiteral("\n")));
}

void TForm1::Guard(const std::function<void()>& handler) {
    core_->Guard(handler);
    RefreshCommands();
}

Outcome TForm1::Perform(const Action& action) {
    const Outcome outcome = document_->Perform(action);
    RefreshCommands();
    return outcome;
}

void TForm1::RefreshCommands() {
    const bool visible = core_->CommandsVisible();
    reset1_->setVisible(visible);
    code1_->setVisible(visible);
    findSettings1_->setVisible(visible);
    ShowViolations();
    help1_->setVisible(visible);
    RefreshDocument();
}

void TForm1::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (!shown_) {
        shown_ = true;
        FormShow();
    }
}

void TForm1::closeEvent(QCloseEvent* event) {
    if (!MayDiscardChanges()) {
        event->ignore();
        return;
    }
    // Closing the main window ends the program, whatever other window is open.
    codeWindow_->close();
    helpWindow_->close();
    CloseDeviceList();
    QMainWindow::closeEvent(event);
}

void TForm1::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    if (scrollBox1_ != nullptr && centralWidget() != nullptr)
        scrollBox1_->resize(745, centralWidget()->height());
    if (centralWidget() != nullptr) {
        const int width = std::max(centralWidget()->width() - kLabelLeft - kLabelRightMargin, 0);
        for (int number = 1; number <= 40 && labels_[39] != nullptr; ++number) {
            QLabel* label = Label(number);
            label->resize(width, label->height());
        }
    }
    if (labels_[kLabelCount - 1] != nullptr)
        PlaceBottomRightLabel();
}

void TForm1::FormShow() {
    // Numbers are written and read with "." whatever the desktop's locale.
    QLocale::setDefault(QLocale::c());
    std::setlocale(LC_NUMERIC, "C");
    if (Perform(Action::Of(Action::Kind::Start)) != Outcome::Done)
        return;
    listBox1_->clear();
    for (const std::string& item : core_->Devices().Items)
        listBox1_->addItem(ToQt(item));
}

void TForm1::PIC1Click() {
    // "Select PIC" again closes the list without loading anything.
    if (listBox1_->isVisible()) {
        CloseDeviceList();
        return;
    }
    // The loaded device is highlighted, so Enter reloads it and the arrows start from it.
    if (!core_->CurrentDevice().empty()) {
        const auto items = listBox1_->findItems(ToQt(core_->CurrentDevice()), Qt::MatchExactly);
        if (!items.isEmpty())
            listBox1_->setCurrentItem(items.first());
    }
    if (listBox1_->currentItem() == nullptr && listBox1_->count() > 0)
        listBox1_->setCurrentRow(0);
    listBox1_->raise();
    listBox1_->show();
    listBox1_->setFocus();
    // A click anywhere else closes the list.
    qApp->installEventFilter(this);
}

void TForm1::CloseDeviceList() {
    qApp->removeEventFilter(this);
    // The keyboard focus goes to the diagram, not on to the input box, so that a click into
    // the box is a fresh entry that selects its text.
    if (listBox1_->hasFocus())
        image1_->setFocus(Qt::OtherFocusReason);
    listBox1_->hide();
}

void TForm1::ListBox1Click() {
    const QListWidgetItem* item = listBox1_->currentItem();
    if (item == nullptr)
        return;
    // Loading a device drops the configuration: unsaved changes are asked about first. The
    // list closes before the question, which is modal.
    if (Session::IsDeviceItem(FromQt(item->text())) && document_->Modified() &&
        document_->HasDevice()) {
        CloseDeviceList();
        if (!MayDiscardChanges())
            return;
    }
    if (Perform(Action::WithText(Action::Kind::ChooseDevice, FromQt(item->text()))) ==
        Outcome::Done) {
        CloseDeviceList();
        image1_->IgnoreNextDoubleClick();
    }
}

bool TForm1::eventFilter(QObject* watched, QEvent* event) {
    if (watched == listBox1_ && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        switch (key->key()) {
        case Qt::Key_Escape:
            CloseDeviceList();
            return true;
        case Qt::Key_Return:
        case Qt::Key_Enter:
        case Qt::Key_Space:
            ListBox1Click();
            return true;
        default:
            // Other keys move the highlight, letters find a device by its first letters.
            return false;
        }
    }
    if (event->type() == QEvent::MouseButtonPress && watched->isWidgetType() &&
        listBox1_->isVisible()) {
        auto* widget = static_cast<QWidget*>(watched);
        if (widget == listBox1_ || listBox1_->isAncestorOf(widget))
            return false;
        // "Select PIC" closes the open list itself.
        if (widget == menuBar()) {
            const auto* press = static_cast<QMouseEvent*>(event);
            if (menuBar()->actionAt(press->position().toPoint()) == pic1_)
                return false;
        }
        CloseDeviceList();
        // The click that closes the list chooses nothing on the diagram.
        return widget == image1_ || image1_->isAncestorOf(widget);
    }
    return QMainWindow::eventFilter(watched, event);
}

void TForm1::Image1MouseDown(Qt::MouseButton button, int x, int y) {
    if (button == Qt::LeftButton)
        Perform(Action::At(Action::Kind::Click, x, y));
    else if (button == Qt::MiddleButton)
        Perform(Action::At(Action::Kind::Middle, x, y));
    else if (button == Qt::RightButton)
        Perform(Action::At(Action::Kind::Right, x, y));
}

void TForm1::Code1Click() {
    QPlainTextEdit* memo = codeWindow_->Memo1();
    memo->clear();
    const Outcome outcome = Perform(Action::Of(Action::Kind::Code));
    // Lines made before an error stay in the window, which is then not shown.
    ShowCodeLines();
    if (outcome != Outcome::Done)
        return;
    codeWindow_->show();
    codeWindow_->raise();
    codeWindow_->activateWindow();
}

void TForm1::CodeOptionsChanged() {
    const int choice = codeWindow_->Language();
    const std::optional<CodeLanguage> language =
        choice == TForm2::FollowDefinitions ? std::nullopt
                                            : std::optional(static_cast<CodeLanguage>(choice - 1));
    core_->SetCodeLanguage(language);
    core_->SetMergeWrites(codeWindow_->Merge());
    std::string error;
    if (!WriteCodeLanguage(paths_.SettingsFile, language, error))
        throw FileError("The settings file \"" + paths_.SettingsFile +
                        "\" could not be written: " + error);
    if (core_->CommandsVisible())
        Code1Click();
}

void TForm1::ShowCodeLines() {
    QStringList lines;
    for (const std::string& line : core_->CodeWindowLines())
        lines << ToQt(line);
    codeWindow_->Memo1()->setPlainText(lines.join(QLatin1Char('\n')));
}

void TForm1::Help1Click() {
    helpWindow_->show();
    helpWindow_->raise();
    helpWindow_->activateWindow();
    // The text is read anew at every showing; a missing file keeps the previous text.
    helpWindow_->Memo1()->setPlainText(ToQt(Session::ReadHelpText()));
}

void TForm1::Image1MouseMove(int x, int y) {
    Label(41)->setText(QStringLiteral("X: %1, Y: %2").arg(x).arg(y));
    Label(41)->adjustSize();
}

} // namespace quorvel::gui
