#pragma once

#include "clean/IJunkScanHost.h"
#include "clean/TScanCounters.h"

#include <QDialog>
#include <QTimer>

#include <functional>
#include <string>
#include <vector>

class QCheckBox;
class QLabel;
class QLineEdit;
class QMenu;
class QProgressBar;
class QPushButton;
class QStatusBar;
class QTableView;
class TJunkListModel;

// The junk cleaning window. One object serves the whole run: its list, counters and sort
// order carry over from one showing to the next, and every showing starts a scan of the
// clean directories a second later.
class TfrmCleaning : public QDialog, private IJunkScanHost {
public:
    explicit TfrmCleaning(QWidget* parent = nullptr);
    ~TfrmCleaning() override;

    void Btn_ScanClick();
    void Btn_CleanAllClick();
    void Open1Click();
    void Explorerthedirectory1Click();
    void DeleteD1Click();
    void Attribute1Click();
    void Lv_GarbageListColumnClick(int column);
    void btnAddCleanDirClick();
    void RzBitBtn1Click();

    // The folder picker of btnAddCleanDir; tests answer it. Empty means cancelled.
    using TFolderPicker =
        std::function<std::string(const std::string& title, const std::string& start)>;
    void SetFolderPicker(TFolderPicker picker) { FFolderPicker = std::move(picker); }

    bool Scanning() const;
    const TScanCounters& Counters() const { return FCounters; }
    TJunkListModel& List() { return *FModel; }
    QTableView* ListView() const { return Lv_GarbageList; }

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void reject() override;

private:
    void CreateControls();
    void FormShow();
    void Timer1Timer();
    void ScanCleanDirectories();
    void cbAutoCloseClick();
    void ShowListMenu(const QPoint& at);
    // The row under the selection, or -1.
    int SelectedRow() const;
    void RemoveRowsAndReport(size_t handled, int64_t removed, const std::string& status);
    void ShowStatus(int panel, const std::string& text);
    // Puts what the scan reported since the last time on the screen: its rows, the
    // scrolling, the caption, the status texts and the progress position.
    void ShowScanState();

    // IJunkScanHost. The scan reports every entry; the window keeps what it reports and
    // shows it when the scan pumps (at most once per pump interval) and when it ends, so
    // the screen shows what it would show after each entry, without drawing each one.
    void AddRow(TJunkRow row) override;
    void Scroll() override;
    void SetCaption(const std::string& text) override;
    void SetStatus(int panel, const std::string& text) override;
    int ProgressPosition() const override;
    void SetProgressPosition(int position) override;
    void Pump() override;
    bool Running() const override { return FRunning; }

    QLabel* Label3 = nullptr;
    QLineEdit* lCleanupDir = nullptr;
    QPushButton* btnAddCleanDir = nullptr;
    QCheckBox* cbAutoClose = nullptr;
    QTableView* Lv_GarbageList = nullptr;
    QLabel* Label1 = nullptr;
    QProgressBar* Pb_Process = nullptr;
    QPushButton* Btn_Scan = nullptr;
    QPushButton* Btn_CleanAll = nullptr;
    QPushButton* RzBitBtn1 = nullptr;
    QStatusBar* Sb_status = nullptr;
    QLabel* FStatus[2] = {nullptr, nullptr};
    QMenu* PM_FileOper = nullptr;
    QTimer Timer1;

    // What the scan reported and the screen does not show yet.
    struct TPending {
        std::vector<TJunkRow> Rows;
        int ScrollSteps = 0;
        bool CaptionChanged = false;
        std::string Caption;
        bool StatusChanged[2] = {false, false};
        std::string Status[2];
        bool ProgressChanged = false;
    };
    TPending FPending;
    int FProgress = 0; // the progress position as the scan sees it

    TJunkListModel* FModel = nullptr;
    std::vector<std::string> mIgnoreList; // the protected names
    TScanCounters FCounters;
    bool FRunning = true;
    bool FCloseRequested = false;
    int SortColumn = 0;
    bool SortDescending = true;
    TFolderPicker FFolderPicker;
};

extern TfrmCleaning* frmCleaning;
