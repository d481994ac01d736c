#include "app/clock_timing.h"

#include <algorithm>

namespace velmora {

std::uint32_t LocalTickDelay(int milliseconds) {
    const int untilNextSecond = 1000 - milliseconds;
    return static_cast<std::uint32_t>(untilNextSecond >= 500 ? untilNextSecond : milliseconds);
}

std::uint32_t ServerTickDelay(int serverMilliseconds) { return static_cast<std::uint32_t>(1000 - serverMilliseconds); }

std::uint32_t AutoSyncPeriodMs(std::int32_t syncEveryMinutes) {
    const std::int64_t minutes = std::clamp<std::int64_t>(syncEveryMinutes, 1, kMaxSyncMinutes);
    return static_cast<std::uint32_t>(minutes * 60'000);
}

}  // namespace velmora
