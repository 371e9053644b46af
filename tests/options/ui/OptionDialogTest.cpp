#include "app/ui/ShellFixture.h"

#include "core/TProtectedFiles.h"
#include "core/TSetting.h"
#include "options/ui/TfrmAddFilter.h"
#include "options/ui/TfrmOption.h"

#include <QCheckBox>
#include <QClipboard>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QTableWidget>
#include <QTest>
#include <QTreeWidget>

#include <memory>

namespace {

class OptionDialog : public TShellTest {
protected:
    void SetUp() override {
        TShellTest::SetUp();
        Folder().Write("Option2.CFG", "KEEP.DOC\r\nALSO.TXT\r\n");
        Setting = new TSetting(SettingsFilePath());
    }
    void TearDown() override {
        SetAddFilterRunner(nullptr);
        delete Setting;
        Setting = nullptr;
        TShellTest::TearDown();
    }
    // A fresh dialog shown (not modally), as every opening makes one.
    std::unique_ptr<TfrmOption> Open() {
        auto dialog = std::make_unique<TfrmOption>();
        dialog->show();
        return dialog;
    }
    // What a new settings object reads back from disk.
    std::unique_ptr<TSetting> OnDisk() const { return std::make_unique<TSetting>(SettingsFilePath()); }
};

} // namespace

TEST_F(OptionDialog, OpensOnTheJunkTypesPageFilledFromTheSettings) {
    Setting->SetIfClean_Internet_Explorer_Cookies(true);
    Setting->SetIfClean_Internet_Explorer_History(false);
    Setting->SetIfClean_Internet_Explorer_Temporary_Files(false);
    auto d = Open();
    EXPECT_EQ(d->windowTitle(), QString::fromUtf8("高级选项"));
    EXPECT_EQ(d->Pc_Project->currentWidget()->objectName(), "Ts_FileType");
    EXPECT_EQ(d->Lv_GarbageList->topLevelItemCount(), 28);
    EXPECT_EQ(d->Lv_GarbageList->topLevelItem(0)->text(1), "*.BAK");
    EXPECT_EQ(d->clCleanOption->topLevelItem(2)->checkState(0), Qt::Checked);
    EXPECT_EQ(d->clCleanOption->topLevelItem(1)->checkState(0), Qt::Unchecked);
    EXPECT_EQ(d->lbIgnoreList->count(), 2);
    EXPECT_EQ(d->Inspect->rowCount(), 9);
    EXPECT_EQ(d->Inspect->item(1, 0)->text(), QString::fromUtf8("启动时显示“每日技巧”"));
    EXPECT_GE(d->Lv_DirList->topLevelItemCount(), 1);
    EXPECT_TRUE(Boxes.empty());
    // A privacy item reaches the settings at once, and the disk at the close.
    d->clCleanOption->topLevelItem(0)->setCheckState(0, Qt::Checked);
    EXPECT_TRUE(Setting->IfClean_Internet_Explorer_Temporary_Files());
    d->RzButton1Click();
    EXPECT_TRUE(OnDisk()->IfClean_Internet_Explorer_Temporary_Files());
}

TEST_F(OptionDialog, AJunkTypeAddedSurvivesCancelButAParameterDoesNot) {
    SetAddFilterRunner([](TfrmAddFilter& f) {
        QTest::keyClicks(f.eFilterName, "*.bak2");
        QTest::keyClicks(f.eFilterMemo, "note");
        return static_cast<int>(QDialog::Accepted);
    });
    auto d = Open();
    d->btnAddFilterClick();
    ASSERT_EQ(d->Lv_GarbageList->topLevelItemCount(), 29);
    EXPECT_EQ(Setting->Garbages().Count(), 28); // not before the close
    static_cast<QSpinBox*>(d->Inspect->cellWidget(2, 1))->setValue(5);
    const int32_t before = Setting->SlicePercent();
    d->RzButton1Click();
    ASSERT_EQ(Setting->Garbages().Count(), 29);
    EXPECT_EQ(Setting->Garbages()[28].GarbageName(), "*.BAK2");
    EXPECT_EQ(Setting->Garbages()[28].Memo(), "NOTE");
    EXPECT_FALSE(Setting->Garbages()[28].Ifclean());
    EXPECT_EQ(OnDisk()->Garbages().Count(), 29);
    EXPECT_EQ(Setting->SlicePercent(), before);
    EXPECT_EQ(OnDisk()->SlicePercent(), before);
}

