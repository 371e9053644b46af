#include "app/ui/ShellFixture.h"

#include "analysis/ui/TDirChartPanel.h"
#include "analysis/ui/TFrm_Main.h"
#include "analysis/ui/TListCommands.h"
#include "analysis/ui/TShellItemModel.h"
#include "analysis/ui/TShellListView.h"
#include "clean/ui/TJunkListModel.h"
#include "clean/ui/TfrmCleaning.h"
#include "core/FakeVolumes.h"
#include "core/TSetting.h"
#include "core/ui/TFilePropertiesDialog.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMenu>
#include <QProgressBar>
#include <QTableView>
#include <QTest>
#include <QTimer>

#include <gmock/gmock.h>

#include <filesystem>

#include <sys/stat.h>

namespace fs = std::filesystem;
using testing::ElementsAre;

namespace {

// The analysis window over one volume: a temporary tree standing for a drive.
class AnalysisList : public TShellTest {
protected:
    void SetUp() override {
        TShellTest::SetUp();
        Tree.Write("vol/Data/a.txt", "a");
        Tree.Write("vol/Full/.hidden", "h");
        Tree.Write("vol/Full/sub/deep/x.bin", std::string(3000, 'x'));
        Tree.Write("vol/Full/visible.txt", "v");
        Tree.Write("vol/Junk/old.bak", "1");
        Tree.Write("vol/Junk/sub/older.bak", "22");
        Tree.Write("vol/Windows/System32/k.dll", std::string(2000, 'k'));
        Tree.Write("vol/outside.bak", "333");
        Tree.Write("vol/big.dat", std::string(1536 * 1024, 'b'));
        Root = (Tree / "vol").string() + "/";
        Fake->Volumes = {{Root, Platform::DriveType::Fixed, "Test"}};
        Folder().Write("Option2.CFG", "");
        Setting = new TSetting(Home / "Morvane.ini");
        Setting->Garbages().Clear();
        Setting->Garbages().Add("*.BAK", "", true);
        Window = new TFrm_Main;
        Window->show();
        QApplication::processEvents();
    }
    void TearDown() override {
        delete frmCleaning;
        delete Window;
        delete Setting;
        Setting = nullptr;
        TShellTest::TearDown();
    }

    TShellListView* List() const { return Window->List(); }
    TShellBrowser& Browser() const { return Window->Model().Browser(); }
    QAbstractItemView* View() const { return List()->CurrentView(); }
    int IndexOf(const std::string& name) const {
        for (int i = 0; i < Browser().Count(); ++i)
            if (Browser().ShellItem(i).DisplayName == name)
                return i;
        return -1;
    }
    std::vector<std::string> Names() const {
        std::vector<std::string> names;
        for (int i = 0; i < Browser().Count(); ++i)
            names.push_back(Browser().ShellItem(i).DisplayName);
        return names;
    }
    // Selects a row by name and presses a key in the list, as a user would.
    void Press(const std::string& name, Qt::Key key) {
        const int row = IndexOf(name);
        ASSERT_GE(row, 0) << name;
        List()->SelectRow(row);
        QTest::keyClick(View(), key);
    }
    void EnterVolume() {
        List()->SelectRow(0);
        QTest::keyClick(View(), Qt::Key_Return);
        ASSERT_EQ(Browser().LocationText(), Root);
    }
    QString Cell(const std::string& name, int column) const {
        return Window->Model().data(Window->Model().index(IndexOf(name), column)).toString();
    }
    QAbstractButton* StyleButton(const char* name) const {
        return Window->findChild<QAbstractButton*>(name);
    }
    QStringList History() const {
        QStringList entries;
        for (int i = 0; i < Window->cbPath()->count(); ++i)
            entries << Window->cbPath()->itemText(i);
        return entries;
    }

    TFakeVolumes* Fake = nullptr;
    TVolumesScope Scope{Fake};
    TTempDir Tree;
    TTempDir Home;
    std::string Root;
    TFrm_Main* Window = nullptr;
};

} // namespace

