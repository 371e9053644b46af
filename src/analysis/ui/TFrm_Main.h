#pragma once

#include <QMainWindow>
#include <QString>

#include <memory>
#include <vector>

class QAction;
class QComboBox;
class QLabel;
class QSpinBox;
class QStackedWidget;
class QTableView;
class QWidget;
class TDisk;
class TShellItemModel;
class QChartView;

// The analysis window: browsing list over the shell namespace, the pie of a folder and
// the bar chart of the drives, the large-button toolbar opening the program's other
// windows. Created by the launcher for one modal showing and destroyed after it.
class TFrm_Main : public QMainWindow {
    Q_OBJECT
public:
    explicit TFrm_Main(QWidget* owner = nullptr);
    ~TFrm_Main() override;

    TShellItemModel& Model() { return *FModel; }
    QComboBox* cbPath() const { return FcbPath; }
    QTableView* List() const { return FList; }

    // Charts the folder (the pie) or, at My Computer, the drives (the bars).
    void ShowLocationChart(const QString& path);
    // The pie's slices after grouping by the slice threshold (label, MB).
    const std::vector<std::pair<QString, double>>& PieSlices() const { return FSlices; }
    void ShowDriveChart();

    // Support and tell-a-friend mail addresses as handed to the shell.
    static QString SupportMailText();
    static QString TellFriendMailText();

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void BuildMenus();
    void BuildToolBar();
    void BuildPathBar(QWidget* page);
    void BuildChartPanel(QWidget* page);
    void FormShow();
    void ShowLocationInfo();
    void Navigated(bool ok, const QString& error);
    void RedrawPie();
    void ListDoubleClicked(int row);
    void OpenHelp();
    void OpenUrl(const QString& url);

    void btnProbeClick();
    void btnWipeClick();
    void SpeedButton2Click();
    void SpeedButton5Click();

    TShellItemModel* FModel = nullptr;
    std::unique_ptr<TDisk> FDisk;
    QComboBox* FcbPath = nullptr;
    QTableView* FList = nullptr;
    QLabel* FStatus = nullptr;
    QLabel* FClock = nullptr;
    QChartView* FPieView = nullptr;
    QChartView* FBarView = nullptr;
    QStackedWidget* FCharts = nullptr;
    QSpinBox* FSp_Slice = nullptr;
    QLabel* FInfo = nullptr;
    QString FChartedPath;
    std::vector<std::pair<QString, double>> FPoints;
    std::vector<std::pair<QString, double>> FSlices;
    bool FShown = false;
};

extern TFrm_Main* Frm_Main;
