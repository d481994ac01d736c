#pragma once
// SYSTEMTIME / FILETIME conversions over the tick arithmetic of time_arithmetic.h.
#include <windows.h>

#include <cstdint>
#include <optional>

namespace velmora {

std::int64_t FileTimeToTicks(const FILETIME& time);
FILETIME TicksToFileTime(std::int64_t ticks);

std::optional<std::int64_t> SystemTimeToTicks(const SYSTEMTIME& time);
std::optional<SYSTEMTIME> TicksToSystemTime(std::int64_t ticks);

// The PC's clock, UTC, at the millisecond resolution of GetSystemTime.
std::int64_t CurrentUtcTicks();

// UTC time of a transmit timestamp's whole second (milliseconds 0).
SYSTEMTIME NtpSecondsToSystemTime(std::uint32_t ntpSeconds);

// Moves `time` by `offsetMs`; carries into seconds, days, months and years. A result
// outside SYSTEMTIME's range leaves `time` unchanged.
void AddOffset(std::int64_t offsetMs, SYSTEMTIME& time);

}  // namespace velmora
