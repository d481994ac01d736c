#pragma once
// When the clock timers fire next. No Windows here.
#include <cstdint>

namespace velmora {

// After a local tick at `milliseconds` past the second: a tick early in its second waits
// for the next whole second; one more than half a second late comes back `milliseconds`
// later, and the one after that is on a whole second again.
std::uint32_t LocalTickDelay(int milliseconds);

// Up to the server's next whole second.
std::uint32_t ServerTickDelay(int serverMilliseconds);

// The automatic synchronisation period. Minutes are clamped to 1 .. kMaxSyncMinutes, the
// largest whole number of minutes a window timer can wait; the stored setting is untouched.
inline constexpr std::int32_t kMaxSyncMinutes = 35791;
std::uint32_t AutoSyncPeriodMs(std::int32_t syncEveryMinutes);

}  // namespace velmora
