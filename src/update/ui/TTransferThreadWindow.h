#pragma once

#include "update/IUiCaller.h"

#include <QObject>

#include <memory>

// The hidden object on the user-interface thread that every transfer worker of the
// process hands its reports to. It exists while someone uses it: Acquire creates it on
// first use and the last release destroys it.
class TTransferThreadWindow : public QObject {
public:
    // A caller that queues onto the shared window. Call on the user-interface thread.
    static std::shared_ptr<IUiCaller> Acquire();
    // How many callers hold the window now; 0 when it does not exist.
    static int Users();

private:
    TTransferThreadWindow();
    class TCaller;
};
