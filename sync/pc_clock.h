#pragma once
// The PC's clock as the desktop program reads it. Tests replace it to put the program at a
// chosen moment; nothing here ever sets the clock.
#include <windows.h>

#include <functional>

namespace velmora {

SYSTEMTIME PcUtcTime();    // GetSystemTime
SYSTEMTIME PcLocalTime();  // GetLocalTime

struct PcClockOverride {
    std::function<SYSTEMTIME()> utc;
    std::function<SYSTEMTIME()> local;
};
// Installs replacements (empty members keep the real clock); returns the previous ones.
PcClockOverride SetPcClockOverride(PcClockOverride replacement);

}  // namespace velmora
