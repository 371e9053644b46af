// The application object's error box needs the program's own application class, so this
// test has a main of its own.
#include "app/ui/TMorvaneApplication.h"
#include "app/ui/TQtMessageBox.h"
#include "core/EMorvaneError.h"
#include "core/IMessageBoxHook.h"

#include <QMessageBox>
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

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    TMorvaneApplication app(argc, argv);
    ::testing::InitGoogleMock(&argc, argv);
    return RUN_ALL_TESTS();
}