TEST_F(AnalysisList, EnterAndBackspaceMoveThroughFoldersAndTheHistoryKeepsEachPlaceOnce) {
    EXPECT_EQ(Browser().LocationText(), "My Computer");
    EXPECT_EQ(List()->SelectedRow(), 0); // the first row is selected on arrival
    EnterVolume();
    EXPECT_THAT(Names(), ElementsAre("Data", "Full", "Junk", "Windows", "big.dat", "outside.bak"));
    EXPECT_EQ(Window->cbPath()->currentText().toStdString(), Root);
    Press("Windows", Qt::Key_Return);
    EXPECT_EQ(Browser().LocationText(), Root + "Windows");
    EXPECT_THAT(Names(), ElementsAre("System32"));

    QTest::keyClick(View(), Qt::Key_Backspace);
    EXPECT_EQ(Browser().LocationText(), Root);
    EXPECT_EQ(Window->cbPath()->currentText().toStdString(), Root);
    const QString root = QString::fromStdString(Root);
    EXPECT_EQ(History(), QStringList({root + "Windows", root, "My Computer"}));

    Window->findChild<QAbstractButton*>("btnBack")->click(); // a volume root goes to My Computer
    EXPECT_EQ(Browser().LocationText(), "My Computer");
    EXPECT_EQ(History(), QStringList({"My Computer", root + "Windows", root, "My Computer"}));
    Window->findChild<QAbstractButton*>("btnBack")->click(); // and stays there
    EXPECT_EQ(Browser().LocationText(), "My Computer");
    EXPECT_EQ(History().size(), 5); // each arrival at My Computer is a new entry

    // Choosing a history entry goes back there.
    emit Window->cbPath()->activated(int(History().indexOf(root + "Windows")));
    EXPECT_EQ(Browser().LocationText(), Root + "Windows");

    // A typed location is entered with Enter.
    Window->cbPath()->lineEdit()->selectAll();
    QTest::keyClicks(Window->cbPath()->lineEdit(), root + "Data");
    QTest::keyClick(Window->cbPath()->lineEdit(), Qt::Key_Return);
    EXPECT_EQ(Browser().LocationText(), Root + "Data");
    EXPECT_EQ(History().first(), root + "Data");
}

TEST_F(AnalysisList, AnEmptyFolderHasNoSelectedRowButStillMoves) {
    fs::create_directory(Tree / "vol" / "Empty");
    EnterVolume();
    Press("Empty", Qt::Key_Return);
    EXPECT_EQ(Browser().LocationText(), Root + "Empty");
    EXPECT_EQ(Window->cbPath()->currentText().toStdString(), Root + "Empty");
    EXPECT_EQ(Window->Model().rowCount(), 0);
    EXPECT_EQ(List()->SelectedRow(), -1);
}

TEST_F(AnalysisList, TheReportViewShowsFiveColumnsWithTheirCells) {
    QTableView* report = List()->ReportView();
    ASSERT_EQ(List()->ViewStyle(), TShellListView::TViewStyle::Report);
    ASSERT_EQ(List()->currentWidget(), report);
    const int widths[5] = {175, 75, 150, 100, 75};
    for (int c = 0; c < 5; ++c)
        EXPECT_EQ(report->columnWidth(c), widths[c]) << c;
    EXPECT_EQ(Window->Model().headerData(1, Qt::Horizontal).toString(),
              QString::fromUtf8("占用空间"));
    EXPECT_TRUE(report->showGrid());
    EXPECT_EQ(report->selectionMode(), QAbstractItemView::SingleSelection);

    EnterVolume();
    // A file row: size, type, modified, attributes; the size and attribute cells on the right.
    EXPECT_EQ(Cell("big.dat", 0), "big.dat");
    EXPECT_EQ(Cell("big.dat", 1), "1.512MB");
    EXPECT_EQ(Cell("big.dat", 4), "A");
    EXPECT_FALSE(Cell("big.dat", 3).isEmpty());
    const QModelIndex size = Window->Model().index(IndexOf("big.dat"), 1);
    EXPECT_TRUE(Window->Model().data(size, Qt::TextAlignmentRole).toInt() & Qt::AlignRight);
    // A folder row has no size: its cells start one column to the left.
    EXPECT_EQ(Cell("Data", 1), "Folder");
    EXPECT_FALSE(Cell("Data", 2).isEmpty());
    EXPECT_EQ(Cell("Data", 3), "");
    EXPECT_EQ(Cell("Data", 4), "");
}

