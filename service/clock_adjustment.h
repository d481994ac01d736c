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

// Adds `offsetMs` to the clock's current time and sets the result. A sum that no longer
// converts to a SYSTEMTIME sets the time that was read. Returns what the clock's Set returned.
bool ApplyClockOffset(std::int64_t offsetMs, LocalClock& clock);

}  // namespace velmora
