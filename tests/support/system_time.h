#pragma once
// A SYSTEMTIME from its fields; the day of the week is left 0, as the conversions ignore it.
#include <windows.h>

namespace velmora::testing {

inline SYSTEMTIME MakeSystemTime(WORD year, WORD month, WORD day, WORD hour, WORD minute, WORD second, WORD ms) {
    SYSTEMTIME t{};
    t.wYear = year;
    t.wMonth = month;
    t.wDay = day;
    t.wHour = hour;
    t.wMinute = minute;
    t.wSecond = second;
    t.wMilliseconds = ms;
    return t;
}

}  // namespace velmora::testing
