#include "platform/TSessionEndSignals.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include <signal.h>

using Platform::TSessionEndSignals;
using namespace std::chrono_literals;

namespace {

// Waits until the count reaches want or a few seconds have passed.
bool WaitFor(const std::atomic<int>& count, int want) {
    for (int i = 0; i < 300 && count.load() < want; ++i)
        std::this_thread::sleep_for(10ms);
    return count.load() >= want;
}

std::atomic<int> HangUps{0};
void CountHangUp(int) {
    ++HangUps;
}

} // namespace

TEST(SessionEndSignals, EachEndSignalCallsBackOnAThreadOfItsOwn) {
    for (const int signal : {SIGTERM, SIGINT, SIGHUP}) {
        std::atomic<int> calls{0};
        std::atomic<bool> otherThread{false};
        const auto main = std::this_thread::get_id();
        TSessionEndSignals watcher([&] {
            otherThread = std::this_thread::get_id() != main;
            ++calls;
        });
        ASSERT_TRUE(watcher.Watching());
        raise(signal);
        EXPECT_TRUE(WaitFor(calls, 1)) << signal;
        EXPECT_TRUE(otherThread) << signal;
    }
}

TEST(SessionEndSignals, EndingPutsThePreviousHandlingBack) {
    struct sigaction counting {
    }, previous{};
    counting.sa_handler = CountHangUp;
    sigemptyset(&counting.sa_mask);
    sigaction(SIGHUP, &counting, &previous);
    {
        std::atomic<int> calls{0};
        TSessionEndSignals watcher([&] { ++calls; });
    }
    raise(SIGHUP);
    EXPECT_EQ(HangUps.load(), 1);
    sigaction(SIGHUP, &previous, nullptr);
}

TEST(SessionEndSignalsDeathTest, SecondRequestEndsTheProcessTheSystemsWay) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            std::atomic<int> calls{0};
            TSessionEndSignals watcher([&] { ++calls; });
            raise(SIGTERM);
            if (WaitFor(calls, 1))
                raise(SIGINT);
            std::this_thread::sleep_for(2s);
            std::_Exit(3); // the second signal did not end it
        },
        testing::KilledBySignal(SIGINT), "");
}
