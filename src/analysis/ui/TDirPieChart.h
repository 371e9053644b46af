#pragma once

#include "analysis/TPieSlices.h"

#include <QChartView>
#include <QColor>
#include <QImage>

class QPieSeries;
class QPieSlice;

// The pie of a folder (Chart_Dir): the drawn slices of a TPieSlices in their order, each
// in the palette colour of its place in the pie's data, its label on a mark, no legend.
// Reports clicks per slice index of Drawn(); the button of a click is the one pressed.
class TDirPieChart : public QChartView {
    Q_OBJECT
public:
    // The 20 automatic colours, used in turn by position.
    static QColor PaletteColor(int position);

    explicit TDirPieChart(QWidget* parent);

    void SetSlices(const TPieSlices& slices);
    int SliceCount() const;

    // The pie's size within the chart (0..1) and the steps the zoom buttons take.
    double PieSize() const { return FPieSize; }
    void ZoomIn();
    void ZoomOut();
    static constexpr double MinPieSize = 0.3;
    static constexpr double MaxPieSize = 1.0;

    // The chart at its full size on a white picture.
    QImage Picture();

signals:
    void SliceClicked(int index, Qt::MouseButton button);
    void SliceDoubleClicked(int index);

protected:
    void mousePressEvent(QMouseEvent* event) override;

private:
    int IndexOf(QPieSlice* slice) const;
    void SetPieSize(double size);

    QPieSeries* FSeries = nullptr;
    double FPieSize = 0.7;
    Qt::MouseButton FPressed = Qt::NoButton;
};
