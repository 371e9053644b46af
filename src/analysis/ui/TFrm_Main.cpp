#include "analysis/ui/TFrm_Main.h"

#include "analysis/SpaceAnalysis.h"
#include "analysis/ui/TShellItemModel.h"
#include "app/MakerAddresses.h"
#include "app/ProgramDir.h"
#include "app/ui/ModalWindow.h"
#include "clean/ui/TfrmCleaning.h"
#include "core/TDisk.h"
#include "core/TSetting.h"
#include "options/ui/TfrmOption.h"
#include "privacy/ui/TfrmWipe.h"
#include "programs/ui/TfrmUninstall.h"
#include "update/ui/UpdateCheck.h"

#include <QApplication>
#include <QBarCategoryAxis>
#include <QBarSeries>
#include <QBarSet>
#include <QChart>
#include <QChartView>
#include <QCloseEvent>
#include <QComboBox>
#include <QDateTime>
#include <QDesktopServices>
#include <QDir>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMenuBar>
#include <QMessageBox>
#include <QPieSeries>
#include <QPieSlice>
#include <QPushButton>
#include <QSpinBox>
#include <QSplitter>
#include <QStackedWidget>
#include <QStatusBar>
#include <QTableView>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QUrl>
#include <QValueAxis>
#include <QVBoxLayout>

#include <algorithm>

TFrm_Main* Frm_Main = nullptr;

namespace {

const char* const HomePage = MakerAddresses::HomePage;
const char* const DownloadPage = MakerAddresses::Download;
const char* const SupportAddress = MakerAddresses::SupportMail;
const char* const FriendAddress = "friend@example.com";

// The 20 colours given to the pie's slices by position.
const QColor Palette[20] = {
    QColor(0xFF, 0x00, 0x00), QColor(0x00, 0x80, 0x00), QColor(0xFF, 0xFF, 0x00),
    QColor(0x00, 0x00, 0xFF), QColor(0xFF, 0x00, 0xFF), QColor(0x00, 0xFF, 0xFF),
    QColor(0x80, 0x00, 0x00), QColor(0x00, 0x80, 0x80), QColor(0x80, 0x80, 0x00),
    QColor(0x80, 0x00, 0x80), QColor(0xC0, 0xC0, 0xC0), QColor(0x00, 0xFF, 0x00),
    QColor(0x00, 0x00, 0x80), QColor(0x80, 0x80, 0x80), QColor(0xFF, 0x80, 0x40),
    QColor(0x40, 0x80, 0xFF), QColor(0xFF, 0x80, 0xC0), QColor(0x80, 0xFF, 0x80),
    QColor(0xC0, 0x80, 0x40), QColor(0x40, 0x40, 0x40)};

} // namespace

TFrm_Main::TFrm_Main(QWidget* owner) : QMainWindow(owner, Qt::Tool) {
    setAttribute(Qt::WA_DeleteOnClose, false);
    setWindowTitle(QString::fromUtf8("Morvane --- 磁盘目录空间分析"));
    resize(1024, 727);
    FModel = new TShellItemModel(this);

    BuildMenus();
    BuildToolBar();

    auto* page = new QWidget(this);
    auto* layout = new QVBoxLayout(page);
    layout->setContentsMargins(0, 0, 0, 0);
    BuildPathBar(page);
    auto* splitter = new QSplitter(Qt::Vertical, page);
    FList = new QTableView(splitter);
    FList->setModel(FModel);
    FList->setShowGrid(false);
    FList->setSelectionBehavior(QAbstractItemView::SelectRows);
    FList->verticalHeader()->hide();
    FList->setSortingEnabled(false);
    FList->horizontalHeader()->setSectionsClickable(true);
    const int widths[5] = {240, 100, 160, 140, 80};
    for (int c = 0; c < 5; ++c)
        FList->setColumnWidth(c, widths[c]);
    connect(FList->horizontalHeader(), &QHeaderView::sectionClicked, this,
            [this](int column) { FModel->sort(column); });
    connect(FList, &QTableView::doubleClicked, this,
            [this](const QModelIndex& index) { ListDoubleClicked(index.row()); });
    layout->addWidget(splitter);
    BuildChartPanel(splitter);
    splitter->setSizes({400, 284});
    setCentralWidget(page);

    FStatus = new QLabel(this);
    FStatus->setMinimumWidth(538);
    FClock = new QLabel(this);
    statusBar()->addWidget(FStatus, 1);
    statusBar()->addPermanentWidget(FClock);
    auto* clock = new QTimer(this);
    connect(clock, &QTimer::timeout, this,
            [this] { FClock->setText(QDateTime::currentDateTime().toString("HH:mm:ss")); });
    clock->start(1000);
}

