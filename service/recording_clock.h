#pragma once
// A clock that records the changes the service would make instead of making them, so tests,
// benchmarks and diagnosis can watch the service from outside without moving the PC's clock.
#include <windows.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "service/clock_adjustment.h"

namespace velmora {

// Behaves as the system clock would if the recorded changes had been made: it runs with the
// PC's clock, and each Set puts it at the time asked for as of that moment, whatever it read
// before (as SetSystemTime does). Each Set appends one line to the file:
//   read=<FILETIME ticks> set=<FILETIME ticks> moved=<milliseconds> at=<FILETIME ticks>
// read: what the last Now returned; set: the time it was asked to take; moved: set - read in
// whole milliseconds; at: its own exact time at the Set, so that set - at is how far it really
// moved. All UTC.
//
// With a tick, what Now returns advances in steps of that many FILETIME ticks and is cut to
// whole milliseconds, as an ordinary clock read (GetSystemTime, GetLocalTime) is on Windows:
// 156,250 is its 15.625 ms. The service reads the precise clock, which has no steps; the tick
// shows what a read at the tick would cost a synchronisation.
class RecordingLocalClock final : public LocalClock {
public:
    // `pcClock`: the PC's precise UTC time in FILETIME ticks; tests pass their own.
    RecordingLocalClock(std::wstring path, std::uint64_t tick = 0,
                        std::function<std::uint64_t()> pcClock = nullptr);
    std::uint64_t Now() override;
    bool Set(std::uint64_t utcTicks) override;

private:
    std::wstring path_;
    std::uint64_t tick_;
    std::function<std::uint64_t()> pcClock_;
    std::uint64_t shift_ = 0;     // FILETIME ticks, modulo 2^64 so that it may be negative
    std::uint64_t lastRead_ = 0;  // FILETIME ticks
};

// The recording clock when the service's "Clock Record File" value names a file (with the
// tick of its "Clock Record Tick" value), otherwise the system clock. A missing or unreadable
// value means the system clock, and no tick.
std::unique_ptr<LocalClock> SelectServiceClock();

}  // namespace velmora
