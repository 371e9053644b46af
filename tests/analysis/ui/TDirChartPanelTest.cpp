#include "analysis/ui/TDirChartPanel.h"
#include "analysis/ui/TDirPieChart.h"
#include "analysis/ui/TDiskBarChart.h"
#include "analysis/ui/TFrm_Main.h"
#include "analysis/ui/TShellItemModel.h"
#include "core/EMorvaneError.h"
#include "core/FakeVolumes.h"
#include "core/TSetting.h"
#include "support/TTempDir.h"

#include <QApplication>
#include <QStackedBarSeries>
#include <QBarSet>
#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QLineEdit>
#include <QPrinterInfo>
#include <QSpinBox>
#include <QTest>
#include <QThread>
#include <QTimer>
#include <QToolButton>

#include <gmock/gmock.h>

#include <filesystem>
#include <memory>
#include <fstream>
#include <map>

namespace fs = std::filesystem;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::UnorderedElementsAre;

namespace {

constexpr std::uintmax_t MB = 1048576;

// A file of a size in MB that takes no room on the disk.
void Sparse(const fs::path& path, std::uintmax_t megabytes) {
    fs::create_directories(path.parent_path());
    std::ofstream(path).close();
    fs::resize_file(path, megabytes * MB);
}

QString Folder(const fs::path& path) { return QString::fromStdString(path.string()) + "/"; }

// The analysis window at My Computer over two volumes that are temporary folders, with
// its chart panel answering messages into a list instead of boxes.
class ChartPanelTest : public ::testing::Test {
protected:
    void SetUp() override {
        Setting = new TSetting(Home / "Morvane.cfg");
        Setting->SetIfShowChart(false);
        Volumes->Volumes = {{Disk1.Path().string() + "/", Platform::DriveType::Fixed, "One"},
                            {Disk2.Path().string() + "/", Platform::DriveType::Fixed, "Two"}};
        Volumes->Spaces[Disk1.Path().string() + "/"] = {100000 * MB, 40000 * MB};
        Volumes->Spaces[Disk2.Path().string() + "/"] = {200 * MB, 100 * MB};
        Window = std::make_unique<TFrm_Main>();
        Window->show();
        QApplication::processEvents();
        Panel()->ShowMessage = [this](const QString& text) { Messages << text; };
    }
    void TearDown() override {
        Window.reset();
        delete Setting;
        Setting = nullptr;
    }

    TDirChartPanel* Panel() const { return Window->ChartPanel(); }
    QToolButton* Button(const char* name) const { return Panel()->findChild<QToolButton*>(name); }
    int SliceIndex(const std::string& label) const {
        const auto& drawn = Panel()->Slices().Drawn();
        for (size_t i = 0; i < drawn.size(); ++i)
            if (drawn[i].Label == label)
                return static_cast<int>(i);
        return -1;
    }
    std::vector<std::string> DrawnLabels() const {
        std::vector<std::string> labels;
        for (const auto& s : Panel()->Slices().Drawn())
            labels.push_back(s.Label);
        return labels;
    }
    // Slices of 50, 30, 12 and 8 MB: a folder and three files.
    fs::path FourSlices() const {
        const fs::path dir = Disk2 / "four";
        Sparse(dir / "a" / "inner.bin", 50);
        Sparse(dir / "b", 30);
        Sparse(dir / "c", 12);
        Sparse(dir / "d", 8);
        return dir;
    }

    TTempDir Home, Disk1, Disk2;
    TFakeVolumes* Volumes = nullptr;
    TVolumesScope VolumesScope{Volumes};
    std::unique_ptr<TFrm_Main> Window;
    QStringList Messages;
};

} // namespace

TEST_F(ChartPanelTest, OpensWithAnEmptyPieAndTheStartingValues) {
    EXPECT_TRUE(Panel()->PieShown());
    EXPECT_EQ(Panel()->Chart_Dir()->SliceCount(), 0);
    EXPECT_EQ(Panel()->Sp_Slice()->value(), 14);
    EXPECT_TRUE(Panel()->InfoLines().isEmpty());
    EXPECT_EQ(Panel()->Chart_Dir()->chart()->title(), QString::fromUtf8("目录空间分析"));
    EXPECT_FALSE(Panel()->Chart_Dir()->chart()->legend()->isVisible());
}

