// How a query's start and result reach the shared state and the rest of the program.
#include <gtest/gtest.h>

#include <cstring>
#include <future>
#include <string>
#include <thread>
#include <vector>

#include "sync/sntp_query.h"
#include "sync/sync_state.h"
#include "sync/time_convert.h"
#include "tests/support/sntp_test_server.h"

namespace velmora {
namespace {

class RecordingEvents : public SyncEvents {
public:
    void FinishSync(bool adjust) override {
        calls.push_back(adjust ? L"FinishSync(adjust) offset=" + Offset() : L"FinishSync(show) offset=" + Offset());
    }
    void RedrawStatus() override { calls.push_back(L"RedrawStatus " + StatusText); }
    void RefreshServerTexts() override { calls.push_back(L"RefreshServerTexts offset=" + Offset()); }

    static std::wstring Offset() { return ServerOffset == NoServerTime ? L"none" : std::to_wstring(ServerOffset); }
    std::vector<std::wstring> calls;
};

class SyncCompletionTest : public ::testing::Test {
protected:
    void SetUp() override {
        previous_ = SetSyncEvents(&events);
        ServerOffset = 1234;
        ClockAdjusted = false;
        StatusText = L"earlier";
    }
    void TearDown() override { SetSyncEvents(previous_); }

    static SntpMeasurement Measured(std::int64_t offset) {
        SntpMeasurement m;
        m.offsetMs = offset;
        m.roundTripMs = 3;
        return m;
    }

    RecordingEvents events;

private:
    SyncEvents* previous_ = nullptr;
};

using Calls = std::vector<std::wstring>;

TEST_F(SyncCompletionTest, AStartingQueryForgetsTheOffsetBeforeFinishSync) {
    BeginSntpQuery(true);
    EXPECT_EQ(ServerOffset, NoServerTime);
    EXPECT_EQ(StatusText, L"earlier");
    EXPECT_EQ(events.calls, Calls{L"FinishSync(adjust) offset=none"});
}

TEST_F(SyncCompletionTest, ASuccessStoresOffsetPublishesThenFinishesAgain) {
    BeginSntpQuery(false);
    CompleteSntpQuery(Measured(-250), false);
    EXPECT_EQ(ServerOffset, -250);
    EXPECT_EQ(StatusText, L"Difference: -250 ms");
    EXPECT_EQ(events.calls, (Calls{L"FinishSync(show) offset=none", L"RefreshServerTexts offset=-250",
                                   L"RedrawStatus Difference: -250 ms", L"FinishSync(show) offset=-250"}));
}

TEST_F(SyncCompletionTest, AFailurePublishesItsTextAndDoesNotFinishAgain) {
    for (const wchar_t* failure : {L"Network error #1", L"Network error #2", L"Could not resolve", L"Could not connect"}) {
        events.calls.clear();
        BeginSntpQuery(true);
        CompleteSntpQuery(SntpMeasurement{failure}, true);
        EXPECT_EQ(ServerOffset, NoServerTime) << failure;
        EXPECT_EQ(StatusText, failure);
        EXPECT_EQ(events.calls, (Calls{L"FinishSync(adjust) offset=none", L"RedrawStatus " + std::wstring(failure)}));
    }
}

TEST_F(SyncCompletionTest, AfterAnAdjustmentResidueReadsAsTimeIsCorrect) {
    struct Case {
        std::int64_t measured;
        std::int64_t stored;
        const wchar_t* status;
        bool refreshed;
    } const cases[] = {
        {19, 0, L"Time is correct", false},
        {-19, 0, L"Time is correct", false},
        {20, 20, L"Difference: 20 ms", true},
        {-20, -20, L"Difference: -20 ms", true},
    };
    ClockAdjusted = true;
    for (const Case& c : cases) {
        events.calls.clear();
        CompleteSntpQuery(Measured(c.measured), false);
        EXPECT_EQ(ServerOffset, c.stored) << c.measured;
        EXPECT_EQ(StatusText, c.status) << c.measured;
        const bool refreshed = !events.calls.empty() && events.calls.front().starts_with(L"RefreshServerTexts");
        EXPECT_EQ(refreshed, c.refreshed) << c.measured;
    }
}

TEST_F(SyncCompletionTest, ZeroBeforeAnyAdjustmentIsTimeIsCorrect) {
    CompleteSntpQuery(Measured(0), true);
    EXPECT_EQ(ServerOffset, 0);
    EXPECT_EQ(StatusText, L"Time is correct");
}

// The worker only measures: it hands its result, with the adjust flag, to whoever the
// delivery names, on its own thread, and leaves the shared state alone.
TEST_F(SyncCompletionTest, TheWorkerDeliversItsMeasurementWithoutTouchingSharedState) {
    testing::SntpTestServer server(R"("offset_ms": 900)");
    const SntpTarget target = server.Target();
    std::promise<std::pair<SntpMeasurement, bool>> delivered;
    std::thread::id deliveredOn;
    std::thread worker([&] {
        RunSntpQuery(true, target, [&](SntpMeasurement m, bool adjust) {
            deliveredOn = std::this_thread::get_id();
            delivered.set_value({std::move(m), adjust});
        }, DefaultSntpQueryOptions());
    });
    const std::thread::id workerId = worker.get_id();
    auto result = delivered.get_future();
    ASSERT_EQ(result.wait_for(std::chrono::seconds(10)), std::future_status::ready);
    worker.join();
    const auto [measurement, adjust] = result.get();
    EXPECT_TRUE(adjust);
    EXPECT_EQ(deliveredOn, workerId);
    EXPECT_NEAR(static_cast<double>(measurement.offsetMs), 900, 25.0);
    EXPECT_EQ(ServerOffset, 1234);
    EXPECT_EQ(StatusText, L"earlier");
    EXPECT_TRUE(events.calls.empty());
}

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

TEST(NtpSecondsToSystemTimeTest, AnAllZeroTimestampIsTheEraWrap) {
    const SYSTEMTIME t = NtpSecondsToSystemTime(0);
    EXPECT_EQ(t.wYear, 2036);
    EXPECT_EQ(t.wMonth, 2);
    EXPECT_EQ(t.wDay, 7);
    EXPECT_EQ(t.wHour, 6);
    EXPECT_EQ(t.wMinute, 28);
    EXPECT_EQ(t.wSecond, 16);
    EXPECT_EQ(t.wMilliseconds, 0);
}

}  // namespace
}  // namespace velmora