TEST_F(AnalysisList, TheStyleButtonsSwitchViewsAndOnlyTheReportHasCells) {
    for (const char* name : {"btnLargeIcons", "btnSmallIcons", "btnList", "btnReport"}) {
        ASSERT_NE(StyleButton(name), nullptr) << name;
        EXPECT_FALSE(StyleButton(name)->isChecked()) << name; // none pressed at start
    }
    EnterVolume();
    const struct {
        const char* Button;
        TShellListView::TViewStyle Style;
    } styles[] = {{"btnLargeIcons", TShellListView::TViewStyle::LargeIcons},
                  {"btnSmallIcons", TShellListView::TViewStyle::SmallIcons},
                  {"btnList", TShellListView::TViewStyle::List}};
    List()->SelectRow(IndexOf("Junk"));
    for (const auto& s : styles) {
        StyleButton(s.Button)->click();
        EXPECT_TRUE(StyleButton(s.Button)->isChecked());
        EXPECT_EQ(List()->ViewStyle(), s.Style) << s.Button;
        EXPECT_EQ(List()->currentWidget(), List()->IconView());
        EXPECT_EQ(Cell("big.dat", 0), "big.dat");
        EXPECT_FALSE(Window->Model().data(Window->Model().index(IndexOf("big.dat"), 1)).isValid());
        EXPECT_EQ(List()->FirstCell(IndexOf("big.dat")), std::nullopt);
        EXPECT_EQ(List()->SelectedRow(), IndexOf("Junk")); // the selection carries over
    }
    EXPECT_EQ(List()->IconView()->viewMode(), QListView::ListMode);
    EXPECT_EQ(List()->IconView()->flow(), QListView::TopToBottom);
    StyleButton("btnLargeIcons")->click();
    EXPECT_EQ(List()->IconView()->viewMode(), QListView::IconMode);
    StyleButton("btnReport")->click();
    EXPECT_EQ(List()->currentWidget(), List()->ReportView());
    EXPECT_EQ(Cell("big.dat", 1), "1.512MB");
}

TEST_F(AnalysisList, TypingSelectsTheFirstNameThatBeginsWithIt) {
    EnterVolume();
    List()->SelectRow(0);
    QTest::keyClicks(View(), "win");
    EXPECT_EQ(List()->SelectedRow(), IndexOf("Windows"));
    QTest::qWait(QApplication::keyboardInputInterval() + 50);
    QTest::keyClicks(View(), "OUT"); // the last row, case ignored
    EXPECT_EQ(List()->SelectedRow(), IndexOf("outside.bak"));
}

TEST_F(AnalysisList, DeleteOnAFileRowDeletesTheFile) {
    EnterVolume();
    Press("outside.bak", Qt::Key_Delete);
    EXPECT_FALSE(fs::exists(Tree / "vol" / "outside.bak"));
    EXPECT_EQ(IndexOf("outside.bak"), -1);
    EXPECT_EQ(List()->SelectedRow(), 0); // the re-read selects the first row
    EXPECT_TRUE(fs::exists(Tree / "vol" / "big.dat"));
}

TEST_F(AnalysisList, DeleteOnAFolderRowEmptiesItAndListsItAgain) {
    EnterVolume();
    List()->SelectRow(IndexOf("Full"));
    Window->Commands()->N_DeleteClick();
    ASSERT_TRUE(fs::is_directory(Tree / "vol" / "Full"));
    EXPECT_TRUE(fs::is_empty(Tree / "vol" / "Full")); // hidden entries and sub-folders too
    EXPECT_GE(IndexOf("Full"), 0);
    EXPECT_TRUE(fs::exists(Tree / "vol" / "Data" / "a.txt"));
    EXPECT_TRUE(fs::exists(Tree / "vol" / "Junk" / "old.bak"));
}

