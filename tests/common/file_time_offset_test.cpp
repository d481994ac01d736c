#include "common/file_time_offset.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>

namespace velmora {
namespace {

constexpr std::uint64_t kNoon = 133'900'000'000'000'000;  // an ordinary 2025 instant

TEST(FileTimeOffset, MovesByTenThousandTicksPerMillisecond) {
    EXPECT_EQ(AddOffsetToFileTime(kNoon, 1000), kNoon + 10'000'000);
    EXPECT_EQ(AddOffsetToFileTime(kNoon, -250), kNoon - 2'500'000);
    EXPECT_EQ(AddOffsetToFileTime(kNoon, 0), kNoon);
    EXPECT_EQ(AddOffsetToFileTime(kNoon, 2147483647), kNoon + 21'474'836'470'000);
}

TEST(FileTimeOffset, CarriesAcrossTheNewYear) {
    constexpr std::uint64_t kNewYear = 134'432'352'000'000'000;  // 2027-01-01 00:00:00 UTC
    EXPECT_EQ(AddOffsetToFileTime(kNewYear + 5'000'000, -1000), kNewYear - 5'000'000);
    EXPECT_EQ(AddOffsetToFileTime(kNewYear, 0), kNewYear);
    EXPECT_EQ(AddOffsetToFileTime(kNewYear, 250), kNewYear + 2'500'000);
}

TEST(FileTimeOffset, HostileOffsetsWrapModuloTwoToThe64) {
    constexpr auto kMax = std::numeric_limits<std::int64_t>::max();
    constexpr auto kMin = std::numeric_limits<std::int64_t>::min();
    struct Case {
        const char* what;
        std::uint64_t ticks;
        std::int64_t offsetMs;
        std::uint64_t expected;
    } const cases[] = {
        {"before 1601 wraps to the top of the range", 5, -1, 18'446'744'073'709'541'621u},
        {"past 2^63 is no longer a valid FILETIME", kNoon, 922'337'203'685'477, 9'357'272'036'854'770'000u},
        {"the largest offset times 10,000 is -10,000 modulo 2^64", kNoon, kMax, kNoon - 10'000},
        {"the most negative offset times 10,000 is 0 modulo 2^64", kNoon, kMin, kNoon},
    };
    for (const Case& c : cases) EXPECT_EQ(AddOffsetToFileTime(c.ticks, c.offsetMs), c.expected) << c.what;
}

}  // namespace
}  // namespace velmora
