#include "update/ui/TTransferThreadWindow.h"

#include <QCoreApplication>
#include <QMetaObject>

#include <mutex>

namespace {

std::mutex WindowMutex;
TTransferThreadWindow* Window = nullptr;
int UserCount = 0;
// Set when the application object goes: its event queue goes with it, so nothing may be
// posted any more, neither reports nor the window's own release. A worker that is still
// running then waits for nothing; its owner abandoned it before.
bool ApplicationGone = false;

void WatchTheApplication() {
    static bool watching = false;
    if (watching || !QCoreApplication::instance())
        return;
    watching = true;
    QObject::connect(QCoreApplication::instance(), &QObject::destroyed, [] {
        std::lock_guard lock(WindowMutex);
        ApplicationGone = true;
    });
}

} // namespace

class TTransferThreadWindow::TCaller : public IUiCaller {
public:
    explicit TCaller(TTransferThreadWindow* window) : FWindow(window) {}
    ~TCaller() override {
        std::lock_guard lock(WindowMutex);
        if (--UserCount == 0) {
            Window = nullptr;
            if (!ApplicationGone)
                FWindow->deleteLater(); // safe from any thread
        }
    }

    void Post(std::function<void()> call) override {
        // Queued: the call runs when the user-interface thread's event loop gets to it.
        // The window lives as long as any caller does, so it is there to receive this.
        std::lock_guard lock(WindowMutex);
        if (!ApplicationGone)
            QMetaObject::invokeMethod(FWindow, std::move(call), Qt::QueuedConnection);
    }

private:
    TTransferThreadWindow* FWindow;
};

TTransferThreadWindow::TTransferThreadWindow() {
    setObjectName(QStringLiteral("TTransferThreadWindow"));
}

std::shared_ptr<IUiCaller> TTransferThreadWindow::Acquire() {
    WatchTheApplication();
    std::lock_guard lock(WindowMutex);
    if (!Window)
        Window = new TTransferThreadWindow;
    ++UserCount;
    return std::make_shared<TCaller>(Window);
}

int TTransferThreadWindow::Users() {
    std::lock_guard lock(WindowMutex);
    return UserCount;
}
