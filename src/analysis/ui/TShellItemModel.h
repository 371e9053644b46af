#pragma once

#include "analysis/TShellBrowser.h"

#include <QAbstractTableModel>

// The browsing list's rows as a table model over TShellBrowser: five columns (name,
// size, type, modified, attributes). Details are read only for rows a view asks data
// of. Moves go through the model so that views are reset with the new item list.
class TShellItemModel : public QAbstractTableModel {
public:
    explicit TShellItemModel(QObject* parent = nullptr,
                             std::unique_ptr<Platform::IShellNamespace> ns = nullptr);

    TShellBrowser& Browser() { return FBrowser; }

    // Each returns false with the system's error text when the move fails (the old
    // location stays).
    bool Start(QString& error);
    bool NavigateToText(const QString& text, QString& error);
    bool Up(QString& error);
    bool OpenRow(int row, QString& error);
    bool SelectHistory(const QString& text, QString& error);

    // Whether cells are shown: only the report view has them.
    void SetReportView(bool report) { FReportView = report; }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    // Type-ahead: a text search by the views is answered by the browser's own find (the
    // first name beginning with the text, ignoring case), without reading every row.
    QModelIndexList match(const QModelIndex& start, int role, const QVariant& value, int hits = 1,
                          Qt::MatchFlags flags = Qt::MatchFlags(Qt::MatchStartsWith | Qt::MatchWrap)) const override;
    // Header click: re-orders the rows by the column; the order argument is ignored in
    // favour of the shared direction flag.
    void sort(int column, Qt::SortOrder order = Qt::AscendingOrder) override;

private:
    template <class F> bool Move(F move, QString& error);
    QString TypeText(int row) const;

    mutable TShellBrowser FBrowser;
    bool FReportView = true;
};