TEST_F(AnalysisList, DeleteOutsideTheReportViewDeletesNothingAndRereads) {
    EnterVolume();
    StyleButton("btnLargeIcons")->click();
    Tree.Write("vol/new.txt", "n"); // appears by the re-read
    Press("outside.bak", Qt::Key_Delete);
    List()->SelectRow(IndexOf("Full"));
    Window->Commands()->N_DeleteClick();
    EXPECT_TRUE(fs::exists(Tree / "vol" / "outside.bak"));
    EXPECT_TRUE(fs::exists(Tree / "vol" / "Full" / "visible.txt"));
    EXPECT_GE(IndexOf("new.txt"), 0);
}

TEST_F(AnalysisList, DeleteAtMyComputerTouchesNoVolume) {
    List()->SelectRow(0);
    QTest::keyClick(View(), Qt::Key_Delete);
    EXPECT_EQ(Browser().LocationText(), "My Computer");
    EXPECT_TRUE(fs::exists(Tree / "vol" / "outside.bak"));
    EXPECT_TRUE(fs::exists(Tree / "vol" / "Data" / "a.txt"));
}

TEST_F(AnalysisList, CleanDirectoryScansOnlyTheRowsFolder) {
    EnterVolume();
    List()->SelectRow(IndexOf("outside.bak"));
    Window->Commands()->ClearUpGarbage1Click(); // a file row: nothing happens
    EXPECT_EQ(frmCleaning, nullptr);

    List()->SelectRow(IndexOf("Junk"));
    // The cleaning window scans a second after it shows; close it once that is done.
    QTimer::singleShot(2000, [] {
        if (frmCleaning)
            frmCleaning->close();
    });
    Window->Commands()->ClearUpGarbage1Click();
    ASSERT_NE(frmCleaning, nullptr); // kept for the next opening
    ASSERT_EQ(Setting->Directorys().Count(), 1);
    EXPECT_EQ(Setting->Directorys()[0].Path(), Root + "Junk");
    EXPECT_TRUE(Setting->Directorys()[0].IncludeSubDir());
    EXPECT_TRUE(Setting->Directorys()[0].IfClean());
    std::vector<std::string> found;
    for (const TJunkRow& row : frmCleaning->List().Rows())
        found.push_back(row.Path);
    EXPECT_THAT(found,
                testing::UnorderedElementsAre(Root + "Junk/old.bak", Root + "Junk/sub/older.bak"));
}

TEST_F(AnalysisList, ThePopupOpensBesideThePressedPointWithItsEntries) {
    EnterVolume();
    QAbstractItemView* view = View();
    const int row = IndexOf("Data");
    const QPoint at = view->visualRect(Window->Model().index(row, 0)).center();
    QTest::mousePress(view->viewport(), Qt::RightButton, Qt::NoModifier, at);
    QMenu* menu = Window->Commands()->PM_Files();
    ASSERT_TRUE(menu->isVisible());
    EXPECT_EQ(List()->SelectedRow(), row);
    EXPECT_EQ(menu->pos(), view->viewport()->mapToGlobal(at) + QPoint(5, 5));
    QStringList captions, keys;
    for (QAction* a : menu->actions()) {
        captions << (a->isSeparator() ? "-" : a->text());
        keys << a->shortcut().toString();
    }
    const QString blanks(28, ' ');
    EXPECT_EQ(captions,
              QStringList({"&Open&&Explorer...", "Analy&ze Directory", "-", "&Clean Direcotry...",
                           "&Delete" + blanks, "-", "&Attribute" + blanks}));
    EXPECT_EQ(keys, QStringList({"Ctrl+E", "Ctrl+A", "", "Ctrl+G", "Ctrl+D", "", "Ctrl+P"}));
    menu->hide();
}

