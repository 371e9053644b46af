#pragma once

#include "analysis/SpaceAnalysis.h"
#include "analysis/TPieSlices.h"

#include <QString>
#include <QWidget>

#include <functional>
#include <memory>
#include <vector>

class QBoxLayout;
class QCheckBox;
class QLabel;
class QProgressBar;
class QSpinBox;
class QSplitter;
class QStackedWidget;
class QToolButton;
class TDirPieChart;
class TDisk;
class TDiskBarChart;
class TProgressBarActivity;
class TSizeBar;
class TSliceListBox;

// The lower half of the analysis window (pDirInfo): the chart toolbar, the pie of a
// folder and the bar chart of the drives in one chart area, and the info panel with the
// charted path and the list of the pie's slices. The pie keeps the folder's breakdown
// and regroups it into "Other" at every drawing, so a new slice threshold needs no walk.
class TDirChartPanel : public QWidget {
    Q_OBJECT
public:
    explicit TDirChartPanel(QWidget* parent = nullptr);
    ~TDirChartPanel() override;

    // What the window tells the panel: its drive table (may be null until shown), the
    // location text of the path box, and how to refresh the location labels.
    void SetDisk(const TDisk* disk) { FDisk = disk; }
    std::function<QString()> LocationText;
    std::function<void()> ShowLocationInfo;
    // Shows a message box; tests put a recorder here.
    std::function<void(const QString&)> ShowMessage;

    // L_Dir := location; the drive chart for "" and "My Computer", else the folder's pie.
    void ShowLocationChart(const QString& location);
    // The pie of a folder's direct children (a walk of its tree). Does nothing while
    // pDirInfo is collapsed.
    void ShowDirectoryChart(const QString& path);
    // As ShowDirectoryChart with folder values in whole MB, without switching charts and
    // also while pDirInfo is collapsed.
    void AnalyzeDirectory(const QString& path);
    // Total and free MB of every drive. Does nothing while pDirInfo is collapsed.
    void ShowDriveChart();
    // With the chart option set: the pie of L_Dir, or the drives when L_Dir is empty.
    void Sp_UpDirClick();
    // The charted path label; the browsing side also writes the location text there.
    void SetL_Dir(const QString& text);
    // The labels of the current location, filled by the browsing side.
    void SetLocationInfo(const QString& dirName, const QString& createDate, const QString& modifyDate);

    // The chart toolbar's commands.
    void RzToolbarButton11Click(); // Refresh Chart
    void RzToolbarButton1Click();  // Print Chart: the pie on the default printer
    void RzToolbarButton2Click();  // Save Chart as bitmap...
    void btnZoomInClick();
    void btnZoomOutClick();
    void ToggleDirInfo(); // collapse or restore pDirInfo
    void TogglePbk();     // collapse or restore the info panel
    // Writes the pie as a BMP file whatever the name's extension; throws on failure.
    void SaveChart(const QString& fileName);

    // The pie's events, by index of the drawn slices.
    void Series1Click(int index, Qt::MouseButton button);
    void Series1DblClick(int index);
    void Series4DblClick(int index);

    // The check box and collapse button of the path toolbar: created here, placed there.
    void PlacePathBarControls(QBoxLayout* row);
    QCheckBox* cbShowChart() const { return FcbShowChart; }

    bool DirInfoCollapsed() const { return FDirInfoCollapsed; }
    bool PbkCollapsed() const { return FPbkCollapsed; }
    bool PieShown() const;
    QString L_Dir() const;
    const TPieSlices& Slices() const { return FSlices; }
    QStringList InfoLines() const;
    TDirPieChart* Chart_Dir() const { return FChart_Dir; }
    TDiskBarChart* Chart_Disk() const { return FChart_Disk; }
    QSpinBox* Sp_Slice() const { return FSp_Slice; }
    QProgressBar* Pb_Process() const { return FPb_Process; }
    double VolumeShare() const { return FVolumeShare; }

protected:
    void showEvent(QShowEvent* event) override;

private:
    QWidget* BuildToolbar();
    QWidget* BuildInfoPanel();
    void SetBreakdown(const QString& folder, std::vector<TBreakdownPoint> points);
    void RedrawPie();
    void ShowPie();
    void ShowBars();
    void Message(const QString& text);
    TNumberFormat LocaleNumbers() const;

    const TDisk* FDisk = nullptr;
    std::vector<TBreakdownPoint> FPoints;
    TPieSlices FSlices;
    double FVolumeShare = 0;

    TSizeBar* FDirInfoBar = nullptr;
    QWidget* FBody = nullptr;
    QSplitter* FChartSplit = nullptr;
    QStackedWidget* FPChart = nullptr;
    TDirPieChart* FChart_Dir = nullptr;
    TDiskBarChart* FChart_Disk = nullptr;
    QWidget* FPbk = nullptr;
    QWidget* FPbkBody = nullptr;
    QLabel* FLDirName = nullptr;
    QLabel* FL_Dir = nullptr;
    QProgressBar* FrsPrecent = nullptr;
    QLabel* FlModifyDate = nullptr;
    QLabel* FlCreateDate = nullptr;
    TSliceListBox* FpInfo = nullptr;
    QSpinBox* FSp_Slice = nullptr;
    QProgressBar* FPb_Process = nullptr;
    QCheckBox* FcbShowChart = nullptr;
    QToolButton* FToolButton6 = nullptr;
    std::unique_ptr<TProgressBarActivity> FProgress;

    bool FDirInfoCollapsed = false;
    int FDirInfoHeight = 284;
    bool FPbkCollapsed = false;
    int FPbkWidth = 189;
};
