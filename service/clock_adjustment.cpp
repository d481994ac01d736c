#include "service/clock_adjustment.h"

#include "common/clock_tick.h"
#include "common/file_time.h"
#include "common/file_time_offset.h"

namespace velmora {
namespace {

std::int64_t PerformanceCount() {
    LARGE_INTEGER counter;
    ::QueryPerformanceCounter(&counter);
    return counter.QuadPart;
}

// FILETIME ticks between two performance counts.
std::uint64_t ElapsedTicks(std::int64_t from, std::int64_t to) {
    static const std::int64_t frequency = [] {
        LARGE_INTEGER f;
        ::QueryPerformanceFrequency(&f);
        return f.QuadPart;
    }();
    const std::int64_t counts = to - from;
    return static_cast<std::uint64_t>(counts / frequency * 10'000'000 + counts % frequency * 10'000'000 / frequency);
}

}  // namespace

std::uint64_t SystemClock::Now() { return PreciseUtcTicks(); }

bool SystemClock::Set(std::uint64_t utcTicks) {
    // SetSystemTime takes whole milliseconds. Rather than drop up to one of them, wait (less
    // than a millisecond) until the time asked for has run on to a whole millisecond, and set
    // that; the clock then keeps the sub-millisecond part. A thread held up on the way gets
    // the nearest millisecond of the time it was late to.
    if (!TicksToSystemTime(utcTicks)) {
        ::SetLastError(ERROR_INVALID_PARAMETER);
        return false;
    }
    const std::int64_t called = PerformanceCount();
    const auto askedNow = [&] { return utcTicks + ElapsedTicks(called, PerformanceCount()); };
    const std::uint64_t whole = CeilToMillisecond(utcTicks);
    while (askedNow() < whole) YieldProcessor();
    std::optional<SYSTEMTIME> time = TicksToSystemTime(RoundToMillisecond(askedNow()));
    if (!time) time = TicksToSystemTime(TruncateToMillisecond(utcTicks));  // the very end of the range
    return setSystemTime_(&*time) != FALSE;
}

DWORD ApplyClockOffset(std::int64_t offsetMs, LocalClock& clock, std::uint64_t earliestTicks) {
    const std::uint64_t now = clock.Now();
    std::uint64_t time = AddOffsetToFileTime(now, offsetMs);
    if (!TicksToSystemTime(time)) time = now;
    if (time < earliestTicks) return ERROR_INVALID_TIME;
    if (clock.Set(time)) return ERROR_SUCCESS;
    const DWORD error = ::GetLastError();
    return error == ERROR_SUCCESS ? ERROR_GEN_FAILURE : error;
}

}  // namespace velmora
