#include "clean/ui/TJunkListModel.h"

#include "clean/JunkSort.h"

#include <array>
#include <iterator>

namespace {

const std::array<const char*, 5> ColumnTitles{"文件名称", "文件大小", "创建日期", "最后修改日期",
                                              "最后读取日期"};

QString CellText(const TJunkRow& row, int column) {
    switch (column) {
    case 0:
        return QString::fromUtf8(row.Caption());
    case 1:
        return QString::fromUtf8(row.SizeText);
    case 2:
        return QString::fromUtf8(row.CreatedText);
    case 3:
        return QString::fromUtf8(row.LastWriteText);
    default:
        return QString::fromUtf8(row.LastAccessText);
    }
}

} // namespace

int TJunkListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(FRows.size());
}

int TJunkListModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(ColumnTitles.size());
}

QVariant TJunkListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || static_cast<size_t>(index.row()) >= FRows.size())
        return {};
    const TJunkRow& row = FRows[static_cast<size_t>(index.row())];
    if (role == Qt::DisplayRole)
        return CellText(row, index.column());
    if (role == Qt::CheckStateRole && index.column() == 0)
        return row.Checked ? Qt::Checked : Qt::Unchecked;
    return {};
}

bool TJunkListModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (!index.isValid() || index.column() != 0 || role != Qt::CheckStateRole)
        return false;
    FRows[static_cast<size_t>(index.row())].Checked =
        static_cast<Qt::CheckState>(value.toInt()) == Qt::Checked;
    emit dataChanged(index, index, {Qt::CheckStateRole});
    return true;
}

Qt::ItemFlags TJunkListModel::flags(const QModelIndex& index) const {
    Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    if (index.column() == 0)
        f |= Qt::ItemIsUserCheckable;
    return f;
}

QVariant TJunkListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section >= 0 &&
        section < static_cast<int>(ColumnTitles.size()))
        return QString::fromUtf8(ColumnTitles[static_cast<size_t>(section)]);
    return {};
}

void TJunkListModel::Append(std::vector<TJunkRow> rows) {
    if (rows.empty())
        return;
    const int at = static_cast<int>(FRows.size());
    beginInsertRows({}, at, at + static_cast<int>(rows.size()) - 1);
    FRows.insert(FRows.end(), std::make_move_iterator(rows.begin()),
                 std::make_move_iterator(rows.end()));
    endInsertRows();
}

void TJunkListModel::Clear() {
    beginResetModel();
    FRows.clear();
    endResetModel();
}

void TJunkListModel::RemoveFront(size_t count) {
    if (count == 0)
        return;
    count = std::min(count, FRows.size());
    beginRemoveRows({}, 0, static_cast<int>(count) - 1);
    FRows.erase(FRows.begin(), FRows.begin() + static_cast<std::ptrdiff_t>(count));
    endRemoveRows();
}

void TJunkListModel::RemoveAt(size_t row) {
    if (row >= FRows.size())
        return;
    beginRemoveRows({}, static_cast<int>(row), static_cast<int>(row));
    FRows.erase(FRows.begin() + static_cast<std::ptrdiff_t>(row));
    endRemoveRows();
}

void TJunkListModel::Sort(int column, bool descending) {
    emit layoutAboutToBeChanged();
    SortJunkRows(FRows, column, descending);
    emit layoutChanged();
}
