#pragma once
// TForm2, the code window: the generated initialisation code in an editable text box.

#include <QPlainTextEdit>
#include <QWidget>

namespace quorvel::gui {

class TForm2 : public QWidget {
    Q_OBJECT
public:
    explicit TForm2(QWidget* parent = nullptr);
    QPlainTextEdit* Memo1();

protected:
    void showEvent(QShowEvent* event) override;

private:
    QPlainTextEdit* memo1_ = nullptr;
};

// A fixed-pitch font with a character height of 13 pixels.
QFont CourierNew13();

} // namespace quorvel::gui
