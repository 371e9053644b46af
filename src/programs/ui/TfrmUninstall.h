#pragma once

#include "programs/TFileKindList.h"
#include "programs/TUninstall.h"

#include <QDialog>

#include <memory>
#include <vector>

class QLabel;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;

// The program manager: the installed programs with their folders and sizes, filed under
// twenty categories, and the uninstallers of the checked ones. The list is read afresh
// at every showing.
class TfrmUninstall : public QDialog {
public:
    explicit TfrmUninstall(QWidget* parent = nullptr);

    void LoadProgramList();
    void Btn_UninstallClick();
    void tvFileTypeChange();
    void Lv_UninstallListColumnClick(int column);
    void btnCloseClick();

    QTreeWidget* tvFileType = nullptr;
    QTreeWidget* Lv_UninstallList = nullptr;
    QPushButton* Btn_Uninstall = nullptr;
    QPushButton* btnClose = nullptr;
    // The program record a row shows.
    const TUninstall& RowProgram(const QTreeWidgetItem* row) const;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void AddRow(size_t index);
    void UpdateCategoryCaptions();

    std::unique_ptr<TFileKindList> FileKindList;
    std::vector<TUninstall> FShown; // the records of the rows, by the index each row keeps
    int SortColumn = 0;
    bool SortDescending = true;
};

extern TfrmUninstall* frmUninstall;
