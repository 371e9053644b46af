#include "platform/TSessionEndSignals.h"

#include <gtest/gtest.h>

// The console events themselves reach every process of the console, so they are not
// sent here; the watcher must install and remove its handler cleanly, again and again.
TEST(SessionEndSignals, HandlerInstallsAndGoesAgain) {
    for (int i = 0; i < 2; ++i) {
        int calls = 0;
        Platform::TSessionEndSignals watcher([&] { ++calls; });
        EXPECT_TRUE(watcher.Watching());
        EXPECT_EQ(calls, 0);
    }
}