TFrm_Main::~TFrm_Main() = default;

void TFrm_Main::BuildMenus() {
    QMenu* disk = menuBar()->addMenu(QString::fromUtf8("磁盘"));
    QAction* analyse = disk->addAction(QString::fromUtf8("磁盘分析"));
    analyse->setShortcut(QKeySequence(Qt::Key_F3));
    connect(analyse, &QAction::triggered, this, [this] { ShowLocationChart(FModel->Browser().LocationText().c_str()); });
    QAction* scan = disk->addAction(QString::fromUtf8("扫描磁盘"));
    scan->setShortcut(QKeySequence(Qt::Key_F4));
    connect(scan, &QAction::triggered, this, &TFrm_Main::btnProbeClick);
    QAction* programs = disk->addAction(QString::fromUtf8("应用程序管理"));
    programs->setShortcut(QKeySequence(Qt::Key_F5));
    connect(programs, &QAction::triggered, this, &TFrm_Main::SpeedButton2Click);
    disk->addSeparator();
    QAction* exit = disk->addAction(QString::fromUtf8("退出分析工具"));
    exit->setShortcut(QKeySequence(Qt::Key_F10));
    connect(exit, &QAction::triggered, this, [this] {
        close();
        QApplication::quit();
    });

    QMenu* options = menuBar()->addMenu(QString::fromUtf8("选项配置"));
    options->addAction("&Scheme Manage")->setShortcut(QKeySequence(Qt::Key_F6));
    options->addAction("&New Scheme")->setShortcut(QKeySequence(Qt::Key_F7));

    QMenu* tools = menuBar()->addMenu(QString::fromUtf8("工具"));
    QAction* update = tools->addAction("&Online Update");
    update->setShortcut(QKeySequence(Qt::Key_F8));
    connect(update, &QAction::triggered, this, [this] { StartUpdateCheck(this); });
    QAction* tutorial = tools->addAction("&Tutorial");
    tutorial->setShortcut(QKeySequence(Qt::Key_F9));
    connect(tutorial, &QAction::triggered, this,
            [this] { OpenUrl(QString(HomePage) + "tutorial.html"); });

    QMenu* help = menuBar()->addMenu(QString::fromUtf8("帮助"));
    QAction* friendMail = help->addAction("Tell a friend");
    friendMail->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_F1));
    connect(friendMail, &QAction::triggered, this, [this] { OpenUrl(TellFriendMailText()); });
    QAction* contact = help->addAction("&Contact Author");
    contact->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_F2));
    connect(contact, &QAction::triggered, this, &TFrm_Main::OpenHelp);
    QAction* helpFile = help->addAction("&Help");
    helpFile->setShortcut(QKeySequence(Qt::Key_F1));
    connect(helpFile, &QAction::triggered, this, &TFrm_Main::OpenHelp);
    help->addAction("&About...")->setShortcut(QKeySequence(Qt::Key_F2));
}

void TFrm_Main::BuildToolBar() {
    auto* bar = addToolBar("ToolBar1");
    bar->setMovable(false);
    bar->setMinimumHeight(64);
    bar->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    auto add = [&](const char* caption, const char* hint, auto handler) {
        QAction* action = bar->addAction(caption);
        action->setToolTip(hint);
        connect(action, &QAction::triggered, this, handler);
        return action;
    };
    add("Clean", "Scan disk and found all junker files", &TFrm_Main::btnProbeClick);
    add("Wipe", "", &TFrm_Main::btnWipeClick)->setVisible(false);
    add("Uninstall", "Uninstall some unuser program", &TFrm_Main::SpeedButton2Click);
    add("Setting", "Some Option and setting", &TFrm_Main::SpeedButton5Click);
    add("Help", "Help information ,help you know how  to use Morvane", &TFrm_Main::OpenHelp);
    bar->addSeparator();
    add("Exit", "Exit to system", &TFrm_Main::close);
}

