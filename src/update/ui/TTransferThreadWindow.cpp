#include "update/ui/TTransferThreadWindow.h"

#include <QCoreApplication>
#include <QMetaObject>

#include <mutex>

namespace {

std::mutex WindowMutex;
TTransferThreadWindow* Window = nullptr;
int UserCount = 0;

} // namespace

class TTransferThreadWindow::TCaller : public IUiCaller {
public:
    explicit TCaller(TTransferThreadWindow* window) : FWindow(window) {}
    ~TCaller() override {
        std::lock_guard lock(WindowMutex);
        if (--UserCount == 0) {
            Window = nullptr;
            FWindow->deleteLater(); // safe from any thread
        }
    }

    void Post(std::function<void()> call) override {
        // Queued: the call runs when the user-interface thread's event loop gets to it.
        // The window lives as long as any caller does, so it is there to receive this.
        QMetaObject::invokeMethod(FWindow, std::move(call), Qt::QueuedConnection);
    }

private:
    TTransferThreadWindow* FWindow;
};

TTransferThreadWindow::TTransferThreadWindow() {
    setObjectName(QStringLiteral("TTransferThreadWindow"));
}

std::shared_ptr<IUiCaller> TTransferThreadWindow::Acquire() {
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
