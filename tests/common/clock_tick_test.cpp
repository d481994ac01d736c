// Whole milliseconds of FILETIME counts, and the emulated Windows tick.
#include "common/clock_tick.h"

#include <gtest/gtest.h>

namespace velmora {
namespace {

constexpr std::uint64_t kSecond = 133'900'000'000'000'000;  // a whole second in 2025

TEST(ClockTick, AClockWithATickShowsItsValueAtTheLastTick) {
    struct Case {
        std::uint64_t ticks, period, shown;
    } const cases[] = {
        {kSecond, kWindowsTickFileTicks, kSecond},                // 64 ticks a second: one falls on it
        {kSecond + 156'249, kWindowsTickFileTicks, kSecond},      // just before the next
        {kSecond + 156'250, kWindowsTickFileTicks, kSecond + 156'250},
        {kSecond + 9'999'999, kWindowsTickFileTicks, kSecond + 9'843'750},  // the last of the second
        {kSecond + 123, 0, kSecond + 123},                        // no tick: every read is exact
    };
    for (const Case& c : cases) EXPECT_EQ(AtLastTick(c.ticks, c.period), c.shown) << c.ticks - kSecond;
}

TEST(ClockTick, WholeMillisecondsDownNearestAndUp) {
    struct Case {
        std::uint64_t subMs;  // 100 ns units past a whole millisecond
        std::uint64_t truncated, rounded, ceiled;
    } const cases[] = {
        {0, 0, 0, 0},
        {1, 0, 0, 10'000},
        {4'999, 0, 0, 10'000},
        {5'000, 0, 10'000, 10'000},
        {9'999, 0, 10'000, 10'000},
    };
    for (const Case& c : cases) {
        const std::uint64_t t = kSecond + 30'000 + c.subMs;
        EXPECT_EQ(TruncateToMillisecond(t), kSecond + 30'000 + c.truncated) << c.subMs;
        EXPECT_EQ(RoundToMillisecond(t), kSecond + 30'000 + c.rounded) << c.subMs;
        EXPECT_EQ(CeilToMillisecond(t), kSecond + 30'000 + c.ceiled) << c.subMs;
    }
}

}  // namespace
}  // namespace velmora
