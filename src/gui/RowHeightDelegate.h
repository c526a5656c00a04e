#pragma once
// Gives every row of an item view one fixed height. A style sheet would do the same, but the
// program's first style sheet makes Qt build its style-sheet machinery, which costs start-up
// time that a size hint does not.

#include <QStyledItemDelegate>

namespace quorvel::gui {

class RowHeightDelegate : public QStyledItemDelegate {
public:
    RowHeightDelegate(int height, QObject* parent) : QStyledItemDelegate(parent), height_(height) {}

    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        QSize size = QStyledItemDelegate::sizeHint(option, index);
        size.setHeight(height_);
        return size;
    }

private:
    int height_;
};

} // namespace quorvel::gui