TEST_F(ChartPanelTest, SliceThresholdRegroupsTheInfoPanelWithoutANewWalk) {
    const fs::path dir = FourSlices();
    Panel()->ShowDirectoryChart(QString::fromStdString(dir.string()));
    EXPECT_EQ(Panel()->L_Dir(), Folder(dir));
    EXPECT_EQ(DrawnLabels().size(), 3u);
    EXPECT_EQ(DrawnLabels().back(), "Other");
    QStringList lines = Panel()->InfoLines();
    ASSERT_EQ(lines.size(), 3);
    EXPECT_EQ(lines.last(), "[Other] :  20.00M");
    EXPECT_TRUE(lines.contains("[a] :  50.00M"));
    EXPECT_EQ(Panel()->Chart_Dir()->SliceCount(), 3);

    fs::remove_all(dir); // a regrouping must not walk again
    Panel()->Sp_Slice()->setValue(31);
    EXPECT_THAT(Panel()->InfoLines(), ElementsAre("[a] :  50.00M", "[Other] :  50.00M"));
    Panel()->Sp_Slice()->setValue(0);
    EXPECT_EQ(Panel()->InfoLines().size(), 4);
    EXPECT_EQ(Panel()->Chart_Dir()->SliceCount(), 4);
    EXPECT_THAT(DrawnLabels(), UnorderedElementsAre("a", "b", "c", "d"));
}

TEST_F(ChartPanelTest, SlicesTakeThePaletteColourOfTheirPlace) {
    Panel()->ShowDirectoryChart(QString::fromStdString(FourSlices().string()));
    const auto& drawn = Panel()->Slices().Drawn();
    EXPECT_EQ(drawn.back().Position, 4); // "Other" after the four points
    EXPECT_EQ(TDirPieChart::PaletteColor(4), QColor(Qt::white));
    EXPECT_EQ(TDirPieChart::PaletteColor(3), QColor(0, 0, 255));
    EXPECT_EQ(TDirPieChart::PaletteColor(23), QColor(0, 0, 255));
}

TEST_F(ChartPanelTest, RightClickShowsTheSliceDetailsOtherButtonsNothing) {
    Panel()->ShowDirectoryChart(QString::fromStdString(FourSlices().string()));
    Panel()->Series1Click(SliceIndex("b"), Qt::LeftButton);
    EXPECT_TRUE(Messages.isEmpty());
    Panel()->Series1Click(SliceIndex("b"), Qt::RightButton);
    ASSERT_EQ(Messages.size(), 1);
    EXPECT_TRUE(Messages[0].startsWith("Detail Information: b\r\n\r\n"));
    EXPECT_THAT(Messages[0].toStdString(), HasSubstr("Size   : 30 MByte"));
    EXPECT_THAT(Messages[0].toStdString(), HasSubstr("Percent: 30 % of 100 MByte"));
}

TEST_F(ChartPanelTest, DoubleClickDrillsIntoAFolderSliceAndTellsTheShareOfOthers) {
    const fs::path dir = FourSlices();
    Panel()->ShowDirectoryChart(QString::fromStdString(dir.string()));
    Panel()->Series1DblClick(SliceIndex("b"));
    EXPECT_THAT(Messages, ElementsAre("b\r\n30 % of 100M"));
    Panel()->Series1DblClick(SliceIndex("Other"));
    EXPECT_EQ(Messages.size(), 2);
    EXPECT_EQ(Panel()->L_Dir(), Folder(dir));

    Panel()->Series1DblClick(SliceIndex("a"));
    EXPECT_EQ(Panel()->L_Dir(), Folder(dir / "a"));
    EXPECT_THAT(DrawnLabels(), ElementsAre("inner.bin"));
    // The list does not move with the pie.
    EXPECT_TRUE(Window->Model().Browser().AtMyComputer());
}

// Through the mouse on the drawn pie: one slice fills the whole circle.
TEST_F(ChartPanelTest, MouseOnASliceReachesItsHandlers) {
    Sparse(Disk1 / "one" / "only.bin", 4);
    Panel()->ShowDirectoryChart(QString::fromStdString((Disk1 / "one").string()));
    QApplication::processEvents();
    TDirPieChart* pie = Panel()->Chart_Dir();
    const QPoint centre = pie->mapFromScene(pie->chart()->mapToScene(pie->chart()->plotArea().center()));
    QTest::mouseClick(pie->viewport(), Qt::LeftButton, {}, centre);
    QApplication::processEvents();
    EXPECT_TRUE(Messages.isEmpty());
    QTest::mouseClick(pie->viewport(), Qt::RightButton, {}, centre);
    QApplication::processEvents();
    ASSERT_EQ(Messages.size(), 1);
    EXPECT_THAT(Messages[0].toStdString(), HasSubstr("Percent: 100 % of 4 MByte"));
    QTest::mouseDClick(pie->viewport(), Qt::LeftButton, {}, centre);
    QApplication::processEvents();
    EXPECT_EQ(Messages.last(), "only.bin\r\n100 % of 4M");
}