TEST_F(AnalysisList, OpenStartsTheRowsEntryAndEnterOnAFileStartsIt) {
    EnterVolume();
    List()->SelectRow(IndexOf("Data"));
    Window->Commands()->N15Click();
    Press("big.dat", Qt::Key_Return);
    EXPECT_EQ(Browser().LocationText(), Root); // a file is started, not entered
    EXPECT_THAT(Opened, ElementsAre(Root + "Data", Root + "big.dat"));
}

TEST_F(AnalysisList, AnalyzeOnAVolumeRowChartsItsRootAndSwitchesToThePie) {
    TDirChartPanel* charts = Window->ChartPanel();
    charts->ShowDriveChart();
    ASSERT_FALSE(charts->PieShown());
    List()->SelectRow(0);
    Window->Commands()->AnalyzeThisDiectory1Click();
    EXPECT_TRUE(charts->PieShown());
    EXPECT_EQ(charts->L_Dir().toStdString(), Root);
    std::vector<std::string> labels;
    for (const TPieSlice& slice : charts->Slices().Data())
        labels.push_back(slice.Label);
    EXPECT_THAT(labels, testing::Contains("big.dat"));
    EXPECT_THAT(labels, testing::Contains("Windows"));
    EXPECT_THAT(labels, testing::Not(testing::Contains("outside.bak"))); // 1024 bytes or less
    EXPECT_EQ(Browser().LocationText(), "My Computer"); // the list stays where it is
}

TEST_F(AnalysisList, AnalyzeOnAFolderRowFillsThePieWithoutSwitching) {
    TDirChartPanel* charts = Window->ChartPanel();
    EnterVolume();
    charts->ShowDriveChart();
    List()->SelectRow(IndexOf("Windows"));
    Window->Commands()->AnalyzeThisDiectory1Click();
    EXPECT_FALSE(charts->PieShown());
    EXPECT_EQ(charts->L_Dir().toStdString(), Root + "Windows/");
    ASSERT_EQ(charts->Slices().Data().size(), 1u);
    EXPECT_EQ(charts->Slices().Data()[0].Label, "System32");
    EXPECT_EQ(charts->Slices().Data()[0].Value, 0); // whole MB, cut

    // In the icon views the row still names its folder.
    StyleButton("btnList")->click();
    List()->SelectRow(IndexOf("Data"));
    Window->Commands()->AnalyzeThisDiectory1Click();
    EXPECT_EQ(charts->L_Dir().toStdString(), Root + "Data/");
}

TEST_F(AnalysisList, MovingFillsTheLocationLabels) {
    EnterVolume();
    Press("Windows", Qt::Key_Return);
    EXPECT_EQ(Window->ChartPanel()->L_Dir().toStdString(), Root + "Windows");
    EXPECT_EQ(Window->ChartPanel()->findChild<QLabel*>("LDirName")->text(), "Windows");
    EXPECT_FALSE(Window->ChartPanel()->findChild<QLabel*>("lModifyDate")->text().isEmpty());
    QTest::keyClick(View(), Qt::Key_Backspace);
    QTest::keyClick(View(), Qt::Key_Backspace);
    EXPECT_EQ(Window->ChartPanel()->findChild<QLabel*>("LDirName")->text(), "My Computer");
    EXPECT_EQ(Window->ChartPanel()->findChild<QLabel*>("lCreateDate")->text(), "");
}

TEST_F(AnalysisList, PropertiesShowTheSheetOfTheRowsEntryInEveryView) {
    EnterVolume();
    StyleButton("btnSmallIcons")->click();
    List()->SelectRow(IndexOf("big.dat"));
    QString shown;
    QTimer::singleShot(0, [&shown] {
        if (auto* sheet = dynamic_cast<TFilePropertiesDialog*>(QApplication::activeModalWidget())) {
            shown = sheet->ValueOf(QString::fromUtf8("位置"));
            sheet->reject();
        }
    });
    Window->Commands()->N_AttribClick();
    EXPECT_EQ(shown.toStdString(), Root + "big.dat");
}

