#pragma once
// Setting the local clock by an offset, through a seam so tests never touch the real clock.
#include <windows.h>

#include <cstdint>

namespace velmora {

class LocalClock {
public:
    virtual ~LocalClock() = default;
    virtual SYSTEMTIME Now() = 0;
    // False when the clock was not set; GetLastError tells why.
    virtual bool Set(const SYSTEMTIME& time) = 0;
};

// GetLocalTime / SetLocalTime.
class SystemLocalClock final : public LocalClock {
public:
    SYSTEMTIME Now() override;
    bool Set(const SYSTEMTIME& time) override;
};

// No offset may set the clock before the day this program was built: such a time can only
// come from a wrong or forged answer. FILETIME ticks, a day early for any time zone.
inline constexpr std::uint64_t kEarliestSettableTicks =
    (std::uint64_t{VELMORA_BUILD_UNIX_SECONDS} - 86'400) * 10'000'000 + 116'444'736'000'000'000;

// Adds `offsetMs` to the clock's current time and sets the result. A sum that no longer
// converts to a SYSTEMTIME sets the time that was read; a result before `earliestTicks` is
// refused (ERROR_INVALID_TIME) and nothing is set. ERROR_SUCCESS when the clock was set,
// otherwise why not.
DWORD ApplyClockOffset(std::int64_t offsetMs, LocalClock& clock, std::uint64_t earliestTicks = kEarliestSettableTicks);

}  // namespace velmora
