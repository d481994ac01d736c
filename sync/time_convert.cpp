#include "sync/time_convert.h"

#include "sync/pc_clock.h"
#include "sync/time_arithmetic.h"

namespace velmora {

std::int64_t FileTimeToTicks(const FILETIME& time) {
    return static_cast<std::int64_t>(std::uint64_t{time.dwHighDateTime} << 32 | time.dwLowDateTime);
}

FILETIME TicksToFileTime(std::int64_t ticks) {
    const auto bits = static_cast<std::uint64_t>(ticks);
    return FILETIME{static_cast<DWORD>(bits), static_cast<DWORD>(bits >> 32)};
}

std::optional<std::int64_t> SystemTimeToTicks(const SYSTEMTIME& time) {
    FILETIME file;
    if (!::SystemTimeToFileTime(&time, &file)) return std::nullopt;
    return FileTimeToTicks(file);
}

std::optional<SYSTEMTIME> TicksToSystemTime(std::int64_t ticks) {
    if (ticks < 0) return std::nullopt;
    const FILETIME file = TicksToFileTime(ticks);
    SYSTEMTIME time;
    if (!::FileTimeToSystemTime(&file, &time)) return std::nullopt;
    return time;
}

std::int64_t CurrentUtcTicks() {
    return SystemTimeToTicks(PcUtcTime()).value_or(0);
}

SYSTEMTIME NtpSecondsToSystemTime(std::uint32_t ntpSeconds) {
    // 1970..2106 is always inside SYSTEMTIME's range.
    return *TicksToSystemTime(NtpSecondsToFileTicks(ntpSeconds));
}

void AddOffset(std::int64_t offsetMs, SYSTEMTIME& time) {
    const auto ticks = SystemTimeToTicks(time);
    if (!ticks) return;
    if (const auto moved = TicksToSystemTime(AddOffsetTicks(*ticks, offsetMs))) time = *moved;
}

}  // namespace velmora
