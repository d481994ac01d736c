#pragma once
// Setting the local clock by an offset, through a seam so tests never touch the real clock.
#include <windows.h>

#include <cstdint>
#include <optional>

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

// SYSTEMTIME <-> FILETIME count, empty where the system's conversions fail.
std::optional<std::uint64_t> ToFileTicks(const SYSTEMTIME& time);
std::optional<SYSTEMTIME> FromFileTicks(std::uint64_t ticks);

// Adds `offsetMs` to the clock's current time and sets the result. A sum that no longer
// converts to a SYSTEMTIME sets the time that was read. Returns what the clock's Set returned.
bool ApplyClockOffset(std::int64_t offsetMs, LocalClock& clock);

}  // namespace velmora
