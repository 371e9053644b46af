#pragma once

#include "programs/TFileKindList.h"
#include "programs/TUninstall.h"

#include <QDialog>

#include <memory>
#include <vector>

class QCloseEvent;
class QLabel;
class QPushButton;
class QTimer;
class QTreeWidget;
class QTreeWidgetItem;

// The program manager: the installed programs with their folders and sizes, filed under
// twenty categories, and the uninstallers of the checked ones, run one after another; a row
// leaves the list when its program is gone. The list is read afresh at every showing.
class TfrmUninstall : public QDialog {
public:
    explicit TfrmUninstall(QWidget* parent = nullptr);

    void LoadProgramList();
    // Starts the walk over the checked rows; it goes on from a timer while an uninstaller
    // runs and ends when no checked row is left.
    void Btn_UninstallClick();
    // True from the press until the last uninstaller of the walk has ended.
    bool Uninstalling() const { return FUninstalling; }
    void tvFileTypeChange();
    void Lv_UninstallListColumnClick(int column);
    void btnCloseClick();

    QTreeWidget* tvFileType = nullptr;
    QTreeWidget* Lv_UninstallList = nullptr;
    QPushButton* Btn_Uninstall = nullptr;
    QPushButton* btnClose = nullptr;
    // The program record a row shows.
    const TUninstall& RowProgram(const QTreeWidgetItem* row) const;

    void reject() override;

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void AddRow(size_t index);
    void UpdateCategoryCaptions();
    void UninstallNext();
    void PollUninstaller();
    void UninstallerEnded();
    void SetUninstalling(bool on);

    std::unique_ptr<TFileKindList> FileKindList;
    std::vector<TUninstall> FShown; // the records of the rows, by the index each row keeps
    std::unique_ptr<Platform::IUninstallRun> FRun; // the one uninstaller running
    int FWalkIndex = 0;                            // the row it removes
    bool FUninstalling = false;
    QTimer* FPollTimer = nullptr;
    int SortColumn = 0;
    bool SortDescending = true;
};

extern TfrmUninstall* frmUninstall;
