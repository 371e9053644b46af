#include "analysis/ui/TShellItemDelegate.h"

#include <QFontMetrics>

#include <algorithm>

namespace {

// The widest an icon view's name gets before it is cut short.
constexpr int IconTextWidth = 88;
constexpr int Margin = 4;

} // namespace

QSize TShellItemDelegate::sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const {
    const QString name = index.data(Qt::DisplayRole).toString();
    const QFontMetrics metrics(option.font);
    const QSize icon = option.decorationSize;
    const int text = metrics.horizontalAdvance(name);
    if (option.decorationPosition == QStyleOptionViewItem::Top) // large icons: name under the icon
        return {std::max(icon.width(), std::min(text, IconTextWidth)) + 2 * Margin,
                icon.height() + metrics.height() + 3 * Margin};
    return {icon.width() + text + 4 * Margin, std::max(icon.height(), metrics.height()) + Margin};
}
