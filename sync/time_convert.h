#pragma once
// The desktop program's readings of the PC clock for a measurement, and NTP seconds as a
// SYSTEMTIME. The conversions themselves are common/file_time.h's.
#include <windows.h>

#include <cstdint>

namespace velmora {

// The PC's clock, UTC, read precisely (common/file_time.h's PreciseUtcTicks, which on Windows
// does not lag behind by up to a 15.625 ms system tick as GetSystemTime does) and kept to the
// whole millisecond a SYSTEMTIME carries. The server's time is cut to whole milliseconds too,
// so the two cuts cancel on average; a finer PC time would make offsets about 1 ms short.
std::int64_t CurrentUtcTicks();

// A millisecond counter from QueryPerformanceCounter for the round trip: it wraps at 2^32 as
// GetTickCount does, but has no 15.625 ms steps.
std::uint32_t PerformanceMilliseconds();

// UTC time of a transmit timestamp's whole second (milliseconds 0).
SYSTEMTIME NtpSecondsToSystemTime(std::uint32_t ntpSeconds);

}  // namespace velmora
