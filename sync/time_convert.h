#pragma once
// The desktop program's readings of the PC clock as FILETIME counts, and NTP seconds as a
// SYSTEMTIME. The conversions themselves are common/file_time.h's.
#include <windows.h>

#include <cstdint>

namespace velmora {

// The PC's clock, UTC, at the millisecond resolution of GetSystemTime.
std::int64_t CurrentUtcTicks();

// UTC time of a transmit timestamp's whole second (milliseconds 0).
SYSTEMTIME NtpSecondsToSystemTime(std::uint32_t ntpSeconds);

}  // namespace velmora
