#include "service/clock_adjustment.h"

#include "common/file_time.h"

namespace velmora {

SYSTEMTIME SystemLocalClock::Now() {
    SYSTEMTIME now;
    ::GetLocalTime(&now);
    return now;
}

bool SystemLocalClock::Set(const SYSTEMTIME& time) { return ::SetLocalTime(&time) != FALSE; }

bool ApplyClockOffset(std::int64_t offsetMs, LocalClock& clock) {
    SYSTEMTIME time = clock.Now();
    AddOffset(offsetMs, time);
    return clock.Set(time);
}

}  // namespace velmora
