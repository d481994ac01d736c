#pragma once
// SYSTEMTIME <-> FILETIME counts (100 ns units since 1601-01-01) and moving a SYSTEMTIME by
// an offset, for both programs. The arithmetic itself is file_time_offset.h's.
#include <windows.h>

#include <cstdint>
#include <optional>

namespace velmora {

// Empty where the system's conversion refuses the value (a field out of range; a count of
// 2^63 or more).
std::optional<std::uint64_t> SystemTimeToTicks(const SYSTEMTIME& time);
std::optional<SYSTEMTIME> TicksToSystemTime(std::uint64_t ticks);

// The PC's clock, UTC, as FILETIME ticks at the finest resolution the system has:
// GetSystemTimePreciseAsFileTime (Windows 8 and later, looked up at run time), otherwise
// GetSystemTimeAsFileTime, which advances only once per system tick.
std::uint64_t PreciseUtcTicks();

// Moves `time` by `offsetMs`; carries into seconds, days, months and years. A result
// outside SYSTEMTIME's range leaves `time` unchanged.
void AddOffset(std::int64_t offsetMs, SYSTEMTIME& time);

}  // namespace velmora
