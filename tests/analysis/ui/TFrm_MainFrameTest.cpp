// The frame of the analysis window: its large buttons, menus, the commands handed to the
// shell, the windows it opens and how it ends.
#include "analysis/ui/TFrm_Main.h"
#include "analysis/ui/TShellItemModel.h"
#include "app/ui/ShellFixture.h"
#include "clean/ui/TfrmCleaning.h"
#include "core/MailTexts.h"
#include "core/MakerAddresses.h"
#include "core/TSetting.h"
#include "core/ui/AboutWindowHook.h"
#include "programs/ui/TfrmUninstall.h"

#include <QApplication>
#include <QMenu>
#include <QScreen>
#include <QTest>
#include <QMenuBar>
#include <QPointer>
#include <QThread>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <map>

namespace {

class AnalysisFrame : public TShellTest {
protected:
    void SetUp() override {
        TShellTest::SetUp();
        FSetting = std::make_unique<TSetting>(SettingsFilePath());
        Setting = FSetting.get();
    }

    void TearDown() override {
        delete frmCleaning;
        delete frmUninstall;
        Setting = nullptr;
        ShowAboutWindow = nullptr;
        TShellTest::TearDown();
    }

    // The menu entry with this caption, wherever it is in the main menu.
    static QAction* Entry(TFrm_Main& window, const QString& caption) {
        for (QAction* menu : window.menuBar()->actions())
            for (QAction* action : menu->menu()->actions())
                if (action->text() == caption)
                    return action;
        ADD_FAILURE() << caption.toStdString();
        return nullptr;
    }

    static QToolButton* Button(TFrm_Main& window, const char* name) {
        auto* button = window.findChild<QToolButton*>(name);
        EXPECT_NE(button, nullptr) << name;
        return button;
    }

    // Runs the command and, once the window it opens modally is up, notes it and closes it.
    // The window stays watched after the command returns: null again once it is freed.
    // It is closed only once its modal loop runs: closed while still being shown, it would
    // leave that loop waiting for ever.
    template <typename TWindow>
    static QPointer<TWindow> OpenAndClose(TWindow*& variable, const std::function<void()>& command,
                                          bool* opened) {
        QPointer<TWindow> seen;
        *opened = false;
        QTimer timer;
        const int outerLoops = QThread::currentThread()->loopLevel();
        QObject::connect(&timer, &QTimer::timeout, [&] {
            if (QThread::currentThread()->loopLevel() <= outerLoops || !variable ||
                !variable->isVisible())
                return;
            seen = variable;
            *opened = true;
            variable->close();
        });
        timer.start(50);
        command();
        return seen;
    }

    bool SettingsOnDisk() const { return std::filesystem::exists(SettingsFilePath()); }

private:
    std::unique_ptr<TSetting> FSetting;
};

} // namespace

TEST_F(AnalysisFrame, LargeButtonsInOrderWithTheirCaptionsAndHints) {
    TFrm_Main window;
    const struct {
        const char* Name;
        const char* Caption;
        const char* Hint;
    } buttons[] = {{"btnScan", "Clean", "Scan disk and found all junker files"},
                   {"btnWipe", "Wipe", ""},
                   {"SpeedButton2", "Uninstall", "Uninstall some unuser program"},
                   {"SpeedButton5", "Setting", "Some Option and setting"},
                   {"btnHelp", "Help", "Help information ,help you know how  to use Morvane"},
                   {"btnExit", "Exit", "Exit to system"}};
    window.show();
    int left = -1;
    for (const auto& b : buttons) {
        QToolButton* button = Button(window, b.Name);
        EXPECT_EQ(button->text(), b.Caption);
        EXPECT_EQ(button->toolTip(), b.Hint);
        EXPECT_EQ(button->height(), 72) << b.Name;
        EXPECT_FALSE(button->icon().isNull()) << b.Name;
        if (button->isVisible()) {
            EXPECT_GT(button->x(), left) << b.Name; // left to right in this order
            left = button->x();
            EXPECT_GE(button->width(), 61) << b.Name;
            EXPECT_LE(button->width(), 68) << b.Name;
        }
    }
    EXPECT_FALSE(Button(window, "btnWipe")->isVisible());
}

