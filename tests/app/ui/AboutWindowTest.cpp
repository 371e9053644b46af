#include "ShellFixture.h"
#include "WindowManagerHints.h"

#include "core/MakerAddresses.h"
#include "core/MailTexts.h"
#include "app/ui/TFrm_About.h"

#include <QLabel>
#include <QMouseEvent>
#include <QGuiApplication>
#include <QTest>
#include <QTimer>
#include <QToolButton>

namespace {

class AboutWindow : public TShellTest {
protected:
    void TearDown() override {
        delete Frm_About;
        TShellTest::TearDown();
    }
    template <typename T>
    T* Find(const char* name) {
        return Frm_About->findChild<T*>(QString::fromLatin1(name));
    }
    void ClickLabel(const char* name) {
        QLabel* label = Find<QLabel>(name);
        QMouseEvent press(QEvent::MouseButtonPress, QPointF(2, 2), label->mapToGlobal(QPointF(2, 2)),
                          Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
        QMouseEvent release(QEvent::MouseButtonRelease, QPointF(2, 2),
                            label->mapToGlobal(QPointF(2, 2)), Qt::LeftButton, Qt::NoButton,
                            Qt::NoModifier);
        QApplication::sendEvent(label, &press);
        QApplication::sendEvent(label, &release);
    }
};

} // namespace

TEST_F(AboutWindow, ShowsTheVersionOfTheProgramFile) {
    Frm_About = new TFrm_About;
    Frm_About->show();
    EXPECT_EQ(Frm_About->windowTitle(), QStringLiteral("About..."));
    EXPECT_EQ(Find<QLabel>("L_VerInfo")->text(), QStringLiteral("Version 8.0.0.3"));
    EXPECT_EQ(Find<QLabel>("L_EName")->text(), QStringLiteral("Morvane"));
    EXPECT_EQ(Find<QLabel>("L_Homepage")->text(), QString::fromLatin1(MakerAddresses::HomePage));
}

TEST_F(AboutWindow, LinksOpenTheHomePageAndTheSupportMail) {
    Frm_About = new TFrm_About;
    Frm_About->show();
    Find<QToolButton>("TransparentButton2")->click();
    ClickLabel("L_Homepage");
    Find<QToolButton>("Tb_Email")->click();
    ClickLabel("L_Email");
    const std::string home = MakerAddresses::HomePage;
    EXPECT_EQ(Opened, (std::vector<std::string>{home, home, SupportMailText(), SupportMailText()}));
    EXPECT_TRUE(Frm_About->isVisible()); // the window stays open
}

TEST_F(AboutWindow, HasNoMinimiseNorMaximiseAndDoesNotStayMinimised) {
    Frm_About = new TFrm_About;
    bool restored = false;
    QTimer::singleShot(0, [&] {
        if (QGuiApplication::platformName() == QLatin1String("xcb")) {
            EXPECT_TRUE(QTest::qWaitForWindowExposed(Frm_About));
            EXPECT_EQ(WindowManagerHints::MotifFunctions(Frm_About) & 0x39u, 0x20u);
        }
        Frm_About->showMinimized();
        Pump(500);
        restored = Frm_About->isVisible() && !Frm_About->isMinimized();
        Frm_About->accept();
    });
    Frm_About->exec();
    EXPECT_TRUE(restored);
}
