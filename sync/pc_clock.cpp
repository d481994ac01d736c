#include "sync/pc_clock.h"

#include <utility>

namespace velmora {
namespace {
PcClockOverride installed;
}

SYSTEMTIME PcUtcTime() {
    if (installed.utc) return installed.utc();
    SYSTEMTIME now;
    ::GetSystemTime(&now);
    return now;
}

SYSTEMTIME PcLocalTime() {
    if (installed.local) return installed.local();
    SYSTEMTIME now;
    ::GetLocalTime(&now);
    return now;
}

PcClockOverride SetPcClockOverride(PcClockOverride replacement) { return std::exchange(installed, std::move(replacement)); }

}  // namespace velmora
