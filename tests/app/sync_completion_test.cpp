// How a query's start and result reach the shared state and the rest of the program.
#include "app/sync_completion.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace velmora {
namespace {

class RecordingEvents : public SyncSteps {
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
        ServerOffset = 1234;
        ClockAdjusted = false;
        StatusText = L"earlier";
    }

    static SntpMeasurement Measured(std::int64_t offset) {
        SntpMeasurement m;
        m.offsetMs = offset;
        m.roundTripMs = 3;
        return m;
    }

    RecordingEvents events;
};

using Calls = std::vector<std::wstring>;

TEST_F(SyncCompletionTest, AStartingQueryForgetsTheOffsetBeforeFinishSync) {
    BeginSntpQuery(true, events);
    EXPECT_EQ(ServerOffset, NoServerTime);
    EXPECT_EQ(StatusText, L"earlier");
    EXPECT_EQ(events.calls, Calls{L"FinishSync(adjust) offset=none"});
}

TEST_F(SyncCompletionTest, ASuccessStoresOffsetPublishesThenFinishesAgain) {
    BeginSntpQuery(false, events);
    CompleteSntpQuery(Measured(-250), false, events);
    EXPECT_EQ(ServerOffset, -250);
    EXPECT_EQ(StatusText, L"Difference: -250 ms");
    EXPECT_EQ(events.calls, (Calls{L"FinishSync(show) offset=none", L"RefreshServerTexts offset=-250",
                                   L"RedrawStatus Difference: -250 ms", L"FinishSync(show) offset=-250"}));
}

TEST_F(SyncCompletionTest, AFailurePublishesItsTextAndDoesNotFinishAgain) {
    for (const wchar_t* failure : {L"Network error #1", L"Network error #2", L"Could not resolve", L"Could not connect"}) {
        events.calls.clear();
        BeginSntpQuery(true, events);
        CompleteSntpQuery(SntpMeasurement{failure}, true, events);
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
        CompleteSntpQuery(Measured(c.measured), false, events);
        EXPECT_EQ(ServerOffset, c.stored) << c.measured;
        EXPECT_EQ(StatusText, c.status) << c.measured;
        const bool refreshed = !events.calls.empty() && events.calls.front().starts_with(L"RefreshServerTexts");
        EXPECT_EQ(refreshed, c.refreshed) << c.measured;
    }
}

TEST_F(SyncCompletionTest, ZeroBeforeAnyAdjustmentIsTimeIsCorrect) {
    CompleteSntpQuery(Measured(0), true, events);
    EXPECT_EQ(ServerOffset, 0);
    EXPECT_EQ(StatusText, L"Time is correct");
}

}  // namespace
}  // namespace velmora
