#include "platform/Clock.h"

#include <windows.h>

namespace Platform {
namespace {

TSystemTime FromSystemTime(const SYSTEMTIME& st) {
    TSystemTime t;
    t.Year = st.wYear;
    t.Month = st.wMonth;
    t.Day = st.wDay;
    t.Hour = st.wHour;
    t.Minute = st.wMinute;
    t.Second = st.wSecond;
    t.Milliseconds = st.wMilliseconds;
    return t;
}

} // namespace

bool FileTimeToLocalSystemTime(TFileTime time, TSystemTime& local) {
    if (time.Ticks < 0)
        return false;
    FILETIME ft;
    ft.dwLowDateTime = static_cast<DWORD>(time.Ticks & 0xFFFFFFFF);
    ft.dwHighDateTime = static_cast<DWORD>(time.Ticks >> 32);
    SYSTEMTIME utc;
    SYSTEMTIME st;
    // The zone rules of the moment itself (summer time or not), not of today.
    if (!FileTimeToSystemTime(&ft, &utc) || !SystemTimeToTzSpecificLocalTime(nullptr, &utc, &st))
        return false;
    local = FromSystemTime(st);
    return true;
}

TSystemTime LocalNow() {
    SYSTEMTIME st;
    GetLocalTime(&st);
    return FromSystemTime(st);
}

} // namespace Platform
