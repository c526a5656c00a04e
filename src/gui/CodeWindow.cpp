#include "gui/CodeWindow.h"

#include <QClipboard>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QShortcut>
#include <QSignalBlocker>
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
    layout->setSpacing(0);
    new QShortcut(QKeySequence(Qt::Key_Escape), this, this, &QWidget::close);
}

void TForm2::CopyAll() {
    QGuiApplication::clipboard()->setText(Memo1()->toPlainText());
}

bool TForm2::eventFilter(QObject* watched, QEvent* event) {
    // Ctrl+C copies the selection, or the whole code when nothing is selected.
    if (watched == memo1_ && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->matches(QKeySequence::Copy) &&
        !memo1_->textCursor().hasSelection()) {
        CopyAll();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

void TForm2::MakeWidgets() {
    // Made at first use: the window starts hidden, and a text box lays out its text with its
    // fonts as soon as it exists, which would cost start-up time for nothing.
    if (memo1_ != nullptr)
        return;
    auto* bar = new QHBoxLayout;
    bar->setContentsMargins(6, 4, 6, 4);
    auto* label = new QLabel(QStringLiteral("Language:"), this);
    languageBox_ = new QComboBox(this);
    languageBox_->setObjectName(QStringLiteral("LanguageBox"));
    languageBox_->addItems({QStringLiteral("As the definitions' compiler"),
                            QStringLiteral("Pascal"), QStringLiteral("Basic"),
                            QStringLiteral("C")});
    languageBox_->setCurrentIndex(language_);
    label->setBuddy(languageBox_);
    mergeBox_ = new QCheckBox(QStringLiteral("One write per register"), this);
    mergeBox_->setObjectName(QStringLiteral("MergeBox"));
    mergeBox_->setChecked(merge_);
    bar->addWidget(label);
    bar->addWidget(languageBox_);
    bar->addSpacing(12);
    bar->addWidget(mergeBox_);
    bar->addStretch();
    copyButton_ = new QPushButton(QStringLiteral("&Copy"), this);
    copyButton_->setObjectName(QStringLiteral("CopyButton"));
    copyButton_->setToolTip(QStringLiteral("Copies the whole code"));
    bar->addWidget(copyButton_);
    connect(copyButton_, &QPushButton::clicked, this, &TForm2::CopyAll);
    connect(languageBox_, &QComboBox::currentIndexChanged, this, [this](int index) {
        language_ = index;
        emit CodeOptionsChanged();
    });
    connect(mergeBox_, &QCheckBox::toggled, this, [this](bool checked) {
        merge_ = checked;
        emit CodeOptionsChanged();
    });

    memo1_ = new QPlainTextEdit(this);
    memo1_->setObjectName(QStringLiteral("Memo1"));
    memo1_->setFont(CourierNew13());
    memo1_->setLineWrapMode(QPlainTextEdit::NoWrap);
    memo1_->installEventFilter(this);
    auto* column = static_cast<QVBoxLayout*>(layout());
    column->addLayout(bar);
    column->addWidget(memo1_, 1);
}

QPlainTextEdit* TForm2::Memo1() {
    MakeWidgets();
    return memo1_;
}

QComboBox* TForm2::LanguageBox() {
    MakeWidgets();
    return languageBox_;
}

QPushButton* TForm2::CopyButton() {
    MakeWidgets();
    return copyButton_;
}

QCheckBox* TForm2::MergeBox() {
    MakeWidgets();
    return mergeBox_;
}

void TForm2::SetLanguage(int choice) {
    language_ = choice;
    if (languageBox_ != nullptr) {
        const QSignalBlocker blocker(languageBox_);
        languageBox_->setCurrentIndex(choice);
    }
}

void TForm2::showEvent(QShowEvent* event) {
    MakeWidgets();
    QWidget::showEvent(event);
}

} // namespace quorvel::gui
