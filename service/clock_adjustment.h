#pragma once
// Setting the PC's clock by an offset, through a seam so tests never touch the real clock.
#include <windows.h>

#include <cstdint>

namespace velmora {

// The PC's clock in UTC FILETIME ticks (100 ns units since 1601-01-01). UTC, because a local
// time is turned into the system's UTC with the time-zone rules in force when it is set, so a
// time set across a daylight-saving change would land an hour off.
class LocalClock {
public:
    virtual ~LocalClock() = default;
    virtual std::uint64_t Now() = 0;
    // Puts the clock at `utcTicks` as of this call. False when the clock was not set;
    // GetLastError tells why.
    virtual bool Set(std::uint64_t utcTicks) = 0;
};

// The system clock: read with common/file_time.h's PreciseUtcTicks (not at the last 15.625 ms
// system tick, as GetSystemTime and GetLocalTime read it), set with SetSystemTime.
class SystemClock final : public LocalClock {
public:
    using SetSystemTimeFunction = BOOL(WINAPI*)(const SYSTEMTIME*);
    // Tests hand in a stand-in for SetSystemTime, so they can look at what would be set.
    explicit SystemClock(SetSystemTimeFunction setSystemTime = ::SetSystemTime) : setSystemTime_(setSystemTime) {}
    std::uint64_t Now() override;
    bool Set(std::uint64_t utcTicks) override;

private:
    SetSystemTimeFunction setSystemTime_;
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
