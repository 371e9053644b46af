// The application object's error box needs the program's own application class, so this
// test has a main of its own.
#include "app/ui/TFrm_Splash.h"
#include "app/ui/TMorvaneApplication.h"
#include "app/ui/TQtMessageBox.h"
#include "core/EMorvaneError.h"
#include "core/IMessageBoxHook.h"

#include <QMessageBox>
#include <QPointer>
#include <QTest>
#include <QTimer>

#include <gmock/gmock.h>

#include <memory>
#include <string>
#include <vector>

namespace {

class TBoxRecorder : public IMessageBoxHook {
public:
    explicit TBoxRecorder(std::vector<std::string>* shown) : FShown(shown) {}
    void Show(const std::string& text, const std::string& title) override {
        FShown->push_back(title + "|" + text);
    }

private:
    std::vector<std::string>* FShown;
};

// An event handler that fails.
class TFailingObject : public QObject {
public:
    bool event(QEvent* e) override {
        if (e->type() == QEvent::User) {
            ++Handled;
            throw EMorvaneError("Stream read error");
        }
        return QObject::event(e);
    }
    int Handled = 0;
};

} // namespace

TEST(ErrorBox, EscapingErrorIsShownAndTheProgramGoesOn) {
    std::vector<std::string> shown;
    auto old = SetMessageBoxHook(std::make_unique<TBoxRecorder>(&shown));
    TFailingObject failing;
    QCoreApplication::postEvent(&failing, new QEvent(QEvent::User));
    QCoreApplication::postEvent(&failing, new QEvent(QEvent::User));
    QCoreApplication::processEvents();
    SetMessageBoxHook(std::move(old));
    EXPECT_EQ(failing.Handled, 2); // the second event still came through
    EXPECT_EQ(shown, (std::vector<std::string>{"|Stream read error", "|Stream read error"}));
}

TEST(ErrorBox, BoxTakesTheApplicationTitleAsCaption) {
    QString caption;
    QString text;
    QTimer::singleShot(50, [&] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            caption = box->windowTitle();
            text = box->text();
            box->accept();
        }
    });
    TQtMessageBox().Show("Invalid property value", "");
    EXPECT_EQ(caption, QStringLiteral("Morvane Ostrel"));
    EXPECT_EQ(text, QStringLiteral("Invalid property value"));
}

// What the user met when a box came up: the box's owner, whether it was the active window,
// whether the splash was still on the screen and the mouse's shape.
struct TBoxScene {
    QPointer<QWidget> Owner;
    bool Active = false;
    bool SplashVisible = true;
    Qt::CursorShape Cursor = Qt::BitmapCursor;
};

TBoxScene ShowBoxAndLook(QWidget* splash) {
    TBoxScene scene;
    QTimer::singleShot(0, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box)
            return;
        scene.Active = QTest::qWaitForWindowActive(box, 5000);
        scene.Owner = box->parentWidget();
        scene.SplashVisible = splash && splash->isVisible();
        if (const QCursor* cursor = QApplication::overrideCursor())
            scene.Cursor = cursor->shape();
        box->accept();
    });
    TQtMessageBox().Show("Stream read error", "");
    return scene;
}

TEST(ErrorBox, StartUpBoxIsNotHiddenBehindTheSplash) {
    TFrm_Splash splash;
    splash.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&splash));
    QApplication::setOverrideCursor(Qt::WaitCursor); // as start-up has it
    const TBoxScene scene = ShowBoxAndLook(&splash);
    EXPECT_FALSE(scene.SplashVisible);
    EXPECT_TRUE(scene.Active);
    EXPECT_EQ(scene.Owner, nullptr); // nothing else is on the screen yet
    EXPECT_EQ(scene.Cursor, Qt::ArrowCursor);
    // Start-up goes on as it was.
    EXPECT_TRUE(splash.isVisible());
    EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
    QApplication::restoreOverrideCursor();
}

TEST(ErrorBox, BoxBelongsToTheActiveWindow) {
    QWidget window;
    window.setWindowTitle(QStringLiteral("launcher"));
    window.resize(300, 200);
    window.show();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    const TBoxScene scene = ShowBoxAndLook(nullptr);
    EXPECT_EQ(scene.Owner, &window);
    EXPECT_TRUE(scene.Active);
}

int main(int argc, char** argv) {
    // Offscreen unless a run under a real X server asks for it.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    TMorvaneApplication app(argc, argv);
    ::testing::InitGoogleMock(&argc, argv);
    return RUN_ALL_TESTS();
}
