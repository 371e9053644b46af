#pragma once

#include <cstdint>

namespace Platform {

// A point in time as the file system reports it: 100-nanosecond intervals since
// 1 January 1601, UTC (the FILETIME count). The Linux backend converts its
// seconds-and-nanoseconds since 1970 into the same count, so every layer above the
// platform handles one representation.
struct TFileTime {
    int64_t Ticks = 0;
};

// 100-ns intervals between 1601-01-01 and 1970-01-01.
inline constexpr int64_t UnixEpochTicks = 116444736000000000LL;

// A broken-down calendar time.
struct TSystemTime {
    int Year = 0;
    int Month = 0;  // 1..12
    int Day = 0;    // 1..31
    int Hour = 0;
    int Minute = 0;
    int Second = 0;
    int Milliseconds = 0;
};

// Converts a UTC file time to the local calendar time of the user's time zone.
// False when the time cannot be represented (far outside the calendar's range).
bool FileTimeToLocalSystemTime(TFileTime time, TSystemTime& local);

// The current local calendar time, to the millisecond.
TSystemTime LocalNow();

} // namespace Platform
