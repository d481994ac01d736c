#include "sync/time_arithmetic.h"

#include <gtest/gtest.h>

#include "sync/sync_texts.h"

namespace velmora {
namespace {

constexpr std::int64_t UnixTicks(std::int64_t unixSeconds) { return unixSeconds * kTicksPerSecond + kUnixEpochTicks; }

TEST(NtpSecondsConversion, CoversNineteenSeventyToTwentyOneOSix) {
    struct Case {
        const char* when;
        std::uint32_t ntpSeconds;
        std::int64_t unixSeconds;
    } const cases[] = {
        {"1970-01-01 00:00:00", 2208988800u, 0},
        {"2000-01-01 00:00:00", 3155673600u, 946684800},
        {"2038-01-19 03:14:08, past signed 32-bit Unix time", 61505152u, 2147483648},
        {"2036-02-07 06:28:16, the era wrap (all-zero field)", 0u, 2085978496},
        {"2040-01-01 00:00:00, era 1", 123010304u, 2208988800},
        {"2106-02-07 06:28:15, the last second", 2208988799u, 4294967295},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(NtpSecondsToFileTicks(c.ntpSeconds), UnixTicks(c.unixSeconds)) << c.when;
    }
}

TEST(FractionConversion, TruncatesToMillisecondsOverTwoToThe32MinusOne) {
    struct Case {
        std::uint32_t fraction;
        std::int64_t ms;
    } const cases[] = {{0, 0}, {0x80000000u, 500}, {0xFFFFFFFFu, 1000}, {0x7FFFFFFFu, 499}, {4294968u, 1}, {4294966u, 0}};
    for (const Case& c : cases) EXPECT_EQ(FractionToMilliseconds(c.fraction), c.ms) << std::hex << c.fraction;
}

TEST(RoundTrip, IsElapsedTicksAcrossACounterWrap) {
    EXPECT_EQ(RoundTripMilliseconds(100, 137), 37);
    EXPECT_EQ(RoundTripMilliseconds(0xFFFFFFF0u, 0x00000010u), 32);
    EXPECT_EQ(RoundTripMilliseconds(5, 5), 0);
}

TEST(ServerTime, AddsFractionAndHalfTheRoundTripTruncated) {
    const NtpTimestamp t{3155673600u, 0x80000000u};
    EXPECT_EQ(ServerTimeAtAnswer(t, 37), UnixTicks(946684800) + (500 + 18) * kTicksPerMillisecond);
    EXPECT_EQ(ServerTimeAtAnswer(t, 1), UnixTicks(946684800) + 500 * kTicksPerMillisecond);
    EXPECT_EQ(ServerTimeAtAnswer({3155673600u, 0xFFFFFFFFu}, 0), UnixTicks(946684801));
}

TEST(Offset, IsServerMinusPcTruncatedTowardZero) {
    const std::int64_t pc = UnixTicks(1'700'000'000);
    struct Case {
        const char* what;
        std::int64_t serverMinusPcTicks;
        std::int64_t ms;
    } const cases[] = {
        {"1.5 s ahead", 15'000'000, 1500},
        {"0.9999 ms ahead", 9'999, 0},
        {"2.5 ms behind", -25'000, -2},
        {"exactly equal", 0, 0},
        {"a day behind", -864'000'000'000, -86'400'000},
    };
    for (const Case& c : cases) EXPECT_EQ(OffsetMilliseconds(pc + c.serverMinusPcTicks, pc), c.ms) << c.what;
}

TEST(Offset, AfterAnAdjustmentOnlyResidueUnderTwentyMsSettlesToZero) {
    struct Case {
        std::int64_t measured;
        bool adjusted;
        std::int64_t kept;
    } const cases[] = {
        {19, true, 0},   {0, true, 0},     {-19, true, 0},     {20, true, 20},
        {-20, true, -20}, {-5000, true, -5000}, {19, false, 19}, {-19, false, -19},
    };
    for (const Case& c : cases)
        EXPECT_EQ(SettleOffset(c.measured, c.adjusted), c.kept) << c.measured << (c.adjusted ? " adjusted" : "");
}

TEST(ResultText, NamesTheDifferenceOrSaysTheTimeIsCorrect) {
    EXPECT_EQ(SyncResultText(0), L"Time is correct");
    EXPECT_EQ(SyncResultText(-250), L"Difference: -250 ms");
    EXPECT_EQ(SyncResultText(1500), L"Difference: 1500 ms");
    EXPECT_EQ(ConnectionTimeTrace(37), L"connection time: 37\r\n");
    EXPECT_EQ(DifferenceTrace(-250), L"difference: -250\r\n");
}

}  // namespace
}  // namespace velmora
