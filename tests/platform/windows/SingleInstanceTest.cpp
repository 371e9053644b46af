#include "platform/ProgramFolder.h"
#include "platform/TSingleInstance.h"

#include <gtest/gtest.h>

#include <string>

#include <windows.h>

using Platform::TInstanceState;
using Platform::TSingleInstance;

namespace {

// A lock name no other test or run shares.
std::string UniqueName(const char* what) {
    return std::string("Morvane_Test_") + what + "_" + std::to_string(GetCurrentProcessId()) + "_" +
           std::to_string(GetTickCount64());
}

// The helper program beside the test program (built with the tests).
class THolder {
public:
    THolder(const std::string& mode, const std::string& name) {
        const std::wstring exe =
            (Platform::ProgramFile().parent_path() / "morvane_instance_holder.exe").wstring();
        std::wstring command = L"\"" + exe + L"\" " + std::wstring(mode.begin(), mode.end()) +
                               L" " + std::wstring(name.begin(), name.end());
        STARTUPINFOW si{};
        si.cb = sizeof si;
        Started = CreateProcessW(exe.c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                                 nullptr, &si, &FInfo) != FALSE;
        if (Started)
            CloseHandle(FInfo.hThread);
    }
    ~THolder() {
        if (Started) {
            if (WaitForSingleObject(FInfo.hProcess, 0) == WAIT_TIMEOUT)
                TerminateProcess(FInfo.hProcess, 9);
            CloseHandle(FInfo.hProcess);
        }
    }
    // The exit code, or -1 when it did not end within the time.
    int Wait(DWORD milliseconds = 20000) {
        if (!Started || WaitForSingleObject(FInfo.hProcess, milliseconds) != WAIT_OBJECT_0)
            return -1;
        DWORD code = 0;
        GetExitCodeProcess(FInfo.hProcess, &code);
        return static_cast<int>(code);
    }
    bool Started = false;

private:
    PROCESS_INFORMATION FInfo{};
};

// A named event shared with the helper.
class TEvent {
public:
    explicit TEvent(const std::string& name)
        : FHandle(CreateEventA(nullptr, TRUE, FALSE, name.c_str())) {}
    ~TEvent() { CloseHandle(FHandle); }
    bool Wait(DWORD milliseconds) {
        return WaitForSingleObject(FHandle, milliseconds) == WAIT_OBJECT_0;
    }
    void Set() { SetEvent(FHandle); }

private:
    HANDLE FHandle;
};

int Probe(const std::string& name) {
    THolder probe("probe", name);
    EXPECT_TRUE(probe.Started);
    return probe.Wait();
}

} // namespace

TEST(SingleInstance, TheFirstCopyRunsAndASecondProcessTimesOut) {
    const std::string name = UniqueName("Second");
    TSingleInstance first(name);
    EXPECT_EQ(first.State(), TInstanceState::Acquired);
    // Another process does not wait: it sees the lock taken and gives up at once.
    EXPECT_EQ(Probe(name), 1);
    // Other names are free.
    EXPECT_EQ(Probe(name + "_other"), 0);
}

TEST(SingleInstance, ALockLeftByAnEndedProcessIsTakenOver) {
    const std::string name = UniqueName("Abandoned");
    TEvent ready(name + ".ready"), end(name + ".end");
    THolder holder("hold", name);
    ASSERT_TRUE(holder.Started);
    ASSERT_TRUE(ready.Wait(20000));

    {
        // While the holder lives, this process is the second copy.
        TSingleInstance second(name);
        EXPECT_EQ(second.State(), TInstanceState::AlreadyRunning);
    }

    // The holder ends without releasing the lock: the mutex is abandoned, and the next
    // copy counts it as its own.
    end.Set();
    EXPECT_EQ(holder.Wait(), 0);
    TSingleInstance next(name);
    EXPECT_EQ(next.State(), TInstanceState::Acquired);
    // ... and really owns it: yet another process is refused.
    EXPECT_EQ(Probe(name), 1);
}

TEST(SingleInstance, AKilledHolderLeavesTheLockFree) {
    const std::string name = UniqueName("Killed");
    TEvent ready(name + ".ready");
    {
        THolder holder("hold", name);
        ASSERT_TRUE(holder.Started);
        ASSERT_TRUE(ready.Wait(20000));
        EXPECT_EQ(Probe(name), 1);
    } // the destructor terminates the holder
    EXPECT_EQ(Probe(name), 0);
}
