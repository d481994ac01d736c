// The service's two clocks: the system clock with a stand-in for SetSystemTime, and the
// recording clock that tests and benchmarks watch the installed service through.
#include "service/clock_adjustment.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <filesystem>
#include <string>
#include <vector>

#include "common/clock_tick.h"
#include "common/file_time.h"
#include "service/recording_clock.h"

namespace velmora {
namespace {

// What SystemClock handed to SetSystemTime, and the PC's precise time when it did.
struct SetCall {
    std::uint64_t time;
    std::uint64_t at;
};
std::vector<SetCall> setCalls;

BOOL WINAPI RecordSetSystemTime(const SYSTEMTIME* time) {
    setCalls.push_back({SystemTimeToTicks(*time).value_or(0), PreciseUtcTicks()});
    return TRUE;
}

TEST(SystemClock, SetsTheUtcTimeAskedForWithoutLosingItsSubMillisecond) {
    SystemClock clock(RecordSetSystemTime);
    // Truncating to the millisecond would lose up to 1 ms, rounding up to 0.5 ms.
    for (const std::uint64_t subMs : {0, 1, 2'500, 5'000, 9'999}) {
        setCalls.clear();
        const std::uint64_t calledAt = clock.Now();
        const std::uint64_t asked = TruncateToMillisecond(calledAt) + 36'000'000'000 + subMs;  // an hour on
        ASSERT_TRUE(clock.Set(asked)) << subMs;
        ASSERT_EQ(setCalls.size(), 1u) << subMs;
        // The time asked for as of the call has run on by the time SetSystemTime is reached.
        const auto error = static_cast<std::int64_t>(setCalls[0].time - (asked + (setCalls[0].at - calledAt)));
        EXPECT_LE(std::abs(error), 2'000) << subMs << ": " << error / 10'000.0 << " ms off";
    }
}

TEST(SystemClock, ATimeBeyondTheCalendarIsNotHandedOn) {
    SystemClock clock(RecordSetSystemTime);
    setCalls.clear();
    ::SetLastError(0);
    EXPECT_FALSE(clock.Set(std::uint64_t{1} << 63));
    EXPECT_EQ(::GetLastError(), DWORD{ERROR_INVALID_PARAMETER});
    EXPECT_TRUE(setCalls.empty());
}

class RecordingClockTest : public ::testing::Test {
protected:
    void SetUp() override {
        wchar_t temp[MAX_PATH];
        ::GetTempPathW(MAX_PATH, temp);
        path = std::wstring(temp) + L"velmora-recording-clock-" + std::to_wstring(::GetCurrentProcessId()) + L".txt";
        ::DeleteFileW(path.c_str());
    }
    void TearDown() override { ::DeleteFileW(path.c_str()); }

    std::vector<std::string> Lines() const {
        std::vector<std::string> lines;
        std::ifstream file{std::filesystem::path(path)};
        for (std::string line; std::getline(file, line);) lines.push_back(line);
        return lines;
    }

    static constexpr std::uint64_t kTickStart = 133'900'000'000'000'000;  // falls on a 15.625 ms tick
    std::wstring path;
    std::uint64_t pc = kTickStart;
};

TEST_F(RecordingClockTest, ASetPutsItAtTheTimeAskedForAsOfThatMoment) {
    RecordingLocalClock clock(path, 0, [this] { return pc; });
    pc += 1'234;
    EXPECT_EQ(clock.Now(), kTickStart + 1'234);
    pc += 500;  // the set comes a little after the read
    ASSERT_TRUE(clock.Set(kTickStart + 1'234 + 2'500'000));
    pc += 10'000'000;
    EXPECT_EQ(clock.Now(), kTickStart + 1'234 + 2'500'000 + 10'000'000);
    EXPECT_EQ(Lines(), std::vector<std::string>{"read=133900000000001234 set=133900000002501234 moved=250 "
                                                "at=133900000000001734"});
}

TEST_F(RecordingClockTest, WithATickItsReadsLagAndTheSetShowsWhatThatCost) {
    RecordingLocalClock clock(path, kWindowsTickFileTicks, [this] { return pc; });
    pc += 120'000;  // 12 ms after a tick
    const std::uint64_t read = clock.Now();
    EXPECT_EQ(read, kTickStart);
    ASSERT_TRUE(clock.Set(read + 2'500'000));
    // Moved by 250 ms from what it read, but only by 238 ms from where it really was.
    EXPECT_EQ(Lines(), std::vector<std::string>{"read=133900000000000000 set=133900000002500000 moved=250 "
                                                "at=133900000000120000"});
    // The steps are the PC's ticks, shifted with the clock; a read keeps whole milliseconds.
    pc += 40'000;
    EXPECT_EQ(clock.Now(), kTickStart + 2'530'000);  // the tick at 15.625 ms, moved by 238 ms
}

}  // namespace
}  // namespace velmora
