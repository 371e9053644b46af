#pragma once

#include <QStyledItemDelegate>

// Sizes the rows of the icon, small-icon and list views from their names alone. An icon
// view measures every row to lay them out; measured the usual way that would read the
// details (icon, attributes) of every entry of a folder, not just of the rows on screen.
class TShellItemDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;
};
