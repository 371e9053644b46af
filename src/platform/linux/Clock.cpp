#include "platform/Clock.h"

#include <ctime>

#include <time.h>

namespace Platform {
namespace {

bool ToLocal(time_t seconds, int milliseconds, TSystemTime& out) {
    struct tm tm {};
    if (localtime_r(&seconds, &tm) == nullptr)
        return false;
    out.Year = tm.tm_year + 1900;
    out.Month = tm.tm_mon + 1;
    out.Day = tm.tm_mday;
    out.Hour = tm.tm_hour;
    out.Minute = tm.tm_min;
    out.Second = tm.tm_sec;
    out.Milliseconds = milliseconds;
    return true;
}

} // namespace

bool FileTimeToLocalSystemTime(TFileTime time, TSystemTime& local) {
    // Floor division, so times before 1970 keep a non-negative millisecond part.
    int64_t ticks = time.Ticks - UnixEpochTicks;
    int64_t seconds = ticks / 10000000;
    int64_t rest = ticks % 10000000;
    if (rest < 0) {
        rest += 10000000;
        --seconds;
    }
    return ToLocal(static_cast<time_t>(seconds), static_cast<int>(rest / 10000), local);
}

TSystemTime LocalNow() {
    struct timespec ts {};
    clock_gettime(CLOCK_REALTIME, &ts);
    TSystemTime t;
    ToLocal(ts.tv_sec, static_cast<int>(ts.tv_nsec / 1000000), t);
    return t;
}

} // namespace Platform