TEST_F(OptionDialog, ParametersReachTheSettingsOnlyWithOk) {
    auto d = Open();
    static_cast<QSpinBox*>(d->Inspect->cellWidget(2, 1))->setValue(5);
    d->Inspect->item(8, 1)->setCheckState(Qt::Checked); // 扫描完自动清除垃圾
    d->RzButton6Click();
    EXPECT_EQ(Setting->SlicePercent(), 5);
    EXPECT_TRUE(Setting->AutoClean());
    EXPECT_EQ(OnDisk()->SlicePercent(), 5);
    // A second opening shows what the first stored.
    auto again = Open();
    EXPECT_EQ(static_cast<QSpinBox*>(again->Inspect->cellWidget(2, 1))->value(), 5);
}

TEST_F(OptionDialog, ProtectedFileDeletionsNeedOkAdditionsAreWrittenAtOnce) {
    {
        auto d = Open();
        d->lbIgnoreList->item(0)->setSelected(true);
        d->btnDelListClick();
        d->RzButton1Click();
        EXPECT_EQ(LoadProtectedFiles(ProtectedFilesPath()), (std::vector<std::string>{"KEEP.DOC", "ALSO.TXT"}));
    }
    {
        auto d = Open();
        d->lbIgnoreList->item(0)->setSelected(true);
        d->btnDelListClick();
        d->RzButton6Click();
        EXPECT_EQ(LoadProtectedFiles(ProtectedFilesPath()), std::vector<std::string>{"ALSO.TXT"});
    }
    {
        auto d = Open();
        d->SetInputBox([](const std::string& caption, const std::string& prompt) {
            EXPECT_EQ(caption, "Add File you do not want clean");
            EXPECT_EQ(prompt, "FileName");
            return std::string(); // Cancel
        });
        d->btnAdd2Click();
        EXPECT_EQ(LoadProtectedFiles(ProtectedFilesPath()), (std::vector<std::string>{"ALSO.TXT", ""}));
    }
}

TEST_F(OptionDialog, SelectAllUnticksEveryTypeAtOnceAndOnDisk) {
    for (int i = 0; i < Setting->Garbages().Count(); ++i)
        Setting->Garbages()[i].SetIfclean(true);
    auto d = Open();
    d->cbSelectAll->setChecked(false);
    d->cbSelectAllClick();
    EXPECT_FALSE(Setting->Garbages()[5].Ifclean());
    d->RzButton1Click();
    const auto disk = OnDisk();
    for (int i = 0; i < disk->Garbages().Count(); ++i)
        EXPECT_FALSE(disk->Garbages()[i].Ifclean()) << i;
}

TEST_F(OptionDialog, SubFolderBoxDecidesTheAddedFolderAndLeavesTheEmptyFolderRule) {
    TTempDir chosen;
    chosen.Write("a.txt", std::string(3 * 1048576, 'x'));
    Setting->SetIfCleanZeroDir(false);
    auto d = Open();
    d->SetFolderPicker([&](const std::string& title, const std::string&) {
        EXPECT_EQ(title, "Please select a directory to cleanup: ");
        return chosen.Path().string();
    });
    const int drives = d->Lv_DirList->topLevelItemCount();
    d->Cb_IfSubDir->click(); // as the user unticks it
    ASSERT_FALSE(d->Cb_IfSubDir->isChecked());
    EXPECT_FALSE(Setting->IfCleanZeroDir());
    d->btnAddCleanDirClick();
    ASSERT_EQ(d->Lv_DirList->topLevelItemCount(), drives + 1);
    const QTreeWidgetItem* row = d->Lv_DirList->topLevelItem(drives);
    EXPECT_EQ(row->text(1), "---");
    EXPECT_EQ(row->text(2), "3MB");
    EXPECT_EQ(row->text(3), "Directory");
    const int last = Setting->Directorys().Count() - 1;
    EXPECT_EQ(Setting->Directorys()[last].Path(), chosen.Path().string());
    EXPECT_FALSE(Setting->Directorys()[last].IncludeSubDir());
    EXPECT_FALSE(Setting->IfCleanZeroDir());
    // Deleting the row takes the folder out of the settings at once.
    d->Lv_DirList->setCurrentItem(d->Lv_DirList->topLevelItem(drives));
    d->btnDelCleanDirClick();
    EXPECT_EQ(Setting->Directorys().Count(), last);
}