TEST_F(ChartPanelTest, SliceThresholdStaysWithinItsRange) {
    QSpinBox* box = Panel()->Sp_Slice();
    box->setValue(250);
    EXPECT_EQ(box->value(), 100);
    box->setValue(-3);
    EXPECT_EQ(box->value(), 0);
    box->findChild<QLineEdit*>()->selectAll();
    QTest::keyClicks(box, "150"); // the last digit would leave the range
    QTest::keyClick(box, Qt::Key_Return);
    EXPECT_LE(box->value(), 100);
}

TEST_F(ChartPanelTest, AnalyzeDirectoryFillsThePieInWholeMegabytesWithoutSwitching) {
    Sparse(Disk1 / "work" / "sub" / "x", 1);
    std::ofstream(Disk1 / "work" / "sub" / "y") << std::string(500000, 'y'); // 1.47 MB in all
    Sparse(Disk1 / "work" / "big", 3);
    Panel()->ShowDriveChart();
    ASSERT_FALSE(Panel()->PieShown());
    Panel()->AnalyzeDirectory(Folder(Disk1 / "work"));
    EXPECT_FALSE(Panel()->PieShown());
    EXPECT_EQ(Panel()->L_Dir(), Folder(Disk1 / "work"));
    std::map<std::string, double> values;
    for (const auto& s : Panel()->Slices().Data())
        values[s.Label] = s.Value;
    EXPECT_EQ(values, (std::map<std::string, double>{{"sub", 1}, {"big", 3}}));
}

TEST_F(ChartPanelTest, RefreshChartsTheTypedLocationOrTheDrives) {
    Sparse(Disk1 / "typed" / "f", 2);
    QToolButton* refresh = Button("RzToolbarButton11");
    ASSERT_NE(refresh, nullptr);
    refresh->click();
    EXPECT_FALSE(Panel()->PieShown()); // at My Computer
    EXPECT_EQ(Panel()->Chart_Disk()->Bars().size(), 2u);

    Window->cbPath()->setEditText(QString::fromStdString((Disk1 / "typed").string()));
    refresh->click();
    EXPECT_TRUE(Panel()->PieShown());
    EXPECT_EQ(Panel()->L_Dir(), Folder(Disk1 / "typed"));
    EXPECT_THAT(DrawnLabels(), ElementsAre("f"));

    Window->cbPath()->setEditText("");
    refresh->click();
    EXPECT_FALSE(Panel()->PieShown());
}

TEST_F(ChartPanelTest, DriveChartHasTwoMarkedBarsPerDriveAndTheFirstSeriesDrillsIn) {
    Sparse(Disk2 / "half", 50);
    Panel()->ShowDriveChart();
    TDiskBarChart* disk = Panel()->Chart_Disk();
    ASSERT_EQ(disk->Bars().size(), 2u);
    // One set per drive in the first series, so each bar takes its position's colour.
    ASSERT_EQ(disk->Series4()->count(), 2);
    EXPECT_EQ(disk->Series4()->barSets().at(0)->at(0), 100000);
    EXPECT_EQ(disk->Series4()->barSets().at(1)->at(0), 0);
    EXPECT_EQ(disk->Series4()->barSets().at(1)->at(1), 200);
    const QGradient* gradient = disk->Series4()->barSets().at(1)->brush().gradient();
    ASSERT_NE(gradient, nullptr);
    EXPECT_EQ(gradient->stops().last().second, QColor(0, 0x80, 0)); // green: position 2
    EXPECT_EQ(disk->Series3()->barSets().at(0)->at(0), 40000);
    EXPECT_EQ(disk->Series4()->name(), QString::fromUtf8("条柱1       : 磁盘大小"));
    EXPECT_EQ(disk->Series3()->name(), QString::fromUtf8("条柱2: 剩余空间"));
    const QStringList marks = disk->MarkTexts();
    ASSERT_EQ(marks.size(), 4);
    EXPECT_TRUE(marks[0].endsWith(" 100,000")) << marks[0].toStdString(); // the drive, then its size
    EXPECT_TRUE(marks.contains("40,000"));

    emit disk->Series3()->doubleClicked(1, disk->Series3()->barSets().at(0));
    QApplication::processEvents();
    EXPECT_FALSE(Panel()->PieShown()); // the free-space bars do not answer

    const QString before = Panel()->L_Dir();
    emit disk->Series4()->doubleClicked(1, disk->Series4()->barSets().at(1));
    QApplication::processEvents();
    EXPECT_TRUE(Panel()->PieShown());
    EXPECT_EQ(Panel()->L_Dir(), Folder(Disk2.Path()));
    EXPECT_THAT(DrawnLabels(), ElementsAre("half"));
    EXPECT_NE(before, Panel()->L_Dir());
    EXPECT_DOUBLE_EQ(Panel()->VolumeShare(), 25); // 50 MB of a 200 MB volume
}

