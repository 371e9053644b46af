// A second process for the single-instance tests.
//   morvane_instance_holder hold <name>   takes the lock, sets the event "<name>.ready",
//                                         waits for the event "<name>.end" and then ends
//                                         without releasing the lock (exit code 0 when it
//                                         had the lock, 1 when another copy held it);
//   morvane_instance_holder probe <name>  exit code 0 when the lock was taken, 1 when
//                                         another copy holds it.
#include "platform/TSingleInstance.h"

#include <cstring>
#include <string>

#include <windows.h>

namespace {

HANDLE NamedEvent(const std::string& name) {
    return CreateEventA(nullptr, TRUE, FALSE, name.c_str());
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 3)
        return 2;
    const std::string name = argv[2];
    Platform::TSingleInstance instance(name);
    const int code = instance.State() == Platform::TInstanceState::Acquired ? 0 : 1;
    if (std::strcmp(argv[1], "hold") == 0) {
        HANDLE ready = NamedEvent(name + ".ready");
        HANDLE end = NamedEvent(name + ".end");
        SetEvent(ready);
        WaitForSingleObject(end, 30000);
        // ExitProcess leaves the mutex owned: the system marks it abandoned.
        ExitProcess(static_cast<UINT>(code));
    }
    return code;
}
