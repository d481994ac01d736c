#pragma once
// The clock texts show the coming second once less than 50 ms of the current one remain:
// a redraw that fires a moment early must not show the second that is about to end.
#include <cstdint>

namespace velmora {

// FILETIME ticks; rounded up to the next whole second when the millisecond part is above 950.
std::int64_t RoundToComingSecond(std::int64_t ticks);

}  // namespace velmora
