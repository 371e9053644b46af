#pragma once

#include "analysis/SpaceAnalysis.h"

#include <QChartView>

#include <vector>

class QBarCategoryAxis;
class QBarSet;
class QStackedBarSeries;
class QGraphicsSimpleTextItem;
class QLabel;
class QValueAxis;

// The bar chart of the drives (Chart_Disk): per drive its total size (Series4) and its
// free space (Series3) side by side in MB, each bar marked with its value. Only bars of
// the first series answer a double-click.
class TDiskBarChart : public QChartView {
    Q_OBJECT
public:
    explicit TDiskBarChart(QWidget* parent);

    void SetBars(std::vector<TDriveBar> bars);
    const std::vector<TDriveBar>& Bars() const { return FBars; }
    // The texts of the value marks, first series then second, in drive order.
    QStringList MarkTexts() const;
    // Series4 holds one bar set per drive, Series3 one set with the free space.
    QStackedBarSeries* Series4() const { return FSeries4; }
    QStackedBarSeries* Series3() const { return FSeries3; }

signals:
    void Series4DoubleClicked(int index);

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void PlaceMarks();
    void PlaceOverlays();

    std::vector<TDriveBar> FBars;
    QStackedBarSeries* FSeries4 = nullptr;
    QStackedBarSeries* FSeries3 = nullptr;
    QBarSet* FFree = nullptr;
    QBarCategoryAxis* FAxisX = nullptr;
    QValueAxis* FAxisY = nullptr;
    std::vector<QGraphicsSimpleTextItem*> FMarks;
    QWidget* FNotice = nullptr;
    QLabel* FLegend = nullptr;
};
