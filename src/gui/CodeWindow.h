#pragma once
// TForm2, the code window: the generated initialisation code in an editable text box, under a
// bar that chooses the language of the code and whether each register is written once, with a
// button that copies all of it. Esc closes the window.

#include <QCheckBox>
#include <QComboBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QWidget>

namespace quorvel::gui {

class TForm2 : public QWidget {
    Q_OBJECT
public:
    // The entries of the language choice, in order.
    enum LanguageChoice { FollowDefinitions = 0, Pascal, Basic, C };

    explicit TForm2(QWidget* parent = nullptr);
    QPlainTextEdit* Memo1();
    QComboBox* LanguageBox();
    QCheckBox* MergeBox();
    QPushButton* CopyButton();
    // Puts the whole text on the clipboard.
    void CopyAll();

    int Language() const { return language_; }
    bool Merge() const { return merge_; }
    // Sets the choice without reporting a change.
    void SetLanguage(int choice);

signals:
    // The user changed the language or the merge check box.
    void CodeOptionsChanged();

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void MakeWidgets();

    QPlainTextEdit* memo1_ = nullptr;
    QComboBox* languageBox_ = nullptr;
    QCheckBox* mergeBox_ = nullptr;
    QPushButton* copyButton_ = nullptr;
    int language_ = FollowDefinitions;
    bool merge_ = false;
};

// A fixed-pitch font with a character height of 13 pixels.
QFont CourierNew13();

} // namespace quorvel::gui
