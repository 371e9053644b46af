#include "analysis/ui/TFrm_Main.h"

#include "analysis/LocationInfo.h"
#include "analysis/SpaceAnalysis.h"
#include "analysis/ui/TDirChartPanel.h"
#include "analysis/ui/TListCommands.h"
#include "analysis/ui/TShellListView.h"
#include "analysis/ui/TShellItemModel.h"
#include "core/MailTexts.h"
#include "core/MakerAddresses.h"
#include "app/ProgramDir.h"
#include "app/ui/ModalWindow.h"
#include "core/ui/AboutWindowHook.h"
#include "core/ui/Pictures.h"
#include "clean/ui/TfrmCleaning.h"
#include "core/TDisk.h"
#include "core/TSetting.h"
#include "options/ui/TfrmOption.h"
#include "platform/IShell.h"
#include "platform/IShell.h"
#include "privacy/ui/TfrmWipe.h"
#include "programs/ui/TfrmUninstall.h"
#include "update/ui/UpdateCheck.h"

#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QDateTime>
#include <QDir>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QScreen>
#include <QSplitter>
#include <QStatusBar>
#include <QStyle>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>

TFrm_Main* Frm_Main = nullptr;

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
    // The list first: the path toolbar holds its view-style buttons.
    FList = new TShellListView(FModel, page);
    FCommands = new TListCommands(FList, FModel, this);
    ConnectList();
    BuildPathBar(page);
    auto* splitter = new QSplitter(Qt::Vertical, page);
    splitter->addWidget(FList);
    layout->addWidget(splitter);
    BuildChartPanel(splitter);
    splitter->setSizes({400, 284});
    setCentralWidget(page);

    FStatus = new QLabel(this);
    FStatus->setMinimumWidth(538);
    FClock = new QLabel(this);
    statusBar()->addWidget(FStatus, 1);
    statusBar()->addPermanentWidget(FClock);
    // RzGlyphStatus1: the program's glyph with its name, at the right end.
    auto* glyph = new QLabel(this);
    glyph->setObjectName("RzGlyphStatus1");
    glyph->setText(
        QString("<img src=\"%1\" width=16 height=16 style=\"vertical-align:middle\"> Morvane")
            .arg(":/pictures/morvane.svg"));
    statusBar()->addPermanentWidget(glyph);
    auto* clock = new QTimer(this);
    auto tick = [this] { FClock->setText(QDateTime::currentDateTime().toString("HH:mm:ss")); };
    connect(clock, &QTimer::timeout, this, tick);
    tick();
    clock->start(1000);
}

TFrm_Main::~TFrm_Main() = default;

void TFrm_Main::BuildMenus() {
    QMenu* disk = menuBar()->addMenu(QString::fromUtf8("磁盘"));
    QAction* analyse = disk->addAction(QString::fromUtf8("磁盘分析"));
    analyse->setShortcut(QKeySequence(Qt::Key_F3));
    connect(analyse, &QAction::triggered, this, [this] { FChartPanel->RzToolbarButton11Click(); });
    QAction* scan = disk->addAction(QString::fromUtf8("扫描磁盘"));
    scan->setShortcut(QKeySequence(Qt::Key_F4));
    connect(scan, &QAction::triggered, this, &TFrm_Main::btnProbeClick);
    QAction* programs = disk->addAction(QString::fromUtf8("应用程序管理"));
    programs->setShortcut(QKeySequence(Qt::Key_F5));
    connect(programs, &QAction::triggered, this, &TFrm_Main::SpeedButton2Click);
    disk->addSeparator();
    QAction* exit = disk->addAction(QString::fromUtf8("退出分析工具"));
    exit->setShortcut(QKeySequence(Qt::Key_F10));
    connect(exit, &QAction::triggered, this, &TFrm_Main::Exit1Click);

    QMenu* options = menuBar()->addMenu(QString::fromUtf8("选项配置"));
    options->addAction("&Scheme Manage")->setShortcut(QKeySequence(Qt::Key_F6));
    options->addAction("&New Scheme")->setShortcut(QKeySequence(Qt::Key_F7));

    QMenu* tools = menuBar()->addMenu(QString::fromUtf8("工具"));
    QAction* update = tools->addAction("&Online Update");
    update->setShortcut(QKeySequence(Qt::Key_F8));
    connect(update, &QAction::triggered, this, [this] { OnlineUpdate(this); });
    QAction* tutorial = tools->addAction("&Tutorial");
    tutorial->setShortcut(QKeySequence(Qt::Key_F9));
    connect(tutorial, &QAction::triggered, this, &TFrm_Main::OpenTutorial);

    QMenu* help = menuBar()->addMenu(QString::fromUtf8("帮助"));
    QAction* friendMail = help->addAction("Tell a friend");
    friendMail->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_F1));
    connect(friendMail, &QAction::triggered, this,
            [this] { OpenUrl(QString::fromStdString(::TellFriendMailText())); });
    QAction* contact = help->addAction("&Contact Author");
    contact->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_F2));
    connect(contact, &QAction::triggered, this, &TFrm_Main::OpenHelp);
    QAction* helpFile = help->addAction("&Help");
    helpFile->setShortcut(QKeySequence(Qt::Key_F1));
    connect(helpFile, &QAction::triggered, this, &TFrm_Main::OpenHelp);
    QAction* about = help->addAction("&About...");
    about->setShortcut(QKeySequence(Qt::Key_F2));
    connect(about, &QAction::triggered, this, [this] {
        if (ShowAboutWindow)
            ShowAboutWindow(this);
    });
}

