#include "update/HttpDate.h"

#include "support/linux/TScopedEnv.h"

#include <gmock/gmock.h>

#include <ctime>
#include <optional>
#include <utility>

namespace {

// Switches the process's time zone for one test.
class TZoneGuard {
public:
    explicit TZoneGuard(const char* zone) : FZone(std::in_place, "TZ", zone) { tzset(); }
    ~TZoneGuard() {
        // The C library reads TZ again only at tzset: the old zone must be back first.
        FZone.reset();
        tzset();
    }

private:
    std::optional<TScopedEnv> FZone;
};

TEST(HttpDateZoneTest, TheMomentIsShownInTheUsersZoneWithItsSummerTime) {
    TZoneGuard zone("CET-1CEST,M3.5.0,M10.5.0/3");
    // November: standard time, one hour ahead of UTC.
    EXPECT_DOUBLE_EQ(HttpDateToDateTime("Sun, 06 Nov 1994 08:49:37 GMT"),
                     EncodeDate(1994, 11, 6) + EncodeTime(9, 49, 37, 0));
    // July: summer time, two hours ahead.
    EXPECT_DOUBLE_EQ(HttpDateToDateTime("Fri, 01 Jul 2022 22:30:00 GMT"),
                     EncodeDate(2022, 7, 2) + EncodeTime(0, 30, 0, 0));
    TZoneGuard west("EST5");
    EXPECT_DOUBLE_EQ(HttpDateToDateTime("Sun Nov  6 08:49:37 1994"),
                     EncodeDate(1994, 11, 6) + EncodeTime(3, 49, 37, 0));
}

} // namespace
