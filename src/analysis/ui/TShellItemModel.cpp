#include "analysis/ui/TShellItemModel.h"

#include "platform/TDirWalker.h"

#include <QApplication>
#include <QFont>
#include <QIcon>
#include <QMimeDatabase>
#include <QPalette>
#include <QStyle>

TShellItemModel::TShellItemModel(QObject* parent, std::unique_ptr<Platform::IShellNamespace> ns)
    : QAbstractTableModel(parent), FBrowser(std::move(ns)) {}

template <class F> bool TShellItemModel::Move(F move, QString& error) {
    std::string e;
    // Reading a location blocks the window: the hourglass says so.
    QApplication::setOverrideCursor(Qt::WaitCursor);
    beginResetModel();
    const bool ok = move(e);
    endResetModel();
    QApplication::restoreOverrideCursor();
    if (!ok)
        error = QString::fromStdString(e);
    return ok;
}

bool TShellItemModel::Start(QString& error) {
    return Move([&](std::string& e) { return FBrowser.Start(e); }, error);
}
bool TShellItemModel::NavigateToText(const QString& text, QString& error) {
    return Move([&](std::string& e) { return FBrowser.NavigateToText(text.toStdString(), e); }, error);
}
bool TShellItemModel::Up(QString& error) {
    return Move([&](std::string& e) { return FBrowser.Up(e); }, error);
}
bool TShellItemModel::OpenRow(int row, QString& error) {
    if (row < 0 || row >= FBrowser.Count() || !FBrowser.ShellItem(row).IsFolder)
        return false;
    return Move([&](std::string& e) { return FBrowser.OpenRow(row, e); }, error);
}
bool TShellItemModel::SelectHistory(const QString& text, QString& error) {
    return Move([&](std::string& e) { return FBrowser.SelectHistory(text.toStdString(), e); }, error);
}

int TShellItemModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : FBrowser.Count();
}

int TShellItemModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : 5;
}

QString TShellItemModel::TypeText(int row) const {
    // Files get the MIME database's text in the user's language; folders and volumes
    // keep the namespace's own.
    const TShellItem& item = FBrowser.ShellItem(row);
    if (item.IsFolder || item.TypeName.empty())
        return QString::fromStdString(item.TypeName);
    static QMimeDatabase mime;
    const QMimeType type = mime.mimeTypeForFile(QString::fromStdString(item.DisplayName), QMimeDatabase::MatchExtension);
    return type.isDefault() ? QString::fromStdString(item.TypeName) : type.comment();
}

QVariant TShellItemModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= FBrowser.Count() || index.column() >= 5)
        return {};
    const int row = index.row();
    const int column = index.column();
    // The name and the alignment need no details, and neither do the roles the rows do
    // not use: a view that measures every row by its name reads nothing per row.
    if (role == Qt::DisplayRole && column == 0)
        return QString::fromStdString(FBrowser.ShellItem(row).DisplayName);
    if (role == Qt::TextAlignmentRole)
        return (column == 1 || column == 4) ? int(Qt::AlignRight | Qt::AlignVCenter) : int(Qt::AlignLeft | Qt::AlignVCenter);
    if (role != Qt::DisplayRole && role != Qt::DecorationRole && role != Qt::ForegroundRole && role != Qt::FontRole)
        return {};
    FBrowser.CheckShellItems(row, row);
    const TShellItem& item = FBrowser.ShellItem(row);
    if (role == Qt::DisplayRole) {
        if (!FReportView)
            return {};
        // Folder cells start one column to the left of where a file's are.
        const std::vector<std::string> cells = FBrowser.RowCells(row);
        const int cell = column - 1;
        if (cell >= static_cast<int>(cells.size()))
            return {};
        const bool typeCell = item.IsFolder ? cell == static_cast<int>(cells.size()) - 3 : cell == 1;
        return typeCell ? TypeText(row) : QString::fromStdString(cells[static_cast<size_t>(cell)]);
    }
    if (role == Qt::DecorationRole && column == 0) {
        const QIcon icon = QIcon::fromTheme(QString::fromStdString(item.IconName));
        if (!icon.isNull())
            return icon;
        // Without an icon theme the style's own pictures still tell drives, folders and
        // files apart.
        const QStyle::StandardPixmap standard = item.IconName == "drive-harddisk" ? QStyle::SP_DriveHDIcon
                                                : item.IsFolder                   ? QStyle::SP_DirIcon
                                                                                  : QStyle::SP_FileIcon;
        return QApplication::style()->standardIcon(standard);
    }
    if (role == Qt::ForegroundRole) {
        const QPalette palette = QApplication::palette();
        if (column > 0)
            return palette.color(QPalette::WindowText);
        if (item.Attributes & Platform::Attr::System)
            return palette.color(QPalette::Highlight);
        if (item.Attributes & Platform::Attr::ReadOnly)
            return palette.color(QPalette::Disabled, QPalette::Text);
        return {};
    }
    if (role == Qt::FontRole && (item.Attributes & Platform::Attr::Hidden)) {
        QFont font;
        font.setStrikeOut(true);
        return font;
    }
    return {};
}

QVariant TShellItemModel::headerData(int section, Qt::Orientation orientation, int role) const {
    static const char* const Captions[] = {"文件名称", "占用空间", "类型", "最近修改", "属性"};
    if (orientation != Qt::Horizontal || section < 0 || section >= 5)
        return {};
    if (role == Qt::TextAlignmentRole) // a caption sits on the side its column's texts do
        return (section == 1 || section == 4) ? int(Qt::AlignRight | Qt::AlignVCenter) : int(Qt::AlignLeft | Qt::AlignVCenter);
    if (role != Qt::DisplayRole)
        return {};
    return QString::fromUtf8(Captions[section]);
}

QModelIndexList TShellItemModel::match(const QModelIndex& start, int role, const QVariant& value, int hits,
                                       Qt::MatchFlags flags) const {
    const Qt::MatchFlags kind = flags & Qt::MatchTypeMask;
    if (role != Qt::DisplayRole || !start.isValid() || hits != 1 ||
        (kind != Qt::MatchStartsWith && kind != Qt::MatchFixedString))
        return QAbstractTableModel::match(start, role, value, hits, flags);
    const int row = FBrowser.FindItem(value.toString().toStdString(), start.row(), flags.testFlag(Qt::MatchWrap));
    if (row < 0)
        return {};
    return {index(row, start.column())};
}

void TShellItemModel::sort(int column, Qt::SortOrder) {
    if (column < 0 || column >= 5)
        return;
    emit layoutAboutToBeChanged();
    FBrowser.SortByColumn(column);
    emit layoutChanged();
}