void TFrm_Main::BuildToolBar() {
    // RzPanel1: the large buttons on a cool bar with its background picture.
    auto* bar = addToolBar("ToolBar1");
    bar->setObjectName("ToolBar1");
    bar->setMovable(false);
    bar->setFloatable(false);
    bar->setMinimumHeight(64);
    bar->setIconSize(QSize(48, 48));
    bar->setStyleSheet("QToolBar#ToolBar1 { border: none; padding: 0 4px;"
                       " background: qlineargradient(x1:0, y1:0, x2:0, y2:1,"
                       " stop:0 #FFFFFF, stop:0.6 #E3EBFF, stop:1 #C9D7F5); }"
                       "QToolBar#ToolBar1 QToolButton { color: #000080; font-weight: bold;"
                       " border: 1px solid transparent; border-radius: 3px; }"
                       "QToolBar#ToolBar1 QToolButton:hover { border-color: #9DB4E8;"
                       " background: rgba(255, 255, 255, 160); }");
    auto add = [&](const char* name, const char* caption, const char* picture, const char* hint,
                   auto handler) {
        auto* button = new QToolButton(bar);
        button->setObjectName(name);
        button->setText(caption);
        button->setToolTip(hint);
        button->setIcon(QIcon(Picture(picture, QSize(48, 48))));
        button->setIconSize(QSize(48, 48));
        button->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
        button->setAutoRaise(true);
        button->setCursor(Qt::PointingHandCursor);
        button->setMinimumSize(61, 72);
        button->setMaximumSize(68, 72);
        connect(button, &QToolButton::clicked, this, handler);
        return bar->addWidget(button);
    };
    add("btnScan", "Clean", "tb-clean", "Scan disk and found all junker files",
        &TFrm_Main::btnProbeClick);
    add("btnWipe", "Wipe", "tb-wipe", "", &TFrm_Main::btnWipeClick)->setVisible(false);
    add("SpeedButton2", "Uninstall", "tb-uninstall", "Uninstall some unuser program",
        &TFrm_Main::SpeedButton2Click);
    add("SpeedButton5", "Setting", "tb-setting", "Some Option and setting",
        &TFrm_Main::SpeedButton5Click);
    add("btnHelp", "Help", "tb-help", "Help information ,help you know how  to use Morvane",
        &TFrm_Main::OpenHelp);
    auto* gap = new QWidget(bar); // ToolButton1, the separator
    gap->setFixedWidth(8);
    bar->addWidget(gap);
    add("btnExit", "Exit", "tb-exit", "Exit to system", &TFrm_Main::btnExitClick);
}

void TFrm_Main::BuildPathBar(QWidget* page) {
    auto* bar = new QWidget(page);
    auto* row = new QHBoxLayout(bar);
    row->setContentsMargins(2, 2, 2, 2);
    auto* back = new QToolButton(bar);
    back->setObjectName("btnBack");
    back->setText("Up");
    back->setIcon(style()->standardIcon(QStyle::SP_FileDialogToParent));
    back->setToolButtonStyle(Qt::ToolButtonIconOnly);
    back->setAutoRaise(true);
    connect(back, &QToolButton::clicked, this, &TFrm_Main::btnBackClick);
    FcbPath = new QComboBox(bar);
    FcbPath->setObjectName("cbPath");
    FcbPath->setEditable(true);
    FcbPath->setMinimumWidth(500);
    connect(FcbPath, &QComboBox::activated, this, [this](int index) {
        QString error;
        Navigated(FModel->SelectHistory(FcbPath->itemText(index), error), error);
    });
    row->addWidget(back);
    row->addWidget(FcbPath, 1);
    FList->AddStyleButtons(row, bar);
    static_cast<QVBoxLayout*>(page->layout())->addWidget(bar);
}

