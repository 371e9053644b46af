#pragma once

#include "analysis/SpaceAnalysis.h"

#include <QChartView>

#include <vector>

class QBarCategoryAxis;
class QBarSeries;
class QBarSet;
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
    QBarSet* Series4() const { return FSeries4; }
    QBarSet* Series3() const { return FSeries3; }

signals:
    void Series4DoubleClicked(int index);

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void PlaceMarks();
    void PlaceOverlays();

    std::vector<TDriveBar> FBars;
    QBarSeries* FSeries = nullptr;
    QBarSet* FSeries4 = nullptr;
    QBarSet* FSeries3 = nullptr;
    QBarCategoryAxis* FAxisX = nullptr;
    QValueAxis* FAxisY = nullptr;
    std::vector<QGraphicsSimpleTextItem*> FMarks;
    QWidget* FNotice = nullptr;
    QLabel* FLegend = nullptr;
};
