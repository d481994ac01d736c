#include "sync/time_convert.h"

#include "common/clock_tick.h"
#include "common/file_time.h"
#include "sync/time_arithmetic.h"

namespace velmora {

std::int64_t CurrentUtcTicks() {
    // A valid FILETIME is below 2^63, so the count fits.
    return static_cast<std::int64_t>(TruncateToMillisecond(PreciseUtcTicks()));
}

std::uint32_t PerformanceMilliseconds() {
    // QueryPerformanceCounter cannot fail on Windows XP and later.
    static const std::int64_t frequency = [] {
        LARGE_INTEGER f;
        ::QueryPerformanceFrequency(&f);
        return f.QuadPart;
    }();
    LARGE_INTEGER counter;
    ::QueryPerformanceCounter(&counter);
    // In two parts, so that counts times 1000 cannot overflow on a fast counter.
    const std::int64_t ms = counter.QuadPart / frequency * 1000 + counter.QuadPart % frequency * 1000 / frequency;
    return static_cast<std::uint32_t>(ms);
}

SYSTEMTIME NtpSecondsToSystemTime(std::uint32_t ntpSeconds) {
    // 1970..2106 is always inside SYSTEMTIME's range.
    return *TicksToSystemTime(static_cast<std::uint64_t>(NtpSecondsToFileTicks(ntpSeconds)));
}

}  // namespace velmora