void TFrm_Main::BuildChartPanel(QWidget* parent) {
    FChartPanel = new TDirChartPanel(parent);
    FChartPanel->LocationText = [this] { return FcbPath->currentText(); };
    FChartPanel->ShowLocationInfo = [this] { ShowLocationInfo(); };
    // Its collapse button and chart check box sit at the end of the path toolbar.
    if (auto* row = qobject_cast<QBoxLayout*>(FcbPath->parentWidget()->layout()))
        FChartPanel->PlacePathBarControls(row);
    ConnectPanel4();
}

// The window's own commands on the chart toolbar: the Morvane menu, options, cleaning the
// current location and the two mails.
void TFrm_Main::ConnectPanel4() {
    auto connectButton = [this](const char* name, auto handler) {
        if (auto* button = FChartPanel->findChild<QToolButton*>(name))
            connect(button, &QToolButton::clicked, this, handler);
    };
    connectButton("btnOption", &TFrm_Main::SpeedButton5Click);
    connectButton("RzToolbarButton9", &TFrm_Main::RzToolbarButton9Click);
    connectButton("RzToolbarButton12",
                  [this] { OpenUrl(QString::fromStdString(::TellFriendMailText())); });
    connectButton("RzToolbarButton13",
                  [this] { OpenUrl(QString::fromStdString(::SupportMailText())); });

    FToolBarMenu = new QMenu(this);
    FToolBarMenu->setObjectName("ToolBarMenu");
    QAction* home = FToolBarMenu->addAction(QIcon(Picture("web", QSize(16, 16))), "&Home Page");
    home->setObjectName("MnuNew");
    connect(home, &QAction::triggered, this, [this] { OpenUrl(MakerAddresses::HomePage); });
    FToolBarMenu->addSeparator()->setObjectName("MenuItem1");
    QAction* option =
        FToolBarMenu->addAction(QIcon(Picture("tb-setting", QSize(16, 16))), "&Option");
    option->setObjectName("MnuMakeInactive");
    connect(option, &QAction::triggered, this, &TFrm_Main::SpeedButton5Click);
    QAction* help = FToolBarMenu->addAction(QIcon(Picture("tb-help", QSize(16, 16))), "&Help");
    help->setObjectName("MnuShowAllAccounts");
    connect(help, &QAction::triggered, this, &TFrm_Main::OpenHelp);
    if (auto* menuButton = FChartPanel->findChild<QToolButton*>("btnMenu")) {
        menuButton->setMenu(FToolBarMenu);
        menuButton->setPopupMode(QToolButton::InstantPopup);
        menuButton->setIcon(QIcon(Picture("morvane", QSize(16, 16))));
        menuButton->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    }
}

// "Scan this directory ...": the cleaning window on the current location, as the row
// command does for a row. At My Computer there is no folder to scan, so it opens as it is.
void TFrm_Main::RzToolbarButton9Click() {
    const TShellBrowser& browser = FModel->Browser();
    if (Setting && !browser.AtMyComputer() && !browser.CurrentPath().empty()) {
        Setting->Directorys().Clear();
        Setting->Directorys().Add(browser.CurrentPath(), true, true);
    }
    btnProbeClick();
}

void TFrm_Main::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (!FShown) {
        FShown = true;
        PlaceOnScreen();
        FormShow();
    }
}

void TFrm_Main::PlaceOnScreen() {
    // The screen of the window that opens it; the frame the window manager adds is not
    // known before the window is mapped, so the opener's frame stands in for it.
    const QWidget* owner = parentWidget() ? parentWidget()->window() : nullptr;
    const QScreen* where = owner ? owner->screen() : screen();
    if (!where)
        return;
    const QRect area = where->availableGeometry();
    QMargins frame;
    if (owner && owner->isVisible()) {
        const QRect outer = owner->frameGeometry();
        const QRect inner = owner->geometry();
        frame = QMargins(inner.left() - outer.left(), inner.top() - outer.top(),
                         outer.right() - inner.right(), outer.bottom() - inner.bottom());
    }
    const QSize margins(frame.left() + frame.right(), frame.top() + frame.bottom());
    const QSize inner =
        QSize(1024, 727).boundedTo(area.size() - margins).expandedTo(minimumSizeHint());
    // A screen smaller than the window's least size gets it from its top left corner, so
    // that its title bar stays within reach.
    const QSize outer = inner + margins;
    const QPoint frameAt(area.x() + std::max(0, (area.width() - outer.width()) / 2),
                         area.y() + std::max(0, (area.height() - outer.height()) / 2));
    // The inner geometry: a window manager places an unmapped window's frame around it,
    // where a frame position would be taken for the inner one.
    setGeometry(QRect(frameAt + QPoint(frame.left(), frame.top()), inner));
}

