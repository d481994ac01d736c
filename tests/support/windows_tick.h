#pragma once
// Windows' ordinary clock reads as they behave on Windows, where they change only once per
// system tick (15.625 ms); under Wine GetSystemTime and GetLocalTime are exact. Each is the
// precise clock at its last tick, so the steps of all of them fall on the same instants, as
// on Windows.
#include <windows.h>

#include <cstdint>

#include "common/clock_tick.h"
#include "common/file_time.h"

namespace velmora::testing {

// GetSystemTime.
inline SYSTEMTIME TickedSystemTime() {
    // FileTimeToSystemTime keeps whole milliseconds, as GetSystemTime does.
    return TicksToSystemTime(AtLastTick(PreciseUtcTicks(), kWindowsTickFileTicks)).value_or(SYSTEMTIME{});
}

// GetLocalTime.
inline SYSTEMTIME TickedLocalTime() {
    const SYSTEMTIME utc = TickedSystemTime();
    SYSTEMTIME local = utc;
    ::SystemTimeToTzSpecificLocalTime(nullptr, &utc, &local);
    return local;
}

// The UTC FILETIME count of GetSystemTime, as the query's clock seam takes it.
inline std::int64_t TickedUtcTicks() {
    return static_cast<std::int64_t>(TruncateToMillisecond(AtLastTick(PreciseUtcTicks(), kWindowsTickFileTicks)));
}

// GetTickCount: milliseconds that change at the same ticks.
inline std::uint32_t TickedTickCount() {
    return static_cast<std::uint32_t>(AtLastTick(PreciseUtcTicks(), kWindowsTickFileTicks) / kFileTicksPerMillisecond);
}

}  // namespace velmora::testing
