#include "app/ui/ShellFixture.h"
#include "clean/FakeScanHost.h"

#include "clean/ui/TJunkListModel.h"
#include "clean/TJunkScanner.h"
#include "clean/ui/TfrmCleaning.h"
#include "core/PathText.h"
#include "core/TSetting.h"
#include "platform/IPower.h"

#include <QCheckBox>
#include <QHeaderView>
#include <QElapsedTimer>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollBar>
#include <QStatusBar>
#include <QTableView>
#include <QTimer>

#include <filesystem>

namespace fs = std::filesystem;

namespace {

class TPowerRecorder : public Platform::IPower {
public:
    explicit TPowerRecorder(int* calls) : FCalls(calls) {}
    std::string PowerOff() override {
        ++*FCalls;
        return {};
    }

private:
    int* FCalls;
};

class CleaningWindow : public TShellTest {
protected:
    void SetUp() override {
        TShellTest::SetUp();
        Folder().Write("Option2.CFG", "KEEP.BAK\r\n");
        Setting = new TSetting(Home / "Morvane.ini");
        Setting->Garbages().Clear();
        Setting->Garbages().Add("*.BAK", "", true);
        Setting->Directorys().Clear();
        Setting->Directorys().Add(PathText(Tree.Path()), true, true);
        FOldPower = Platform::SetPower(std::make_unique<TPowerRecorder>(&PowerOffs));
        Window = new TfrmCleaning;
    }
    void TearDown() override {
        delete Window;
        delete Setting;
        Setting = nullptr;
        Platform::SetPower(std::move(FOldPower));
        TShellTest::TearDown();
    }

    // Shows the window and lets its timer start the scan and finish it.
    void ShowAndScan() {
        Window->show();
        Pump(1300);
    }
    QPushButton* Button(const char* name) const { return Window->findChild<QPushButton*>(name); }
    QString StatusText(int panel) const {
        return Window->findChild<QStatusBar*>("Sb_status")->findChildren<QLabel*>()[panel]->text();
    }
    std::vector<std::string> Paths() const {
        std::vector<std::string> p;
        for (const TJunkRow& r : Window->List().Rows())
            p.push_back(r.Path);
        return p;
    }

    TTempDir Home;
    TTempDir Tree;
    TfrmCleaning* Window = nullptr;
    int PowerOffs = 0;

private:
    std::unique_ptr<Platform::IPower> FOldPower;
};

} // namespace

TEST_F(CleaningWindow, ShowingScansAfterASecondAndSumsUp) {
    Tree.Write("a.bak", "123");
    Tree.Write("keep.bak", "1");
    Tree.Write("sub/b.bak", "45");
    Window->show();
    Pump(300);
    EXPECT_TRUE(Window->List().Rows().empty()); // not yet
    Pump(1000);
    EXPECT_EQ(Window->List().Rows().size(), 2u);
    EXPECT_EQ(Button("Btn_Scan")->text(), QString::fromUtf8("开始清理 (&S)"));
    ASSERT_EQ(Boxes.size(), 1u);
    // a.bak, keep.bak, sub, sub/b.bak
    EXPECT_EQ(Boxes[0], "   本次磁盘扫描完成 !!!\n\r-----------------\n\r [共分析文件数量]: 4  \n\r"
                        " [发现垃圾文件数量]: 2 \n\r [垃圾文件空间占用]: 5 字节");
    EXPECT_EQ(StatusText(1),
              QString::fromUtf8("[扫描分析文件]: 4  [发现垃圾文件]: 2  [垃圾占用空间]: 5 Byte"));

    // A second scan counts on from the first; the junk figures start again.
    Window->Btn_ScanClick();
    EXPECT_EQ(Window->Counters().FScannedCount, 8);
    EXPECT_EQ(Window->Counters().FJunkCount, 2);
    EXPECT_EQ(Window->List().Rows().size(), 2u);
}

TEST_F(CleaningWindow, PauseEndsTheScanAndTheButtonComesBack) {
    Tree.Write("a.bak", "1");
    QTimer::singleShot(0, Window, [this] { Window->Btn_ScanClick(); }); // pressed while it runs
    Window->Btn_ScanClick();
    EXPECT_TRUE(Window->List().Rows().empty());
    EXPECT_EQ(Button("Btn_Scan")->text(), QString::fromUtf8("开始清理 (&S)"));
    EXPECT_EQ(Boxes.size(), 1u); // the summary is still given
}

