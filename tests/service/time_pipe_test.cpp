// The pipe loop in this process, on a pipe of its own and with a fake clock.
#include "service/time_pipe.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdint>
#include <future>
#include <vector>

#include "common/file_time.h"
#include "common/pipe_protocol.h"
#include "tests/service/fake_service_parts.h"
#include "tests/service/pipe_test_client.h"

namespace velmora {
namespace {

using testing::CallPipe;
using testing::ConnectSilently;
using testing::DroppedByServer;
using testing::ErrorRecorder;
using testing::FakeClock;
using testing::LocalTime;
using testing::UtcTime;
using testing::StatusRecorder;
using testing::Text;
using testing::WaitUntil;
using testing::Offset;
using Bytes = std::vector<std::uint8_t>;

std::wstring UniquePipeName() {
    static std::atomic<int> counter{0};
    return L"\\\\.\\pipe\\VelmoraTest-" + std::to_wstring(::GetCurrentProcessId()) + L"-" +
           std::to_wstring(++counter);
}

class TimePipeTest : public ::testing::Test {
protected:
    // Short, so the silent-client cases stay quick; the service's own value is tested on the real service.
    static constexpr DWORD kTestMessageTimeoutMs = 300;

    void StartLoop() {
        loop_ = std::async(std::launch::async, [this] {
            RunTimePipe({.clock = clock,
                         .reporter = reporter,
                         .logError = [this](const wchar_t* operation, DWORD error,
                                            std::uint64_t notLogged) { errors.Log(operation, error, notLogged); },
                         .stopEvent = stop.get(),
                         .pipeName = pipeName,
                         .messageTimeoutMs = kTestMessageTimeoutMs,
                         .earliestSettableTicks = earliestSettable,
                         .nowMs = [this] { return nowMs.load(); }});
        });
        ASSERT_TRUE(WaitUntil([&] { return statuses.Reached(SERVICE_RUNNING) || LoopEnded(); }));
    }

    bool LoopEnded() { return loop_.valid() && loop_.wait_for(std::chrono::seconds(0)) == std::future_status::ready; }
    bool LoopEndsWithinDeadline() { return loop_ended_within(std::chrono::seconds(15)); }
    bool loop_ended_within(std::chrono::milliseconds limit) {
        return loop_.valid() && loop_.wait_for(limit) == std::future_status::ready;
    }

    void TearDown() override {
        if (loop_.valid() && !LoopEnded()) {
            ::SetEvent(stop.get());
            EXPECT_TRUE(LoopEndsWithinDeadline());
        }
    }

    std::vector<SYSTEMTIME> AwaitSets(std::size_t count) {
        WaitUntil([&] { return clock.Sets().size() >= count; });
        return clock.Sets();
    }

