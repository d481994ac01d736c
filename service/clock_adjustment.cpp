#include "service/clock_adjustment.h"

#include "service/filetime_offset.h"

namespace velmora {

SYSTEMTIME SystemLocalClock::Now() {
    SYSTEMTIME now;
    ::GetLocalTime(&now);
    return now;
}

bool SystemLocalClock::Set(const SYSTEMTIME& time) { return ::SetLocalTime(&time) != FALSE; }

bool ApplyClockOffset(std::int64_t offsetMs, LocalClock& clock) {
    SYSTEMTIME time = clock.Now();
    FILETIME file;
    if (::SystemTimeToFileTime(&time, &file)) {
        const std::uint64_t ticks = std::uint64_t{file.dwHighDateTime} << 32 | file.dwLowDateTime;
        const std::uint64_t moved = AddOffsetToFileTime(ticks, offsetMs);
        const FILETIME movedFile{static_cast<DWORD>(moved), static_cast<DWORD>(moved >> 32)};
        SYSTEMTIME movedTime;
        if (::FileTimeToSystemTime(&movedFile, &movedTime)) time = movedTime;
    }
    return clock.Set(time);
}

}  // namespace velmora
