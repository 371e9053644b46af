#pragma once

#include <QColor>
#include <QString>
#include <QWidget>

#include <vector>

// The info panel's list of the pie's slices: per row a colour square with a black
// outline and the slice's text, 12 pixels apart. Rows that do not fit are cut off.
class TSliceListBox : public QWidget {
    Q_OBJECT
public:
    struct TRow {
        QColor Colour;
        QString Text;
    };

    explicit TSliceListBox(QWidget* parent);
    void SetRows(std::vector<TRow> rows);
    const std::vector<TRow>& Rows() const { return FRows; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    std::vector<TRow> FRows;
};