    // The dates these cases set lie in 2024 and 2025; the service's own floor is its build day.
    std::uint64_t earliestSettable = 0;
    std::atomic<std::uint64_t> nowMs{1'000'000};
    const UniqueHandle stop{::CreateEventW(nullptr, TRUE, FALSE, nullptr)};
    std::wstring pipeName = UniquePipeName();
    FakeClock clock{LocalTime(2025, 6, 1, 12, 0, 0, 0)};
    StatusRecorder statuses;
    ServiceStatusReporter reporter{statuses.Sink()};
    ErrorRecorder errors;

private:
    std::future<void> loop_;
};

TEST_F(TimePipeTest, AnOffsetMovesTheClockByExactlyItsAmount) {
    struct Case {
        const char* what;
        Bytes request;
        SYSTEMTIME before, after;
    } const cases[] = {
        {"+1000 across a new year", {0xE8, 0x03, 0, 0, 0, 0, 0, 0}, LocalTime(2025, 12, 31, 23, 59, 59, 500),
         LocalTime(2026, 1, 1, 0, 0, 0, 500)},
        {"-250 back into a leap day", {0x06, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF},
         LocalTime(2024, 3, 1, 0, 0, 0, 100), LocalTime(2024, 2, 29, 23, 59, 59, 850)},
        {"2147483647, the desktop program's \"no server time\", is not special here", Offset(2147483647),
         LocalTime(2025, 1, 1, 0, 0, 0, 0), LocalTime(2025, 1, 25, 20, 31, 23, 647)},
    };
    StartLoop();
    for (const Case& c : cases) {
        clock.Reset(c.before);
        const auto reply = CallPipe(pipeName, c.request);
        ASSERT_TRUE(reply.ok) << c.what << ": error " << reply.error;
        EXPECT_EQ(reply.bytes, Bytes{c.request[0]}) << c.what;
        const auto sets = AwaitSets(1);
        ASSERT_EQ(sets.size(), 1u) << c.what;
        EXPECT_EQ(Text(sets[0]), Text(c.after)) << c.what;
    }
}

// A reply means the clock was set (or why it was not): the client waits for the set.
TEST_F(TimePipeTest, TheClientHasItsReplyOnlyOnceTheClockIsSet) {
    clock.Hold();
    StartLoop();
    auto call = std::async(std::launch::async, [this] { return CallPipe(pipeName, Offset(1000)); });
    const bool repliedEarly = call.wait_for(std::chrono::milliseconds(500)) == std::future_status::ready;
    clock.Release();
    EXPECT_FALSE(repliedEarly);
    ASSERT_EQ(call.wait_for(std::chrono::seconds(15)), std::future_status::ready);
    const auto reply = call.get();
    EXPECT_TRUE(reply.ok) << reply.error;
    EXPECT_EQ(reply.bytes, Bytes{0xE8});
    EXPECT_EQ(clock.Sets().size(), 1u);
}

TEST_F(TimePipeTest, OffsetsAccumulateOnTheClockAsItIsWhenHandled) {
    StartLoop();
    ASSERT_TRUE(CallPipe(pipeName, Offset(500)).ok);
    AwaitSets(1);
    ASSERT_TRUE(CallPipe(pipeName, Offset(500)).ok);
    const auto sets = AwaitSets(2);
    ASSERT_EQ(sets.size(), 2u);
    EXPECT_EQ(Text(sets[0]), "2025-06-01 12:00:00.500");
    EXPECT_EQ(Text(sets[1]), "2025-06-01 12:00:01.000");
}

TEST_F(TimePipeTest, AnOffsetAcrossADaylightSavingChangeLandsOnTheRightUtcTime) {
    // Set as a local time, each would be converted with the rules in force before the change
    // and land an hour off.
    struct Case {
        const char* what;
        SYSTEMTIME before;
        std::int64_t offsetMs;
        SYSTEMTIME after;
    } const cases[] = {
        {"into European summer time", UtcTime(2025, 3, 30, 0, 59, 59, 750), 500, UtcTime(2025, 3, 30, 1, 0, 0, 250)},
        {"out of European summer time", UtcTime(2025, 10, 26, 0, 59, 59, 750), 500,
         UtcTime(2025, 10, 26, 1, 0, 0, 250)},
        {"back out of US daylight time", UtcTime(2025, 3, 9, 7, 0, 0, 200), -400, UtcTime(2025, 3, 9, 6, 59, 59, 800)},
        {"an hour ahead, into US standard time", UtcTime(2025, 11, 2, 5, 30, 0, 0), 3'600'000,
         UtcTime(2025, 11, 2, 6, 30, 0, 0)},
    };
    StartLoop();
    for (const Case& c : cases) {
        clock.Reset(c.before);
        ASSERT_TRUE(CallPipe(pipeName, Offset(c.offsetMs)).ok) << c.what;
        const auto sets = AwaitSets(1);
        ASSERT_EQ(sets.size(), 1u) << c.what;
        EXPECT_EQ(Text(sets[0]), Text(c.after)) << c.what;
    }
}

TEST_F(TimePipeTest, OtherMessagesAreAnsweredWithTheirFirstByteAndIgnored) {
    StartLoop();
    // First byte tells the messages apart; the rest are stop bytes, which must not count.
    auto message = [](std::size_t length) {
        Bytes bytes(length, kStopRequestByte);
        if (length > 0) bytes[0] = static_cast<std::uint8_t>(0x40 + length);
        return bytes;
    };
    std::vector<Bytes> requests = {{4}};
    for (const std::size_t length : {2, 3, 4, 5, 6, 7, 9, 100, 101}) requests.push_back(message(length));
    for (const Bytes& request : requests) {
        const auto reply = CallPipe(pipeName, request);
        ASSERT_TRUE(reply.ok) << request.size() << " bytes: error " << reply.error;
        EXPECT_EQ(reply.bytes, Bytes{request[0]}) << request.size() << " bytes";
    }
    // An empty message has no first byte: the reply is what the receive buffer still holds.
    const auto empty = CallPipe(pipeName, {});
    ASSERT_TRUE(empty.ok) << empty.error;
    EXPECT_EQ(empty.bytes, Bytes{requests.back()[0]});

    // Still serving, and the ignored messages did not touch the clock before this one did.
    ASSERT_TRUE(CallPipe(pipeName, Offset(1000)).ok);
    const auto sets = AwaitSets(1);
    ASSERT_EQ(sets.size(), 1u);
    EXPECT_EQ(Text(sets[0]), "2025-06-01 12:00:01.000");
    EXPECT_FALSE(statuses.Reached(SERVICE_STOPPED));
}

TEST_F(TimePipeTest, AnOffsetBeyondTheCalendarSetsTheTimeThatWasRead) {
    struct Case {
        const char* what;
        std::int64_t offsetMs;
    } const cases[] = {
        {"past the largest FILETIME", 922'337'203'685'477},
        {"before 1601", -15'000'000'000'000},
        {"a product beyond the signed 64-bit range", 1'000'000'000'000'000},
    };
    StartLoop();
    for (const Case& c : cases) {
        clock.Reset(LocalTime(2025, 6, 1, 12, 0, 0, 0));
        ASSERT_TRUE(CallPipe(pipeName, Offset(c.offsetMs)).ok) << c.what;
        const auto sets = AwaitSets(1);
        ASSERT_EQ(sets.size(), 1u) << c.what;
        EXPECT_EQ(Text(sets[0]), "2025-06-01 12:00:00.000") << c.what;
    }
    EXPECT_TRUE(errors.Operations().empty());
}

// Any signed-in user may connect; only the control handler may stop the service.
TEST_F(TimePipeTest, TheOldStopByteIsAnsweredAndIgnored) {
    StartLoop();
    const auto reply = CallPipe(pipeName, Bytes{kStopRequestByte});
    ASSERT_TRUE(reply.ok) << reply.error;
    EXPECT_EQ(reply.bytes, Bytes{kStopRequestByte});
    ASSERT_TRUE(CallPipe(pipeName, Offset(1000)).ok) << "still serving";
    EXPECT_EQ(AwaitSets(1).size(), 1u);
    EXPECT_FALSE(statuses.Reached(SERVICE_STOPPED));
}

TEST_F(TimePipeTest, TheStopEventEndsTheLoop) {
    StartLoop();
    ::SetEvent(stop.get());
    ASSERT_TRUE(LoopEndsWithinDeadline());
    const auto reports = statuses.Reports();
    ASSERT_FALSE(reports.empty());
    EXPECT_EQ(reports.back().dwCurrentState, DWORD{SERVICE_STOPPED});
    EXPECT_EQ(reports.back().dwWin32ExitCode, DWORD{NO_ERROR});
    EXPECT_TRUE(clock.Sets().empty());
    // The pipe is gone with the loop.
    EXPECT_EQ(CallPipe(pipeName, Offset(1000)).error, DWORD{ERROR_FILE_NOT_FOUND});
}

TEST_F(TimePipeTest, ASilentClientIsDroppedAndTheNextClientServed) {
    StartLoop();
    const UniqueHandle silent = ConnectSilently(pipeName);
    ASSERT_TRUE(silent);
    const auto reply = CallPipe(pipeName, Offset(1000));
    ASSERT_TRUE(reply.ok) << reply.error;
    EXPECT_EQ(reply.bytes, Bytes{0xE8});
    const auto sets = AwaitSets(1);
    ASSERT_EQ(sets.size(), 1u);
    EXPECT_EQ(Text(sets[0]), "2025-06-01 12:00:01.000");
    EXPECT_TRUE(DroppedByServer(silent.get()));
}

TEST_F(TimePipeTest, AStopGetsThroughAtOnceWhileASilentClientHoldsThePipe) {
    StartLoop();
    UniqueHandle silent = ConnectSilently(pipeName);
    ASSERT_TRUE(silent);
    ::SetEvent(stop.get());
    const bool ended = loop_ended_within(std::chrono::milliseconds(1000));
    silent.reset();  // so that a wedged loop lets go and the case ends
    ASSERT_TRUE(ended);
    EXPECT_EQ(statuses.Reports().back().dwCurrentState, DWORD{SERVICE_STOPPED});
}

// The reply says that the clock was not set and why; the event log gets at most one entry a
// minute however often it happens, the next one counting those in between.
TEST_F(TimePipeTest, AClockThatRefusesIsRepliedAndLoggedOnceAMinute) {
    clock.RefuseWith(ERROR_PRIVILEGE_NOT_HELD);
    StartLoop();
    const Bytes notApplied{0xE8, 0x22, 0x05, 0, 0};  // 1314
    for (const std::uint64_t at : {1'000'000, 1'000'100, 1'030'000, 1'059'999, 1'060'000, 1'060'001}) {
        nowMs = at;
        const auto reply = CallPipe(pipeName, Offset(1000));
        ASSERT_TRUE(reply.ok) << reply.error;
        EXPECT_EQ(reply.bytes, notApplied) << at;
    }
    EXPECT_EQ(errors.Operations(),
              (std::vector<std::wstring>{L"SetSystemTime error 1314", L"SetSystemTime error 1314 +3"}));
    ::SetEvent(stop.get());
    ASSERT_TRUE(LoopEndsWithinDeadline());
    EXPECT_EQ(errors.Operations().back(), L"SetSystemTime +1") << "what was left unlogged, at the stop";
}

TEST_F(TimePipeTest, ATimeBeforeTheFloorIsRefusedAndNothingIsSet) {
    earliestSettable = *SystemTimeToTicks(LocalTime(2025, 1, 1, 0, 0, 0, 0));
    StartLoop();
    clock.Reset(LocalTime(2025, 6, 1, 12, 0, 0, 0));
    const auto reply = CallPipe(pipeName, Offset(-365LL * 24 * 3600 * 1000));
    ASSERT_TRUE(reply.ok) << reply.error;
    EXPECT_EQ(reply.bytes, (Bytes{0x00, 0x6D, 0x07, 0, 0})) << "ERROR_INVALID_TIME";
    EXPECT_TRUE(clock.Sets().empty());
    ASSERT_TRUE(CallPipe(pipeName, Offset(1000)).ok);
    EXPECT_EQ(clock.Sets().size(), 1u) << "a time after the floor is still set";
}

TEST_F(TimePipeTest, ANameAlreadyHeldElsewhereStopsAtOnce) {
    const UniqueHandle squatter(::CreateNamedPipeW(pipeName.c_str(), PIPE_ACCESS_DUPLEX,
                                                   PIPE_TYPE_MESSAGE | PIPE_READMODE_MESSAGE, 1, 100, 100, 0, nullptr));
    ASSERT_TRUE(squatter);
    StartLoop();
    ASSERT_TRUE(LoopEndsWithinDeadline());
    const auto reports = statuses.Reports();
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_EQ(reports[0].dwCurrentState, DWORD{SERVICE_STOPPED});
    EXPECT_EQ(reports[0].dwWin32ExitCode, DWORD{NO_ERROR});
}

}  // namespace
}  // namespace velmora
