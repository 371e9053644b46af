#pragma once

#include "clean/TJunkRow.h"

#include <QAbstractTableModel>

#include <vector>

// The rows of the junk list: five text columns, a check box in the first. Rows are kept
// as the scan made them, so each acts on the exact bytes of the path it was found at;
// the texts shown are only their display form.
class TJunkListModel : public QAbstractTableModel {
public:
    using QAbstractTableModel::QAbstractTableModel;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    // Appends rows in one insertion, as a scan hands them over between two updates.
    void Append(std::vector<TJunkRow> rows);
    void Clear();
    // Drops the first count rows.
    void RemoveFront(size_t count);
    void RemoveAt(size_t row);
    void Sort(int column, bool descending);

    const std::vector<TJunkRow>& Rows() const { return FRows; }

private:
    std::vector<TJunkRow> FRows;
};