TEST_F(AnalysisFrame, MainMenuEntriesAndShortcuts) {
    TFrm_Main window;
    const std::map<QString, QKeySequence> entries = {{"磁盘分析", Qt::Key_F3},
                                                     {"扫描磁盘", Qt::Key_F4},
                                                     {"应用程序管理", Qt::Key_F5},
                                                     {"退出分析工具", Qt::Key_F10},
                                                     {"&Scheme Manage", Qt::Key_F6},
                                                     {"&New Scheme", Qt::Key_F7},
                                                     {"&Online Update", Qt::Key_F8},
                                                     {"&Tutorial", Qt::Key_F9},
                                                     {"Tell a friend", Qt::CTRL | Qt::Key_F1},
                                                     {"&Contact Author", Qt::CTRL | Qt::Key_F2},
                                                     {"&Help", Qt::Key_F1},
                                                     {"&About...", Qt::Key_F2}};
    for (const auto& [caption, keys] : entries) {
        if (QAction* action = Entry(window, caption)) {
            EXPECT_EQ(action->shortcut(), keys) << caption.toStdString();
        }
    }
    QStringList menus;
    for (QAction* menu : window.menuBar()->actions())
        menus << menu->text();
    EXPECT_EQ(menus, (QStringList{"磁盘", "选项配置", "工具", "帮助"}));
}

TEST_F(AnalysisFrame, HelpTutorialAndMailsGoToTheShellAsTheyStand) {
    TFrm_Main window;
    window.show();
    Entry(window, "Tell a friend")->trigger();
    Entry(window, "&Help")->trigger();
    Entry(window, "&Contact Author")->trigger();
    Entry(window, "&Tutorial")->trigger();
    Button(window, "btnHelp")->click();
    ASSERT_EQ(Opened.size(), 5u);
    EXPECT_EQ(Opened[0], TellFriendMailText());
    EXPECT_EQ(std::filesystem::path(Opened[1]), Folder() / "Morvane.chm");
    EXPECT_EQ(Opened[2], Opened[1]);
    EXPECT_EQ(std::filesystem::path(Opened[3]), Folder() / "help" / "tutorial.html");
    EXPECT_EQ(Opened[4], Opened[1]);
    EXPECT_TRUE(Boxes.empty());
}

TEST_F(AnalysisFrame, AboutGoesToTheLaunchersAboutWindowAndTheSchemeEntriesDoNothing) {
    TFrm_Main window;
    window.show();
    QWidget* aboutOwner = nullptr;
    ShowAboutWindow = [&](QWidget* owner) { aboutOwner = owner; };
    Entry(window, "&About...")->trigger();
    EXPECT_EQ(aboutOwner, &window);

    Entry(window, "&Scheme Manage")->trigger();
    Entry(window, "&New Scheme")->trigger();
    EXPECT_TRUE(Opened.empty());
    EXPECT_TRUE(Boxes.empty());
    EXPECT_TRUE(window.isVisible());
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}

TEST_F(AnalysisFrame, ClosingByTheExitButtonOrTheFrameWritesTheSettingsEachTime) {
    TFrm_Main window;
    window.show();
    ASSERT_FALSE(SettingsOnDisk());
    Button(window, "btnExit")->click();
    EXPECT_FALSE(window.isVisible());
    EXPECT_TRUE(SettingsOnDisk());

    std::filesystem::remove(SettingsFilePath());
    window.show();
    window.close();
    EXPECT_TRUE(SettingsOnDisk());
}

TEST_F(AnalysisFrame, F10EndsTheWholeProgram) {
    TFrm_Main window;
    window.show();
    bool timedOut = false;
    QTimer::singleShot(0, [&] { Entry(window, "退出分析工具")->trigger(); });
    QTimer::singleShot(5000, [&] {
        timedOut = true;
        QApplication::exit(1);
    });
    EXPECT_EQ(QApplication::exec(), 0);
    EXPECT_FALSE(timedOut);
    EXPECT_FALSE(window.isVisible());
    EXPECT_TRUE(SettingsOnDisk());
}

