#pragma once

#include <QDialog>

#include <functional>
#include <string>

class QCheckBox;
class QListWidget;
class QPushButton;
class QTabWidget;
class QTableWidget;
class QTreeWidget;
class QWidget;

// The options dialog: privacy items, junk types, clean directories, parameters and the
// protected files, on five pages. Some edits reach the settings at once, the junk types
// and a save at every close, the parameters only with OK.
class TfrmOption : public QDialog {
public:
    explicit TfrmOption(QWidget* parent = nullptr);

    void cbSelectAllClick();
    void btnAddFilterClick();
    void btnDelFilterClick();
    void btnAddCleanDirClick();
    void btnDelCleanDirClick();
    void btnDelListClick();
    void btnAdd2Click();
    void RzButton6Click();
    void RzButton1Click();

    // The folder picker and the input box; tests answer them. An empty folder means
    // cancelled; the input box's Cancel answers an empty text.
    using TFolderPicker = std::function<std::string(const std::string& title, const std::string& start)>;
    using TInputBox = std::function<std::string(const std::string& caption, const std::string& prompt)>;
    void SetFolderPicker(TFolderPicker picker) { FFolderPicker = std::move(picker); }
    void SetInputBox(TInputBox box) { FInputBox = std::move(box); }

    QTabWidget* Pc_Project = nullptr;
    QTreeWidget* clCleanOption = nullptr;
    QTreeWidget* Lv_GarbageList = nullptr;
    QCheckBox* cbSelectAll = nullptr;
    QTreeWidget* Lv_DirList = nullptr;
    QCheckBox* Cb_IfSubDir = nullptr;
    QTableWidget* Inspect = nullptr;
    QListWidget* lbIgnoreList = nullptr;

public:
    void done(int result) override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    QWidget* CreatePrivacyPage();
    QWidget* CreateFileTypePage();
    QWidget* CreateDirectoryPage();
    QWidget* CreateParameterPage();
    QWidget* CreateIgnorePage();
    void FormShow();
    void FormClose();
    void FillDrives();
    void FillIgnoreList();
    void FillJunkTypes();
    void FillPrivacyItems();
    void FillParameters();
    void clCleanOptionChange(int index, bool checked);
    void WriteIgnoreList();
    void SaveSettings();
    // Runs a handler; an error is shown in the standard box and the dialog stays open.
    void Guard(const std::function<void()>& handler);

    bool FFilling = false;
    TFolderPicker FFolderPicker;
    TInputBox FInputBox;
};

extern TfrmOption* frmOption;
