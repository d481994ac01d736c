#pragma once
// A clock that records the changes the service would make instead of making them, so tests
// and diagnosis can watch the service from outside without moving the PC's clock.
#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>

#include "service/clock_adjustment.h"

namespace velmora {

// Reads the PC's local time, shifted by every change recorded so far, so it behaves like a
// clock that was set. Each Set appends one line to the file:
//   read=<FILETIME ticks> set=<FILETIME ticks> moved=<milliseconds>
// read: the local time that the last Now returned; set: the time it was asked to take.
class RecordingLocalClock final : public LocalClock {
public:
    explicit RecordingLocalClock(std::wstring path);
    SYSTEMTIME Now() override;
    bool Set(const SYSTEMTIME& time) override;

private:
    std::wstring path_;
    std::uint64_t shift_ = 0;     // FILETIME ticks, modulo 2^64 so that it may be negative
    std::uint64_t lastRead_ = 0;  // FILETIME ticks
};

// The recording clock when the service's "Clock Record File" value names a file,
// otherwise the real one. A missing or unreadable value means the real clock.
std::unique_ptr<LocalClock> SelectServiceClock();

}  // namespace velmora