void TFrm_Main::FormShow() {
    ProgramDir = ProgramFolderWithSeparator();
    QDir::setCurrent(QString::fromStdString(ProgramDir.string()));
    FDisk = std::make_unique<TDisk>();
    QString error;
    Navigated(FModel->Start(error), error);
    FChartPanel->SetDisk(FDisk.get()); // the charts stay empty until asked for
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
    SetL_Dir(FcbPath->currentText());
    FList->SelectRow(FModel->rowCount() > 0 ? 0 : -1);
    ShowLocationInfo();
}

void TFrm_Main::SetL_Dir(const QString& text) {
    // The info panel's path label also names the place the list moved to.
    FChartPanel->SetL_Dir(text);
}

void TFrm_Main::ShowLocationInfo() {
    const TLocationInfo info = LocationInfoOf(FModel->Browser().LocationText());
    FChartPanel->SetLocationInfo(QString::fromStdString(info.DirName),
                                 QString::fromStdString(info.CreateDate),
                                 QString::fromStdString(info.ModifyDate));
}

void TFrm_Main::ConnectList() {
    connect(FList, &TShellListView::OpenRequested, this, &TFrm_Main::ListViewDblClick);
    connect(FList, &TShellListView::UpRequested, this, &TFrm_Main::btnBackClick);
    connect(FList, &TShellListView::DeleteRequested, FCommands, &TListCommands::N_DeleteClick);
    connect(FList, &TShellListView::PopupRequested, FCommands, &TListCommands::Popup);
    connect(FCommands, &TListCommands::RereadRequested, this, [this](const QString& text) {
        QString error;
        Navigated(FModel->NavigateToText(text, error), error);
    });
    connect(FCommands, &TListCommands::AnalyzeRequested, this, &TFrm_Main::AnalyzeRow);
}

void TFrm_Main::btnBackClick() {
    QString error;
    Navigated(FModel->Up(error), error);
    // My Computer always shows the drives; a folder is charted only with the chart option.
    if (FModel->Browser().AtMyComputer())
        FChartPanel->ShowDriveChart();
    else
        FChartPanel->Sp_UpDirClick();
    FStatus->setText("Right click chart for more info,Left click to Dig direcotry data ...");
}

void TFrm_Main::ListViewDblClick() {
    ListDoubleClicked(FList->SelectedRow());
}

void TFrm_Main::ListDoubleClicked(int row) {
    if (row >= 0 && row < FModel->rowCount()) {
        QString error;
        if (FModel->Browser().ShellItem(row).IsFolder) {
            Navigated(FModel->OpenRow(row, error), error);
        } else {
            const std::string path = FModel->Browser().ItemPath(row);
            QApplication::setOverrideCursor(Qt::WaitCursor);
            SetL_Dir(QString::fromStdString(path));
            if (!path.empty())
                Platform::Shell().Open(path);
            QApplication::restoreOverrideCursor();
        }
    }
    if (Setting && Setting->IfShowChart()) {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        ShowLocationChart(QString::fromStdString(FModel->Browser().LocationText()));
        ShowLocationInfo();
        QApplication::restoreOverrideCursor();
    }
}

void TFrm_Main::AnalyzeRow(const QString& path, bool atMyComputer) {
    // A volume of My Computer is charted and shown; a folder fills the pie in place.
    if (atMyComputer)
        FChartPanel->ShowDirectoryChart(path);
    else
        FChartPanel->AnalyzeDirectory(path);
}

void TFrm_Main::ShowLocationChart(const QString& path) {
    FChartPanel->ShowLocationChart(path);
}

void TFrm_Main::ShowDriveChart() {
    FChartPanel->ShowDriveChart();
}

void TFrm_Main::OpenTutorial() {
    OpenUrl(QString::fromStdString((ProgramDir / "help" / "tutorial.html").string()));
}

void TFrm_Main::btnExitClick() {
    close();
}

void TFrm_Main::Exit1Click() {
    close();
    QApplication::quit();
}

void TFrm_Main::OpenHelp() {
    OpenUrl(QString::fromStdString((ProgramDir / "Morvane.chm").string()));
}

// What the shell starts is not looked at: a missing help file or mail program is not
// reported.
void TFrm_Main::OpenUrl(const QString& url) {
    Platform::Shell().Open(url.toStdString());
}

void TFrm_Main::btnProbeClick() {
    ShowModalWindow(frmCleaning, this, TAfterModal::Close);
}
void TFrm_Main::btnWipeClick() {
    ShowModalWindow(frmWipe, this, TAfterModal::Free);
}
void TFrm_Main::SpeedButton2Click() {
    ShowModalWindow(frmUninstall, this, TAfterModal::Free);
}
void TFrm_Main::SpeedButton5Click() {
    ShowModalWindow(frmOption, this, TAfterModal::Free);
}
