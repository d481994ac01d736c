#include "display/clock_time_rounding.h"

#include "sync/time_arithmetic.h"

namespace velmora {

std::int64_t RoundToComingSecond(std::int64_t ticks) {
    const std::int64_t milliseconds = ticks / kTicksPerMillisecond % 1000;
    if (milliseconds <= 950) return ticks;
    return ticks + (1000 - milliseconds) * kTicksPerMillisecond;
}

}  // namespace velmora
