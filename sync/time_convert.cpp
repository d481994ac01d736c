#include "sync/time_convert.h"

#include "common/file_time.h"
#include "sync/pc_clock.h"
#include "sync/time_arithmetic.h"

namespace velmora {

std::int64_t CurrentUtcTicks() {
    // A valid FILETIME is below 2^63, so the count fits.
    return static_cast<std::int64_t>(SystemTimeToTicks(PcUtcTime()).value_or(0));
}

SYSTEMTIME NtpSecondsToSystemTime(std::uint32_t ntpSeconds) {
    // 1970..2106 is always inside SYSTEMTIME's range.
    return *TicksToSystemTime(static_cast<std::uint64_t>(NtpSecondsToFileTicks(ntpSeconds)));
}

}  // namespace velmora