void TFrm_Main::BuildPathBar(QWidget* page) {
    auto* bar = new QWidget(page);
    auto* row = new QHBoxLayout(bar);
    row->setContentsMargins(2, 2, 2, 2);
    auto* back = new QToolButton(bar);
    back->setText("Up");
    connect(back, &QToolButton::clicked, this, [this] {
        QString error;
        Navigated(FModel->Up(error), error);
    });
    FcbPath = new QComboBox(bar);
    FcbPath->setEditable(true);
    FcbPath->setMinimumWidth(500);
    connect(FcbPath, &QComboBox::activated, this, [this](int index) {
        QString error;
        Navigated(FModel->SelectHistory(FcbPath->itemText(index), error), error);
    });
    row->addWidget(back);
    row->addWidget(FcbPath, 1);
    static_cast<QVBoxLayout*>(page->layout())->addWidget(bar);
}

void TFrm_Main::BuildChartPanel(QWidget* parent) {
    auto* panel = new QWidget(parent);
    auto* column = new QVBoxLayout(panel);
    column->setContentsMargins(0, 0, 0, 0);
    auto* tools = new QHBoxLayout;
    auto* refresh = new QPushButton("Refresh Chart", panel);
    connect(refresh, &QPushButton::clicked, this,
            [this] { ShowLocationChart(QString::fromStdString(FModel->Browser().LocationText())); });
    FSp_Slice = new QSpinBox(panel);
    FSp_Slice->setRange(0, 100);
    FSp_Slice->setValue(14);
    connect(FSp_Slice, &QSpinBox::valueChanged, this, [this] { RedrawPie(); });
    tools->addWidget(refresh);
    tools->addWidget(new QLabel("Slice", panel));
    tools->addWidget(FSp_Slice);
    tools->addStretch(1);
    column->addLayout(tools);
    auto* charts = new QHBoxLayout;
    FCharts = new QStackedWidget(panel);
    FPieView = new QChartView(new QChart, FCharts);
    FPieView->setRenderHint(QPainter::Antialiasing);
    FBarView = new QChartView(new QChart, FCharts);
    FCharts->addWidget(FPieView);
    FCharts->addWidget(FBarView);
    FInfo = new QLabel(panel);
    FInfo->setMinimumWidth(260);
    FInfo->setAlignment(Qt::AlignTop | Qt::AlignLeft);
    charts->addWidget(FCharts, 1);
    charts->addWidget(FInfo);
    column->addLayout(charts, 1);
}

void TFrm_Main::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (!FShown) {
        FShown = true;
        FormShow();
    }
}

void TFrm_Main::FormShow() {
    ProgramDir = ProgramFolderWithSeparator();
    QDir::setCurrent(QString::fromStdString(ProgramDir.string()));
    FDisk = std::make_unique<TDisk>();
    QString error;
    Navigated(FModel->Start(error), error);
    ShowDriveChart();
}

void TFrm_Main::closeEvent(QCloseEvent* event) {
    if (Setting)
        Setting->SaveToFile(SettingsFilePath());
    QMainWindow::closeEvent(event);
}

void TFrm_Main::Navigated(bool ok, const QString& error) {
    if (!ok && !error.isEmpty())
        QMessageBox::warning(this, windowTitle(), error);
    FcbPath->clear();
    for (const auto& entry : FModel->Browser().History().Entries())
        FcbPath->addItem(QString::fromStdString(entry.Text));
    FcbPath->setEditText(QString::fromStdString(FModel->Browser().LocationText()));
    ShowLocationInfo();
}

void TFrm_Main::ShowLocationInfo() {
    FStatus->setText(QString("%1 objects").arg(FModel->rowCount()));
}

void TFrm_Main::ListDoubleClicked(int row) {
    QString error;
    if (FModel->OpenRow(row, error)) {
        Navigated(true, error);
        return;
    }
    if (!error.isEmpty()) {
        Navigated(false, error);
        return;
    }
    const std::string path = FModel->Browser().ItemPath(row);
    if (!path.empty())
        QDesktopServices::openUrl(QUrl::fromLocalFile(QString::fromStdString(path)));
}

void TFrm_Main::ShowLocationChart(const QString& path) {
    if (FModel->Browser().AtMyComputer()) {
        ShowDriveChart();
        return;
    }
    QApplication::setOverrideCursor(Qt::WaitCursor);
    FChartedPath = QString::fromStdString(ChartedPath(path.toStdString()));
    FPoints.clear();
    for (const auto& point : DirectoryBreakdown(path.toStdString(), false))
        FPoints.emplace_back(QString::fromStdString(point.Label), point.Value);
    QApplication::restoreOverrideCursor();
    FCharts->setCurrentWidget(FPieView);
    RedrawPie();
}