TEST_F(OptionDialog, DeletingTakesTheFirstSelectedTypeAndTheCloseBoxStoresIt) {
    auto d = Open();
    d->btnDelFilterClick(); // nothing selected: nothing goes
    ASSERT_EQ(d->Lv_GarbageList->topLevelItemCount(), 28);
    const QString second = d->Lv_GarbageList->topLevelItem(1)->text(1);
    const QString third = d->Lv_GarbageList->topLevelItem(2)->text(1);
    d->Lv_GarbageList->topLevelItem(1)->setSelected(true);
    d->Lv_GarbageList->topLevelItem(4)->setSelected(true);
    d->btnDelFilterClick();
    ASSERT_EQ(d->Lv_GarbageList->topLevelItemCount(), 27);
    EXPECT_EQ(d->Lv_GarbageList->topLevelItem(1)->text(1), third);
    d->Lv_GarbageList->topLevelItem(0)->setCheckState(0, Qt::Unchecked);
    EXPECT_EQ(Setting->Garbages().Count(), 28); // not before the close
    d->close(); // the frame's close box
    ASSERT_EQ(Setting->Garbages().Count(), 27);
    EXPECT_EQ(Setting->Garbages()[1].GarbageName(), third.toStdString());
    EXPECT_FALSE(Setting->Garbages()[0].Ifclean());
    const auto disk = OnDisk();
    ASSERT_EQ(disk->Garbages().Count(), 27);
    for (int i = 0; i < disk->Garbages().Count(); ++i)
        EXPECT_NE(disk->Garbages()[i].GarbageName(), second.toStdString());
}

TEST_F(OptionDialog, MissingProtectedListIsReportedAndTheJunkTypesStayWhole) {
    std::filesystem::remove(ProtectedFilesPath());
    auto d = Open();
    ASSERT_EQ(Boxes.size(), 1u);
    EXPECT_EQ(Boxes[0].rfind("Cannot open file \"", 0), 0u);
    EXPECT_EQ(d->lbIgnoreList->count(), 0);
    d->RzButton1Click();
    EXPECT_EQ(Setting->Garbages().Count(), 28);
}

TEST(AddFilterDialog, TypesInUpperCaseAndEndsOnlyFromTheRemark) {
    TfrmAddFilter dialog;
    dialog.show();
    QTest::keyClicks(dialog.eFilterName, "*.bak");
    EXPECT_EQ(dialog.eFilterName->text(), "*.BAK");
    // Pasted text is upper-cased too.
    QApplication::clipboard()->setText("~x");
    dialog.eFilterName->paste();
    EXPECT_EQ(dialog.eFilterName->text(), "*.BAK~X");
    QTest::keyClick(dialog.eFilterName, Qt::Key_Return);
    EXPECT_TRUE(dialog.isVisible());
    QTest::keyClick(&dialog, Qt::Key_Escape);
    EXPECT_TRUE(dialog.isVisible());
    // Chinese text arrives as one key event carrying the committed text.
    QKeyEvent chinese(QEvent::KeyPress, 0, Qt::NoModifier, QString::fromUtf8("备注"));
    QApplication::sendEvent(dialog.eFilterMemo, &chinese);
    QTest::keyClicks(dialog.eFilterMemo, " x");
    EXPECT_EQ(dialog.eFilterMemo->text(), QString::fromUtf8("备注 X"));
    QTest::keyClick(dialog.eFilterMemo, Qt::Key_Return);
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
}

TEST(AddFilterDialog, ReturnsTheTextsAndHowItEnded) {
    SetAddFilterRunner([](TfrmAddFilter&) { return static_cast<int>(QDialog::Accepted); });
    std::string name = "old", memo = "old";
    EXPECT_TRUE(ShowAddFilterDialog(name, memo));
    EXPECT_EQ(name, "");
    EXPECT_EQ(memo, "");
    SetAddFilterRunner([](TfrmAddFilter& f) {
        f.eFilterName->setText("*.X");
        f.close(); // the frame's close box
        return f.result();
    });
    EXPECT_FALSE(ShowAddFilterDialog(name, memo));
    EXPECT_EQ(name, "*.X");
    SetAddFilterRunner(nullptr);
}
