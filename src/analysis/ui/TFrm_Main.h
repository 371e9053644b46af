#pragma once

#include <QMainWindow>
#include <QString>

#include <memory>
#include <vector>

class QAction;
class QMenu;
class QComboBox;
class QLabel;
class QWidget;
class TDisk;
class TListCommands;
class TShellItemModel;
class TShellListView;
class TDirChartPanel;

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
    TShellListView* List() const { return FList; }
    // The row commands and their popup menu PM_Files.
    TListCommands* Commands() const { return FCommands; }
    // Up one level (btnBack, Backspace in the list).
    void btnBackClick();
    // Opens the selected row (double-click, Enter): enters a folder, starts a file.
    void ListViewDblClick();

    // The charts and the info panel (pDirInfo).
    TDirChartPanel* ChartPanel() const { return FChartPanel; }
    // Forwards to the chart panel: the chart of a location text (the drives at
    // My Computer, else the folder's pie), and the drive chart.
    void ShowLocationChart(const QString& path);
    void ShowDriveChart();


protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void BuildMenus();
    void BuildToolBar();
    void BuildPathBar(QWidget* page);
    void BuildChartPanel(QWidget* page);
    void FormShow();
    // The designed size within the available area of the opener's screen, centred there.
    void PlaceOnScreen();
    void ShowLocationInfo();
    void Navigated(bool ok, const QString& error);
    void ListDoubleClicked(int row);
    void ConnectList();
    void AnalyzeRow(const QString& path, bool atMyComputer);
    void SetL_Dir(const QString& text);
    void OpenHelp();
    void OpenTutorial();
    void ConnectPanel4();
    void RzToolbarButton9Click();
    void btnExitClick();
    void Exit1Click();
    void OpenUrl(const QString& url);

    void btnProbeClick();
    void btnWipeClick();
    void SpeedButton2Click();
    void SpeedButton5Click();

    TShellItemModel* FModel = nullptr;
    std::unique_ptr<TDisk> FDisk;
    QComboBox* FcbPath = nullptr;
    TShellListView* FList = nullptr;
    TListCommands* FCommands = nullptr;
    QLabel* FStatus = nullptr;
    QLabel* FClock = nullptr;
    TDirChartPanel* FChartPanel = nullptr;
    QMenu* FToolBarMenu = nullptr;
    bool FShown = false;
};

extern TFrm_Main* Frm_Main;