TEST_F(AnalysisList, RowsAreDrawnByTheirAttributes) {
    const fs::path locked = Tree.Write("vol/locked.txt", "l");
    fs::permissions(locked, fs::perms::owner_read);
    ASSERT_EQ(mkfifo((Tree / "vol" / "pipe").c_str(), 0644), 0);
    EnterVolume();
    TShellItemModel& model = Window->Model();
    const QPalette palette = QApplication::palette();
    auto colour = [&](const std::string& name, int column) {
        return model.data(model.index(IndexOf(name), column), Qt::ForegroundRole).value<QColor>();
    };
    EXPECT_EQ(colour("locked.txt", 0), palette.color(QPalette::Disabled, QPalette::Text));
    EXPECT_EQ(colour("pipe", 0), palette.color(QPalette::Highlight));
    EXPECT_EQ(colour("locked.txt", 1),
              palette.color(QPalette::WindowText)); // cells keep the text colour
    EXPECT_FALSE(model.data(model.index(IndexOf("big.dat"), 0), Qt::ForegroundRole).isValid());
    Tree.Write("vol/.hidden", "h");
    StyleButton("btnReport")->click();
    QTest::keyClick(View(), Qt::Key_Backspace);
    EnterVolume();
    EXPECT_TRUE(
        model.data(model.index(IndexOf(".hidden"), 0), Qt::FontRole).value<QFont>().strikeOut());
    EXPECT_FALSE(
        model.data(model.index(IndexOf("big.dat"), 0), Qt::FontRole).value<QFont>().strikeOut());
}

TEST_F(AnalysisList, IconViewsReadTheDetailsOfTheRowsOnScreenOnly) {
    for (int i = 0; i < 600; ++i)
        Tree.Write("vol/Many/f" + std::to_string(i), "x");
    EnterVolume();
    for (const char* style : {"btnLargeIcons", "btnSmallIcons", "btnList"}) {
        StyleButton(style)->click();
        Press("Many", Qt::Key_Return);
        ASSERT_EQ(Browser().Count(), 600);
        QApplication::processEvents();
        List()->IconView()->viewport()->repaint();
        int read = 0;
        for (int i = 0; i < Browser().Count(); ++i)
            read += !Browser().ShellItem(i).NeedsDetails;
        EXPECT_GT(read, 0) << style;
        EXPECT_LT(read, 300) << style;
        QTest::keyClick(View(), Qt::Key_Backspace);
    }
}

TEST_F(AnalysisList, DoubleClickOnTheEmptyAreaRedrawsTheChartOfTheLocation) {
    EnterVolume();
    Setting->SetIfShowChart(true);
    Window->ChartPanel()->ShowDriveChart();
    QAbstractItemView* view = View();
    const QPoint empty(view->viewport()->width() - 5, view->viewport()->height() - 5);
    QTest::mouseDClick(view->viewport(), Qt::LeftButton, Qt::NoModifier, empty);
    EXPECT_EQ(Browser().LocationText(), Root); // no row was under the mouse: no move
    EXPECT_EQ(List()->SelectedRow(), -1);
    EXPECT_TRUE(Window->ChartPanel()->PieShown());
    EXPECT_EQ(Window->ChartPanel()->L_Dir().toStdString(), Root);

    Setting->SetIfShowChart(false); // without the option nothing is charted
    Window->ChartPanel()->ShowDriveChart();
    QTest::mouseDClick(view->viewport(), Qt::LeftButton, Qt::NoModifier, empty);
    EXPECT_FALSE(Window->ChartPanel()->PieShown());
}

