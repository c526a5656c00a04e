#pragma once
// TForm3, the help window: the help text file in a text box; edits are never saved.

#include <QPlainTextEdit>
#include <QWidget>

namespace quorvel::gui {

class TForm3 : public QWidget {
    Q_OBJECT
public:
    explicit TForm3(QWidget* parent = nullptr);
    QPlainTextEdit* Memo1();

protected:
    void showEvent(QShowEvent* event) override;

private:
    QPlainTextEdit* memo1_ = nullptr;
};

} // namespace quorvel::gui
