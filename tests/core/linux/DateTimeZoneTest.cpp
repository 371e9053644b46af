// The time zone comes from TZ here; Windows reads it from the registry instead.
#include "core/DateTime.h"
#include "core/FileRoutines.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <string>

TEST(DateTime, FileTimeIsConvertedToLocalTime) {
    const char* old = std::getenv("TZ");
    const std::string saved = old ? old : "";
    setenv("TZ", "UTC", 1);
    tzset();
    // 1970-01-01 00:00:00.250 UTC
    EXPECT_DOUBLE_EQ(FileTimeToLocalDateTime({Platform::UnixEpochTicks + 2500000}),
                     25569.0 + 250.0 / 86400000.0);
    setenv("TZ", "Asia/Shanghai", 1);
    tzset();
    int h, n, s, ms;
    DecodeTime(FileTimeToLocalDateTime({Platform::UnixEpochTicks}), h, n, s, ms);
    EXPECT_EQ(h, 8);
    if (old)
        setenv("TZ", saved.c_str(), 1);
    else
        unsetenv("TZ");
    tzset();
}