TEST_F(ChartPanelTest, CollapsedPanelFreezesBothChartsButNotThePopupAnalysis) {
    const fs::path dir = FourSlices();
    Sparse(Disk1 / "other" / "f", 5);
    Panel()->ShowDirectoryChart(QString::fromStdString(dir.string()));
    Button("RzToolbarButton5")->click();
    ASSERT_TRUE(Panel()->DirInfoCollapsed());
    EXPECT_LE(Panel()->height(), 7 + 1);

    Panel()->ShowDirectoryChart(QString::fromStdString((Disk1 / "other").string()));
    Panel()->ShowDriveChart();
    Window->ShowLocationChart(QString::fromStdString((Disk1 / "other").string()));
    EXPECT_TRUE(Panel()->PieShown());
    EXPECT_EQ(Panel()->Slices().Data().size(), 5u); // the four points and "Other"
    EXPECT_TRUE(Panel()->Chart_Disk()->Bars().empty());

    Panel()->ToggleDirInfo();
    EXPECT_FALSE(Panel()->DirInfoCollapsed());
    EXPECT_GT(Panel()->height(), 100);
    EXPECT_EQ(Panel()->InfoLines().last(), "[Other] :  20.00M"); // the former chart

    Panel()->ToggleDirInfo();
    Panel()->AnalyzeDirectory(Folder(Disk1 / "other"));
    EXPECT_THAT(DrawnLabels(), ElementsAre("f"));
}

TEST_F(ChartPanelTest, InfoPanelCollapsesToItsBarAndComesBack) {
    QWidget* pbk = Panel()->findChild<QWidget*>("pbk");
    ASSERT_NE(pbk, nullptr);
    const int width = pbk->width();
    Button("RzToolbarButton7")->click();
    EXPECT_TRUE(Panel()->PbkCollapsed());
    EXPECT_LE(pbk->width(), 7);
    Button("RzToolbarButton7")->click();
    EXPECT_FALSE(Panel()->PbkCollapsed());
    EXPECT_EQ(pbk->width(), width);
}

TEST_F(ChartPanelTest, SavedChartIsABitmapWhateverTheName) {
    Panel()->ShowDirectoryChart(QString::fromStdString(FourSlices().string()));
    const fs::path file = Home / "chart.jpg";
    Home.Write("chart.jpg", "old contents");
    Panel()->SaveChart(QString::fromStdString(file.string()));
    const std::string bytes = TTempDir::Read(file);
    ASSERT_GT(bytes.size(), 54u);
    EXPECT_EQ(bytes.substr(0, 2), "BM");

    // Also while the drive chart is the one shown, the pie is written.
    Panel()->ShowDriveChart();
    Panel()->SaveChart(QString::fromStdString((Home / "again.png").string()));
    EXPECT_EQ(TTempDir::Read(Home / "again.png").substr(0, 2), "BM");

    EXPECT_THROW(Panel()->SaveChart(QString::fromStdString((Home / "no" / "such" / "x.bmp").string())),
                 EMorvaneError);
}

// Answers the save dialog once it is open: a name to confirm, or an empty one to cancel.
// Answers the save dialog once its modal loop runs, until the returned timer goes: a
// dialog answered while it is still being shown would leave its loop waiting for ever.
static std::unique_ptr<QTimer> AnswerSaveDialog(const QString& name) {
    auto timer = std::make_unique<QTimer>();
    const int outerLoops = QThread::currentThread()->loopLevel();
    QObject::connect(timer.get(), &QTimer::timeout, [name, outerLoops] {
        if (QThread::currentThread()->loopLevel() <= outerLoops)
            return;
        for (QWidget* w : QApplication::topLevelWidgets()) {
            auto* dialog = qobject_cast<QFileDialog*>(w);
            if (!dialog || !dialog->isVisible() || dialog->objectName() != "Dlg_OpenDialog")
                continue;
            if (name.isEmpty()) {
                dialog->reject();
                continue;
            }
            // Typed into the name box, as a user does.
            const QFileInfo file(name);
            dialog->setDirectory(file.absolutePath());
            dialog->findChild<QLineEdit*>("fileNameEdit")->setText(file.fileName());
            static_cast<QDialog*>(dialog)->done(QDialog::Accepted);
        }
    });
    timer->start(50);
    return timer;
}

