#include "service/clock_adjustment.h"

#include "service/filetime_offset.h"

namespace velmora {

SYSTEMTIME SystemLocalClock::Now() {
    SYSTEMTIME now;
    ::GetLocalTime(&now);
    return now;
}

bool SystemLocalClock::Set(const SYSTEMTIME& time) { return ::SetLocalTime(&time) != FALSE; }

std::optional<std::uint64_t> ToFileTicks(const SYSTEMTIME& time) {
    FILETIME file;
    if (!::SystemTimeToFileTime(&time, &file)) return std::nullopt;
    return std::uint64_t{file.dwHighDateTime} << 32 | file.dwLowDateTime;
}

std::optional<SYSTEMTIME> FromFileTicks(std::uint64_t ticks) {
    const FILETIME file{static_cast<DWORD>(ticks), static_cast<DWORD>(ticks >> 32)};
    SYSTEMTIME time;
    if (!::FileTimeToSystemTime(&file, &time)) return std::nullopt;
    return time;
}

bool ApplyClockOffset(std::int64_t offsetMs, LocalClock& clock) {
    SYSTEMTIME time = clock.Now();
    if (const auto ticks = ToFileTicks(time))
        if (const auto moved = FromFileTicks(AddOffsetToFileTime(*ticks, offsetMs))) time = *moved;
    return clock.Set(time);
}

}  // namespace velmora