TEST_F(CleaningWindow, AutoCloseTickedDuringAScanSwitchesOffWithoutTheBox) {
    Setting->SetAutoCleanShutDown(true);
    Tree.Write("a.bak", "1");
    Window->show(); // takes the setting; the scan unticks it
    QTimer::singleShot(0, Window,
                       [this] { Window->findChild<QCheckBox*>("cbAutoClose")->setChecked(true); });
    Window->Btn_ScanClick();
    EXPECT_TRUE(Boxes.empty());
    EXPECT_EQ(PowerOffs, 1);
    EXPECT_TRUE(Setting->AutoCleanShutDown());
    Window->findChild<QCheckBox*>("cbAutoClose")->setChecked(false);
    Window->Btn_ScanClick();
    EXPECT_EQ(PowerOffs, 1);
}

TEST_F(CleaningWindow, CleanAllDeletesCheckedRowsAndEmptiesTheList) {
    Tree.Write("a.bak", "1");
    Tree.Write("b.bak", "1");
    Tree.Write("c.bak", "1");
    Window->Btn_ScanClick();
    ASSERT_EQ(Window->List().Rows().size(), 3u);
    auto& model = Window->List();
    model.setData(model.index(0, 0), Qt::Unchecked, Qt::CheckStateRole);
    model.setData(model.index(2, 0), Qt::Unchecked, Qt::CheckStateRole);
    const std::string gone = model.Rows()[1].Path;
    Window->Btn_CleanAllClick();
    EXPECT_TRUE(model.Rows().empty());
    EXPECT_FALSE(fs::exists(PathFromText(gone)));
    int left = 0;
    for (const auto& e : fs::directory_iterator(Tree.Path()))
        left += e.path().extension() == ".bak";
    EXPECT_EQ(left, 2);
    EXPECT_GT(Setting->LastCleanDate(), 0.0);
}

TEST_F(CleaningWindow, FolderRowsGoWholeWithCleanAllButOnlyEmptyWithDelete) {
    Setting->SetIfCleanZeroDir(true);
    fs::create_directories(Tree / "one");
    fs::create_directories(Tree / "two");
    Window->Btn_ScanClick();
    ASSERT_EQ(Window->List().Rows().size(), 2u);
    // Both folders fill up after the scan.
    Tree.Write("one/late.txt", "x");
    Tree.Write("two/late.txt", "x");
    Window->ListView()->selectRow(0);
    Window->DeleteD1Click();
    EXPECT_EQ(Window->List().Rows().size(), 2u);
    EXPECT_TRUE(StatusText(0).startsWith(QString::fromUtf8("删除 [")));
    EXPECT_TRUE(StatusText(0).contains(QString::fromUtf8("<Dir>] 失败 : ")));
    Window->Btn_CleanAllClick();
    EXPECT_FALSE(fs::exists(Tree / "one"));
    EXPECT_FALSE(fs::exists(Tree / "two"));
}

TEST_F(CleaningWindow, HeaderClicksSortDescendingThenAscending) {
    Tree.Write("nine.bak", "123456789");
    Tree.Write("ten.bak", "1234567890");
    Window->Btn_ScanClick();
    Window->ListView()->horizontalHeader()->sectionClicked(1);
    EXPECT_TRUE(Window->List().Rows()[0].Path.ends_with("ten.bak"));
    Window->ListView()->horizontalHeader()->sectionClicked(1);
    EXPECT_TRUE(Window->List().Rows()[0].Path.ends_with("nine.bak")); // 9Byte before 10Byte
}

TEST_F(CleaningWindow, MissingProtectedListIsReportedAndNoScanStarts) {
    fs::remove(Folder() / "Option2.CFG");
    Tree.Write("a.bak", "1");
    ShowAndScan();
    ASSERT_EQ(Boxes.size(), 1u);
    EXPECT_EQ(Boxes[0].rfind("Cannot open file \"", 0), 0u);
    EXPECT_TRUE(Window->List().Rows().empty());
}

TEST_F(CleaningWindow, PickedFolderReplacesTheCleanDirectories) {
    Window->SetFolderPicker([](const std::string& title, const std::string&) {
        EXPECT_EQ(title, "Please select a directory to cleanup: ");
        return std::string("/chosen");
    });
    Window->btnAddCleanDirClick();
    ASSERT_EQ(Setting->Directorys().Count(), 1);
    EXPECT_EQ(Setting->Directorys()[0].Path(), "/chosen");
    EXPECT_TRUE(Setting->Directorys()[0].IncludeSubDir());
    Window->SetFolderPicker([](const std::string&, const std::string&) { return std::string(); });
    Window->btnAddCleanDirClick(); // cancelled: nothing changes
    EXPECT_EQ(Setting->Directorys()[0].Path(), "/chosen");
}

