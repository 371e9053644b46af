#include "platform/TSingleInstance.h"

#include "platform/windows/WinText.h"

#include <windows.h>

namespace Platform {

// The named mutex is never released or closed: the system does that when the process
// ends. WAIT_ABANDONED means the previous owner died, so the mutex is ours.
TSingleInstance::TSingleInstance(const std::string& name) {
    HANDLE h = CreateMutexW(nullptr, FALSE, Win::Widen(name).c_str());
    if (!h)
        return;
    const DWORD wait = WaitForSingleObject(h, 0);
    if (wait == WAIT_TIMEOUT) {
        FState = TInstanceState::AlreadyRunning;
        CloseHandle(h);
        return;
    }
    FHandle = reinterpret_cast<intptr_t>(h);
}

TSingleInstance::~TSingleInstance() {}

} // namespace Platform