void TFrm_Main::RedrawPie() {
    double total = 0;
    for (const auto& point : FPoints)
        total += point.second;
    FSlices.clear();
    double other = 0;
    const double limit = total * FSp_Slice->value() / 100.0;
    for (const auto& point : FPoints) {
        if (total > 0 && point.second < limit)
            other += point.second;
        else
            FSlices.push_back(point);
    }
    if (other > 0)
        FSlices.emplace_back("Other", other);

    auto* chart = new QChart;
    chart->setTitle(FChartedPath);
    chart->legend()->hide();
    auto* series = new QPieSeries(chart);
    int position = 0;
    QString info = QString("<b>%1</b><br>").arg(FChartedPath.toHtmlEscaped());
    for (const auto& slice : FSlices) {
        QPieSlice* s = series->append(slice.first, slice.second);
        s->setBrush(Palette[position++ % 20]);
        s->setLabelVisible(true);
        info += QString("[%1] :  %2M<br>").arg(slice.first.toHtmlEscaped()).arg(slice.second, 0, 'f', 2);
    }
    chart->addSeries(series);
    QChart* old = FPieView->chart();
    FPieView->setChart(chart);
    delete old;
    FInfo->setText(info);
}

void TFrm_Main::ShowDriveChart() {
    if (!FDisk)
        return;
    auto* chart = new QChart;
    chart->setTitle("Disk Space");
    auto* total = new QBarSet("Total Space(MB)");
    auto* free = new QBarSet("Free Space(MB)");
    QStringList labels;
    for (const TDriveBar& bar : DriveBars(*FDisk)) {
        labels << QString::fromStdString(bar.Label);
        *total << bar.Total;
        *free << bar.Free;
    }
    auto* series = new QBarSeries(chart);
    series->append(total);
    series->append(free);
    series->setLabelsVisible(true);
    chart->addSeries(series);
    auto* axisX = new QBarCategoryAxis(chart);
    axisX->append(labels);
    chart->addAxis(axisX, Qt::AlignBottom);
    series->attachAxis(axisX);
    auto* axisY = new QValueAxis(chart);
    chart->addAxis(axisY, Qt::AlignLeft);
    series->attachAxis(axisY);
    QChart* old = FBarView->chart();
    FBarView->setChart(chart);
    delete old;
    FCharts->setCurrentWidget(FBarView);
}

void TFrm_Main::OpenHelp() { OpenUrl(QString::fromStdString((ProgramDir / "Morvane.chm").string())); }

void TFrm_Main::OpenUrl(const QString& url) {
    if (url.startsWith("mailto:") || url.startsWith("http"))
        QDesktopServices::openUrl(QUrl(url, QUrl::TolerantMode));
    else
        QDesktopServices::openUrl(QUrl::fromLocalFile(url));
}

QString TFrm_Main::SupportMailText() {
    const QString line = QString(48, '_');
    QStringList body{"FullName:" + line, "Address(Country):" + line, "Phone:" + line, "Fax:" + line};
    return QString("mailto:") + SupportAddress + "?subject= Morvane --- Ostrel   &Body=" +
           body.join("\n\r");
}

QString TFrm_Main::TellFriendMailText() {
    const QStringList lines{"My Dear Friend ",
                            "  I have try a disk clean tool (Morvane) and found it is very userful,",
                            "Strongly recommand it to you ! ",
                            "  You can check it out at :",
                            QString("     ") + HomePage + "?src=Friend ",
                            "  or download a free trial from",
                            QString("     ") + DownloadPage + "?src=Friend ",
                            "",
                            "Best Regards,",
                            "Yours "};
    QString text = QString("mailto: ") + FriendAddress + "?subject= Try out Morvane7.0 &Body=";
    for (const QString& line : lines)
        text += line + "\n\r";
    return text;
}

void TFrm_Main::btnProbeClick() { ShowModalWindow(frmCleaning, this, TAfterModal::Close); }
void TFrm_Main::btnWipeClick() { ShowModalWindow(frmWipe, this, TAfterModal::Free); }
void TFrm_Main::SpeedButton2Click() { ShowModalWindow(frmUninstall, this, TAfterModal::Free); }
void TFrm_Main::SpeedButton5Click() { ShowModalWindow(frmOption, this, TAfterModal::Free); }