TEST_F(CleaningWindow, RowCommandsOpenTheEntryAndItsFolder) {
    Tree.Write("a.bak", "1");
    Window->Btn_ScanClick();
    Window->Open1Click(); // nothing selected: nothing happens
    EXPECT_TRUE(Opened.empty());
    Window->ListView()->selectRow(0);
    Window->Open1Click();
    Window->Explorerthedirectory1Click();
    ASSERT_EQ(Opened.size(), 2u);
    EXPECT_EQ(Opened[0], PathText(Tree / "a.bak"));
    EXPECT_EQ(Opened[1], PathText(Tree.Path()) + PathSeparator);
}

// The bar runs from 0 to the number of rows and ends full: with one row it must not
// become a busy bar (a range of 0..0), with many it must not stop short.
TEST_F(CleaningWindow, CleanAllEndsWithTheBarFullAfterOneRowAndAfterMany) {
    auto* bar = Window->findChild<QProgressBar*>("Pb_Process");
    for (const int rows : {1, 300}) {
        for (int i = 0; i < rows; ++i)
            Tree.Write("f" + std::to_string(i) + ".bak", "x");
        Window->Btn_ScanClick();
        ASSERT_EQ(Window->List().Rows().size(), static_cast<size_t>(rows));
        Window->Btn_CleanAllClick();
        EXPECT_TRUE(Window->List().Rows().empty());
        EXPECT_LT(bar->minimum(), bar->maximum()) << rows << " rows";
        EXPECT_EQ(bar->value(), bar->maximum()) << rows << " rows";
    }
    Window->Btn_ScanClick(); // the range stays for the next scan, still no busy bar
    EXPECT_LT(bar->minimum(), bar->maximum());
}

// Pressing the scan button before the automatic start came makes the one scan of this
// showing: the timer must not press the button again, which would pause that scan.
TEST_F(CleaningWindow, AScanStartedByHandReplacesTheAutomaticStart) {
    Tree.Write("a.bak", "1");
    Window->show();
    Window->Btn_ScanClick();
    Pump(1300);
    EXPECT_EQ(Boxes.size(), 1u);
    EXPECT_EQ(Window->Counters().FScannedCount, 1);
}

// The window shows the scan's reports when it pumps, not after every entry; what it shows
// in the end is what an update after every entry shows, and it never updates more often
// than the scan pumps.
TEST_F(CleaningWindow, ScanShowsWhatAnUpdatePerEntryShowsAtMostOncePerPump) {
    for (int d = 0; d < 20; ++d)
        for (int i = 0; i < 150; ++i)
            Tree.Write("d" + std::to_string(d) + "/f" + std::to_string(i) +
                           (i % 10 == 0 ? ".bak" : ".txt"),
                       "x");
    auto* bar = Window->findChild<QProgressBar*>("Pb_Process");
    int barChanges = 0;
    QObject::connect(bar, &QProgressBar::valueChanged, [&] { ++barChanges; });
    QElapsedTimer clock;
    clock.start();
    Window->Btn_ScanClick();
    const qint64 elapsed = clock.elapsed();

    TFakeScanHost perEntry;
    TScanCounters counters;
    TJunkScanner scanner(perEntry, counters, *Setting, {"KEEP.BAK"});
    scanner.SetPumpInterval(std::chrono::milliseconds(0));
    scanner.ScanDirectory(PathText(Tree.Path()), true);

    ASSERT_EQ(Window->List().Rows().size(), 300u);
    ASSERT_EQ(perEntry.Rows.size(), 300u);
    for (size_t i = 0; i < perEntry.Rows.size(); ++i)
        EXPECT_EQ(Window->List().Rows()[i].Path, perEntry.Rows[i].Path);
    EXPECT_EQ(Window->windowTitle().toStdString(), perEntry.Captions.back());
    EXPECT_EQ(StatusText(0).toStdString(), perEntry.Status[0]);
    QScrollBar* scroll = Window->ListView()->verticalScrollBar();
    EXPECT_EQ(scroll->value(), scroll->maximum()); // the newest rows in view
    // One change per pump of 10 ms at most, the end's 100 and the start's reset.
    EXPECT_LE(barChanges, elapsed / 10 + 3) << elapsed << " ms";
}