// With MORVANE_SHOT_DIR set, draws the window in each view style into that folder.
TEST_F(AnalysisList, ShowsEachViewStyle) {
    Tree.Write("vol/Documents/report.pdf", std::string(250000, 'p'));
    Tree.Write("vol/Music/song.ogg", std::string(4200000, 'm'));
    Tree.Write("vol/Pictures/holiday.jpg", std::string(900000, 'j'));
    Tree.Write("vol/.config/settings.ini", "x");
    Tree.Write("vol/.profile", "x");
    Tree.Write("vol/notes.txt", std::string(7000, 'n'));
    Tree.Write("vol/setup.sh", std::string(1200, 's'));
    for (int i = 1; i <= 10; ++i)
        Tree.Write("vol/photo-" + std::to_string(i) + ".jpg", std::string(size_t(i) * 150000, 'j'));
    const fs::path locked = Tree.Write("vol/readonly.txt", "r");
    fs::permissions(locked, fs::perms::owner_read | fs::perms::group_read);
    Window->resize(1024, 727);
    EnterVolume();
    Window->ChartPanel()->ShowDirectoryChart(
        QString::fromStdString(Root)); // the lower half not left empty
    const QString dir = qEnvironmentVariable("MORVANE_SHOT_DIR");
    const struct {
        const char* Button;
        const char* File;
    } shots[] = {{"btnLargeIcons", "analysis-large-icons.png"},
                 {"btnSmallIcons", "analysis-small-icons.png"},
                 {"btnList", "analysis-list.png"},
                 {"btnReport", "analysis-report.png"}};
    for (const auto& shot : shots) {
        StyleButton(shot.Button)->click();
        QApplication::processEvents();
        EXPECT_FALSE(Window->grab().isNull());
        if (!dir.isEmpty())
            Window->grab().save(dir + "/" + shot.File);
    }
}

// A table moves Home and End along the row's columns, which shows nothing with whole rows
// selected; the report view goes to the first and the last row instead.
TEST_F(AnalysisList, HomeAndEndGoToTheFirstAndTheLastRowInTheReportView) {
    EnterVolume();
    List()->SelectRow(2);
    QTest::keyClick(View(), Qt::Key_End);
    EXPECT_EQ(List()->SelectedRow(), Window->Model().rowCount() - 1);
    QTest::keyClick(View(), Qt::Key_Home);
    EXPECT_EQ(List()->SelectedRow(), 0);
}

// A link to a folder is entered as that folder: the location names the link, the rows are
// the folder's, and the link itself is listed among the folders.
TEST_F(AnalysisList, ALinkToAFolderIsEnteredAsTheFolder) {
    fs::create_directory_symlink(Tree / "vol" / "Windows", Tree / "vol" / "Shortcut");
    EnterVolume();
    EXPECT_THAT(Names(), ElementsAre("Data", "Full", "Junk", "Shortcut", "Windows", "big.dat",
                                     "outside.bak"));
    EXPECT_EQ(Cell("Shortcut", 1), "Folder Link");
    Press("Shortcut", Qt::Key_Return);
    EXPECT_EQ(Browser().LocationText(), Root + "Shortcut");
    EXPECT_THAT(Names(), ElementsAre("System32"));
    EXPECT_TRUE(Opened.empty()); // nothing was started with the shell
}

// The popup analysis leaves the bar where the walk's steps bring it: one per entry listed,
// "." and ".." of every folder included, as an update per entry would.
TEST_F(AnalysisList, TheAnalysisBarStepsOncePerEntry) {
    for (int i = 0; i < 150; ++i)
        Tree.Write("vol/Many/sub/f" + std::to_string(i), "x");
    Tree.Write("vol/Many/g", "y");
    EnterVolume();
    Press("Many", Qt::Key_Return);
    List()->SelectRow(-1);
    Window->Commands()->AnalyzeThisDiectory1Click();
    // sub lists 150 files and two dots; Many lists sub, g and two dots.
    auto* bar = Window->ChartPanel()->Pb_Process();
    EXPECT_EQ(bar->value(), (150 + 2 + 4) % 100);
    Window->ChartPanel()->ShowDirectoryChart(QString::fromStdString(Root + "Many"));
    EXPECT_EQ(bar->value(), 0); // the pie puts it back when done
}