TEST_F(AnalysisFrame, TheProgramManagerIsMadeAnewEachTimeTheCleaningWindowIsKept) {
    TFrm_Main window;
    window.show();
    bool opened = false;
    QToolButton* uninstall = Button(window, "SpeedButton2");
    EXPECT_TRUE(OpenAndClose(
                    frmUninstall, [&] { uninstall->click(); }, &opened)
                    .isNull());
    EXPECT_TRUE(opened);
    EXPECT_EQ(frmUninstall, nullptr); // freed after its showing
    EXPECT_TRUE(OpenAndClose(
                    frmUninstall, [&] { Entry(window, "应用程序管理")->trigger(); }, &opened)
                    .isNull());
    EXPECT_TRUE(opened);
    EXPECT_EQ(frmUninstall, nullptr);

    QToolButton* clean = Button(window, "btnScan");
    const QPointer<TfrmCleaning> cleaning = OpenAndClose(
        frmCleaning, [&] { clean->click(); }, &opened);
    EXPECT_TRUE(opened);
    ASSERT_FALSE(cleaning.isNull()); // only closed: kept for the next opening
    EXPECT_EQ(frmCleaning, cleaning.data());
    EXPECT_FALSE(cleaning->isVisible());
    EXPECT_EQ(OpenAndClose(
                  frmCleaning, [&] { Entry(window, "扫描磁盘")->trigger(); }, &opened),
              cleaning);
    EXPECT_TRUE(opened);
}

TEST_F(AnalysisFrame, TheMorvaneMenuAndTheMailButtonsOfTheChartToolbar) {
    TFrm_Main window;
    window.show();
    auto* menuButton = window.findChild<QToolButton*>("btnMenu");
    ASSERT_NE(menuButton, nullptr);
    EXPECT_EQ(menuButton->text(), "Morvane");
    EXPECT_EQ(menuButton->toolTip(), "Morvane Menu");
    ASSERT_NE(menuButton->menu(), nullptr);
    QStringList captions;
    for (QAction* entry : menuButton->menu()->actions())
        captions << (entry->isSeparator() ? "-" : entry->text());
    EXPECT_EQ(captions, (QStringList{"&Home Page", "-", "&Option", "&Help"}));
    menuButton->menu()->actions()[0]->trigger();
    menuButton->menu()->actions()[3]->trigger();
    Button(window, "RzToolbarButton12")->click();
    Button(window, "RzToolbarButton13")->click();
    ASSERT_EQ(Opened.size(), 4u);
    EXPECT_EQ(Opened[0], MakerAddresses::HomePage);
    EXPECT_EQ(std::filesystem::path(Opened[1]), Folder() / "Morvane.chm");
    EXPECT_EQ(Opened[2], TellFriendMailText());
    EXPECT_EQ(Opened[3], SupportMailText());
}

TEST_F(AnalysisFrame, ScanThisDirectoryCleansTheCurrentLocationOnly) {
    TTempDir tree;
    tree.Write("keep/a.tmp", "x");
    TFrm_Main window;
    window.show();
    Setting->Directorys().Add("/elsewhere", true, true);
    QString error;
    ASSERT_TRUE(
        window.Model().NavigateToText(QString::fromStdString((tree / "keep").string()), error));
    bool opened = false;
    OpenAndClose(
        frmCleaning, [&] { Button(window, "RzToolbarButton9")->click(); }, &opened);
    EXPECT_TRUE(opened);
    ASSERT_EQ(Setting->Directorys().Count(), 1);
    EXPECT_EQ(std::filesystem::path(Setting->Directorys().Items(0).Path()), tree / "keep");
}

// The window opens at its designed size where the screen has room for it, else as small
// as the available area (or its own least size) allows, centred there. The opener stands
// in for the launcher: its frame tells how much the window manager adds.
TEST_F(AnalysisFrame, OpensCentredWithinTheAvailableAreaOfItsScreen) {
    // Under a window manager a frame comes a moment after its window is mapped.
    const auto framed = [](const QWidget& w) {
        return QGuiApplication::platformName() != QLatin1String("xcb") ||
               QTest::qWaitFor([&] { return w.frameGeometry() != w.geometry(); }, 2000);
    };
    QWidget launcher;
    launcher.resize(300, 200);
    launcher.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&launcher));
    framed(launcher);
    TFrm_Main window(&launcher);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    framed(window);
    const QRect area = window.screen()->availableGeometry();
    const QSize frameMargins = window.frameGeometry().size() - window.size();
    const QSize expected =
        QSize(1024, 727).boundedTo(area.size() - frameMargins).expandedTo(window.minimumSizeHint());
    EXPECT_EQ(window.size(), expected);
    const QRect frame = window.frameGeometry();
    EXPECT_TRUE(area.contains(frame.topLeft()));
    if (area.width() >= frame.width()) {
        EXPECT_LE(std::abs(frame.center().x() - area.center().x()), 1);
    }
    if (area.height() >= frame.height()) {
        EXPECT_LE(std::abs(frame.center().y() - area.center().y()), 1);
    }
    window.close();
}
