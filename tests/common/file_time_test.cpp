// Moving a SYSTEMTIME by an offset through FILETIME counts, as both programs do.
#include "common/file_time.h"

#include <gtest/gtest.h>

#include <cstring>

namespace velmora {
namespace {

TEST(AddOffset, CarriesAcrossTheYearAndLeavesZeroAlone) {
    SYSTEMTIME t{2027, 1, 5, 1, 0, 0, 0, 500};  // Friday 1 January 2027, 00:00:00.500
    AddOffset(-1000, t);
    EXPECT_EQ(t.wYear, 2026);
    EXPECT_EQ(t.wMonth, 12);
    EXPECT_EQ(t.wDay, 31);
    EXPECT_EQ(t.wHour, 23);
    EXPECT_EQ(t.wMinute, 59);
    EXPECT_EQ(t.wSecond, 59);
    EXPECT_EQ(t.wMilliseconds, 500);

    SYSTEMTIME same{2026, 12, 4, 10, 3, 4, 5, 6};
    const SYSTEMTIME before = same;
    AddOffset(0, same);
    EXPECT_EQ(std::memcmp(&same, &before, sizeof same), 0);
}

TEST(AddOffset, AResultBeforeSixteenOOneLeavesTheTimeAlone) {
    SYSTEMTIME t{1601, 1, 1, 1, 0, 0, 0, 0};
    AddOffset(-1000, t);
    EXPECT_EQ(t.wYear, 1601);
    EXPECT_EQ(t.wSecond, 0);
}

TEST(FileTimeConversion, CountsFromTwoToTheSixtyThreeOnAreNoTime) {
    EXPECT_FALSE(TicksToSystemTime(std::uint64_t{1} << 63).has_value());
    EXPECT_FALSE(TicksToSystemTime(~std::uint64_t{0}).has_value());
    const SYSTEMTIME epoch{1601, 1, 1, 1, 0, 0, 0, 0};
    EXPECT_EQ(SystemTimeToTicks(epoch), std::uint64_t{0});
    EXPECT_EQ(SystemTimeToTicks(SYSTEMTIME{2026, 13, 0, 1, 0, 0, 0, 0}), std::nullopt) << "month 13";
}

}  // namespace
}  // namespace velmora