TEST_F(ChartPanelTest, SaveButtonAsksForANameAndAddsTheBitmapExtension) {
    Panel()->ShowDirectoryChart(QString::fromStdString(FourSlices().string()));
    {
        const auto answer = AnswerSaveDialog("");
        Button("RzToolbarButton2")->click();
    }
    EXPECT_FALSE(fs::exists(Home / "pie.bmp"));
    {
        const auto answer = AnswerSaveDialog(QString::fromStdString((Home / "pie").string()));
        Button("RzToolbarButton2")->click();
    }
    ASSERT_TRUE(fs::exists(Home / "pie.bmp"));
    EXPECT_EQ(TTempDir::Read(Home / "pie.bmp").substr(0, 2), "BM");
}

TEST_F(ChartPanelTest, PrintingWithoutAPrinterIsAnError) {
    if (!QPrinterInfo::defaultPrinter().isNull())
        GTEST_SKIP() << "this machine has a default printer";
    EXPECT_THROW(Panel()->RzToolbarButton1Click(), EMorvaneError);
}

TEST_F(ChartPanelTest, ZoomStepsStayWithinBounds) {
    TDirPieChart* pie = Panel()->Chart_Dir();
    const double start = pie->PieSize();
    Button("btnZoomIn")->click();
    EXPECT_GT(pie->PieSize(), start);
    Button("btnZoomOut")->click();
    EXPECT_DOUBLE_EQ(pie->PieSize(), start);
    for (int i = 0; i < 20; ++i)
        Button("btnZoomIn")->click();
    EXPECT_DOUBLE_EQ(pie->PieSize(), TDirPieChart::MaxPieSize);
    for (int i = 0; i < 20; ++i)
        Button("btnZoomOut")->click();
    EXPECT_DOUBLE_EQ(pie->PieSize(), TDirPieChart::MinPieSize);
}

TEST_F(ChartPanelTest, ShowChartBoxSetsTheOptionAndUpDirFollowsIt) {
    QCheckBox* box = Window->findChild<QCheckBox*>("cbShowChart");
    ASSERT_NE(box, nullptr);
    EXPECT_TRUE(box->isVisible());
    EXPECT_FALSE(box->isChecked());
    Sparse(Disk1 / "up" / "f", 1);
    Panel()->AnalyzeDirectory(Folder(Disk1 / "up"));
    Panel()->ShowDriveChart();
    Panel()->Sp_UpDirClick();
    EXPECT_FALSE(Panel()->PieShown()); // option off: nothing

    box->click();
    EXPECT_TRUE(Setting->IfShowChart());
    Panel()->Sp_UpDirClick();
    EXPECT_TRUE(Panel()->PieShown());
    EXPECT_EQ(Panel()->L_Dir(), Folder(Disk1 / "up"));
}

// With MORVANE_SHOT_DIR set, the window showing the pie of a folder is saved there.
TEST_F(ChartPanelTest, ScreenshotOfTheFolderPie) {
    const fs::path dir = Disk1 / QString::fromUtf8("我的文档").toStdString();
    Sparse(dir / QString::fromUtf8("照片").toStdString() / "2025.jpg", 420);
    Sparse(dir / QString::fromUtf8("视频").toStdString() / "trip.mp4", 260);
    Sparse(dir / "Music" / "album.flac", 150);
    Sparse(dir / "setup.iso", 90);
    Sparse(dir / QString::fromUtf8("报告.docx").toStdString(), 40);
    Sparse(dir / "notes.txt", 20);
    Sparse(dir / "backup.zip", 20);
    // Typed into the path box and chosen, as a user goes there.
    Window->cbPath()->setEditText(QString::fromStdString(dir.string()));
    QTest::keyClick(Window->cbPath(), Qt::Key_Return);
    QApplication::processEvents();
    Button("RzToolbarButton11")->click();
    Panel()->Sp_Slice()->setValue(5);
    QApplication::processEvents();
    EXPECT_EQ(Panel()->Chart_Dir()->SliceCount(), 5); // 40 + 20 + 20 MB merged into "Other"
    if (!qEnvironmentVariable("MORVANE_SHOT_DIR").isEmpty())
        Window->grab().save(qEnvironmentVariable("MORVANE_SHOT_DIR") + "/analysis.png");
}
