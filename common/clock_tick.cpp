#include "common/clock_tick.h"

namespace velmora {

std::uint64_t AtLastTick(std::uint64_t ticks, std::uint64_t period) {
    return period == 0 ? ticks : ticks - ticks % period;
}

std::uint64_t TruncateToMillisecond(std::uint64_t ticks) { return AtLastTick(ticks, kFileTicksPerMillisecond); }

std::uint64_t RoundToMillisecond(std::uint64_t ticks) {
    return TruncateToMillisecond(ticks + kFileTicksPerMillisecond / 2);
}

std::uint64_t CeilToMillisecond(std::uint64_t ticks) {
    return TruncateToMillisecond(ticks + kFileTicksPerMillisecond - 1);
}

}  // namespace velmora
