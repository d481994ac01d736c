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

// Adds `offsetMs` to the clock's current time and sets the result. A sum that no longer
// converts to a SYSTEMTIME sets the time that was read. Returns what the clock's Set returned.
bool ApplyClockOffset(std::int64_t offsetMs, LocalClock& clock);

}  // namespace velmora
