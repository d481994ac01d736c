#include "service/clock_adjustment.h"

#include "common/file_time.h"

namespace velmora {

SYSTEMTIME SystemLocalClock::Now() {
    SYSTEMTIME now;
    ::GetLocalTime(&now);
    return now;
}

bool SystemLocalClock::Set(const SYSTEMTIME& time) { return ::SetLocalTime(&time) != FALSE; }

DWORD ApplyClockOffset(std::int64_t offsetMs, LocalClock& clock, std::uint64_t earliestTicks) {
    SYSTEMTIME time = clock.Now();
    AddOffset(offsetMs, time);
    if (const auto ticks = SystemTimeToTicks(time); !ticks || *ticks < earliestTicks) return ERROR_INVALID_TIME;
    if (clock.Set(time)) return ERROR_SUCCESS;
    const DWORD error = ::GetLastError();
    return error == ERROR_SUCCESS ? ERROR_GEN_FAILURE : error;
}

}  // namespace velmora
