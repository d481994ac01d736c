// The real query against the local SNTP test server, under Wine.
#include "sync/sntp_query.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <mutex>
#include <thread>
#include <vector>

#include "sync/time_convert.h"
#include "tests/support/sntp_test_server.h"

namespace velmora {
namespace {

using testing::ClosedLoopbackPort;
using testing::SntpTestServer;

// Records the trace lines of one query; thread-safe because the query may run elsewhere.
class TraceLog {
public:
    void Add(const std::wstring& line) {
        std::lock_guard lock(mutex_);
        lines_.push_back(line);
    }
    void Clear() {
        std::lock_guard lock(mutex_);
        lines_.clear();
    }
    int Count(const std::wstring& part) const {
        std::lock_guard lock(mutex_);
        return static_cast<int>(std::count_if(lines_.begin(), lines_.end(),
                                              [&](const std::wstring& l) { return l.find(part) != std::wstring::npos; }));
    }

private:
    mutable std::mutex mutex_;
    std::vector<std::wstring> lines_;
};

class SntpQueryTest : public ::testing::Test {
protected:
    // QuerySntpServer starts Winsock itself; MeasureCandidates relies on its caller.
    void SetUp() override {
        WSADATA data;
        ASSERT_EQ(::WSAStartup(MAKEWORD(2, 2), &data), 0);
    }
    void TearDown() override { ::WSACleanup(); }

    // Misbehaving servers are waited out; a short time-out keeps the suite quick.
    SntpQueryOptions Options(std::uint32_t receiveTimeoutMs = 2000) {
        SntpQueryOptions options = DefaultSntpQueryOptions();
        options.trace = [this](const std::wstring& line) { trace.Add(line); };
        options.receiveTimeoutMs = receiveTimeoutMs;
        return options;
    }

    // A PC clock fixed at `pcTicks` and a tick counter reading `start` then `end`, so the
    // offset can be predicted to the millisecond.
    SntpQueryOptions FrozenClockOptions(std::int64_t pcTicks, std::uint32_t start, std::uint32_t end) {
        SntpQueryOptions options = Options();
        options.utcNowTicks = [pcTicks] { return pcTicks; };
        auto readings = std::make_shared<std::vector<std::uint32_t>>(std::vector<std::uint32_t>{end, start});
        options.tickCount = [readings] {
            const std::uint32_t value = readings->back();
            if (readings->size() > 1) readings->pop_back();
            return value;
        };
        return options;
    }

    TraceLog trace;
};

TEST_F(SntpQueryTest, MeasuresKnownOffsetsOfBothSigns) {
    for (const int offset : {1000, -250, 3'600'000, -172'800'000}) {
        SntpTestServer server(R"("offset_ms": )" + std::to_string(offset));
        ASSERT_TRUE(server.Started()) << "is the SNTP test server running?";
        const SntpMeasurement m = QuerySntpServer(server.Target(), Options());
        ASSERT_TRUE(m.Answered()) << offset;
        // Loopback, so only the millisecond truncations and scheduling separate them.
        EXPECT_NEAR(static_cast<double>(m.offsetMs), offset, 25.0) << offset;
        EXPECT_GE(m.roundTripMs, 0);
        EXPECT_EQ(server.Requests(), 1);
    }
    EXPECT_EQ(trace.Count(L"connection time: "), 4);
    EXPECT_EQ(trace.Count(L"difference: "), 4);
}

TEST_F(SntpQueryTest, FractionAndHalfTheRoundTripAreAddedExactly) {
    const std::uint32_t seconds = 3'976'214'400u;  // 2026-01-01 00:00:00 UTC
    const std::int64_t wholeSecond = NtpSecondsToFileTicks(seconds);
    struct Case {
        const char* what;
        std::uint32_t fraction;
        std::uint32_t startTick, endTick;
        std::int64_t offset;
    } const cases[] = {
        {"fraction 0x80000000 adds 500 ms", 0x80000000u, 1000, 1000, 500},
        {"fraction 0xFFFFFFFF adds 1000 ms", 0xFFFFFFFFu, 1000, 1000, 1000},
        {"a 37 ms round trip adds 18 ms", 0, 1000, 1037, 18},
        {"a tick-counter wrap still gives 32 ms", 0, 0xFFFFFFF0u, 0x10u, 16},
    };
    for (const Case& c : cases) {
        SntpTestServer server(R"("seconds": )" + std::to_string(seconds) + R"(, "fraction": )" +
                              std::to_string(c.fraction));
        const SntpMeasurement m =
            QuerySntpServer(server.Target(), FrozenClockOptions(wholeSecond, c.startTick, c.endTick));
        ASSERT_TRUE(m.Answered()) << c.what;
        EXPECT_EQ(m.offsetMs, c.offset) << c.what;
    }
}

TEST_F(SntpQueryTest, EraOneTimestampsAreAfter2036) {
    // 2040-01-01 00:00:00 UTC: the 32-bit seconds field has wrapped.
    const std::uint32_t seconds = 123'010'304u;
    const SYSTEMTIME when = NtpSecondsToSystemTime(seconds);
    EXPECT_EQ(when.wYear, 2040);
    EXPECT_EQ(when.wMonth, 1);
    EXPECT_EQ(when.wDay, 1);

    SntpTestServer server(R"("seconds": 123010304, "fraction": 0)");
    const std::int64_t pcFiveSecondsBehind = NtpSecondsToFileTicks(seconds) - 5 * kTicksPerSecond;
    const SntpMeasurement m = QuerySntpServer(server.Target(), FrozenClockOptions(pcFiveSecondsBehind, 7, 7));
    ASSERT_TRUE(m.Answered());
    EXPECT_EQ(m.offsetMs, 5000);
}

TEST_F(SntpQueryTest, EveryMalformedOrForeignReplyIsDiscarded) {
    struct Case {
        const char* behaviour;
        const wchar_t* traced;
    } const cases[] = {
        {"empty", L"shorter than 48 bytes"},
        {"short", L"shorter than 48 bytes"},
        {"wrong_mode", L"not in server mode"},
        {"zero_transmit", L"zero transmit timestamp"},
        {"wrong_originate", L"originate timestamp does not match"},
        {"unsynchronised", L"server clock not synchronised"},
        {"silent", nullptr},
    };
    for (const Case& c : cases) {
        trace.Clear();
        SntpTestServer server(std::string(R"("behaviour": ")") + c.behaviour + "\"");
        const SntpMeasurement m = QuerySntpServer(server.Target(), Options(300));
        EXPECT_EQ(m.failureText, L"Could not connect") << c.behaviour;
        EXPECT_EQ(m.offsetMs, NoServerTime) << c.behaviour;
        if (c.traced) {
            EXPECT_EQ(trace.Count(std::wstring(L"discarded reply: ") + c.traced), 1) << c.behaviour;
        }
        EXPECT_EQ(trace.Count(L"soket timeout\n"), 1) << c.behaviour;
        EXPECT_EQ(server.Requests(), 1) << c.behaviour;
    }
}

// A kiss-o'-death ends that server's wait at once (no "soket timeout"): the next is asked.
TEST_F(SntpQueryTest, AKissOfDeathGivesThatServerUpAtOnce) {
    for (const char* behaviour : {"kiss_of_death", "kiss_of_death_alarm"}) {
        trace.Clear();
        SntpTestServer kiss(std::string(R"("behaviour": ")") + behaviour + R"(", "kiss_code": "DENY")");
        SntpTestServer live(R"("offset_ms": 300)");
        const ULONGLONG before = ::GetTickCount64();
        const SntpMeasurement m = MeasureCandidates({kiss.Address(), live.Address()}, Options(2000));
        const ULONGLONG tookMs = ::GetTickCount64() - before;
        ASSERT_TRUE(m.Answered()) << behaviour;
        EXPECT_NEAR(static_cast<double>(m.offsetMs), 300, 25.0) << behaviour;
        EXPECT_EQ(trace.Count(L"kiss-o'-death DENY: trying the next server"), 1) << behaviour;
        EXPECT_EQ(trace.Count(L"soket timeout"), 0) << behaviour;
        std::printf("%s: answered after %llu ms\n", behaviour, tookMs);
    }
}

// A server that says it is seconds away from its own reference is no answer (this is what
// a real server sent while it was still starting).
TEST_F(SntpQueryTest, AServerFarFromItsReferenceIsNoAnswer) {
    SntpTestServer sick(R"("root_dispersion_ms": 7900, "offset_ms": 5000)");
    const SntpMeasurement refused = QuerySntpServer(sick.Target(), Options(300));
    EXPECT_EQ(refused.failureText, L"Could not connect");
    EXPECT_EQ(trace.Count(L"discarded reply: root distance 7900 ms"), 1);

    SntpTestServer well(R"("root_delay_ms": 200, "root_dispersion_ms": 900, "offset_ms": 5000)");
    const SntpMeasurement taken = QuerySntpServer(well.Target(), Options(300));
    ASSERT_TRUE(taken.Answered());
    EXPECT_NEAR(static_cast<double>(taken.offsetMs), 5000, 25.0);
}

TEST_F(SntpQueryTest, KeepsWaitingPastForgeriesForTheRealAnswer) {
    SntpTestServer server(R"("behaviour": "bad_then_good", "offset_ms": 700)");
    const SntpMeasurement m = QuerySntpServer(server.Target(), Options());
    ASSERT_TRUE(m.Answered());
    EXPECT_NEAR(static_cast<double>(m.offsetMs), 700, 25.0);
    EXPECT_EQ(trace.Count(L"discarded reply: "), 2);
    EXPECT_EQ(trace.Count(L"soket timeout"), 0);
}

TEST_F(SntpQueryTest, ADeadCandidateIsWaitedOutThenTheNextIsAsked) {
    SntpTestServer dead(R"("behaviour": "silent")");
    SntpTestServer live(R"("offset_ms": -250)");
    const SntpMeasurement m = MeasureCandidates({dead.Address(), live.Address()}, Options(300));
    ASSERT_TRUE(m.Answered());
    EXPECT_NEAR(static_cast<double>(m.offsetMs), -250, 25.0);
    EXPECT_EQ(trace.Count(L"soket timeout\n"), 1);
    EXPECT_EQ(dead.Requests(), 1);
    EXPECT_EQ(live.Requests(), 1);
}

TEST_F(SntpQueryTest, ARefusedCandidateIsSkipped) {
    SntpTestServer live(R"("offset_ms": 400)");
    const SntpMeasurement m = MeasureCandidates({ClosedLoopbackPort(), live.Address()}, Options(300));
    ASSERT_TRUE(m.Answered());
    EXPECT_NEAR(static_cast<double>(m.offsetMs), 400, 25.0);
}

TEST_F(SntpQueryTest, NoAnsweringCandidateIsCouldNotConnect) {
    SntpTestServer silent(R"("behaviour": "silent")");
    EXPECT_EQ(MeasureCandidates({silent.Address(), ClosedLoopbackPort()}, Options(200)).failureText,
              L"Could not connect");
}

TEST_F(SntpQueryTest, AnIpv6ServerIsAskedOverIpv6) {
    SntpTestServer server(R"("family": "ipv6", "offset_ms": 1200)");
    ASSERT_TRUE(server.Started());
    const std::vector<SocketAddress> candidates = ResolveServer(server.Target());
    ASSERT_EQ(candidates.size(), 1u);
    EXPECT_EQ(candidates[0].Family(), AF_INET6);
    const SntpMeasurement m = QuerySntpServer(server.Target(), Options());
    ASSERT_TRUE(m.Answered());
    EXPECT_NEAR(static_cast<double>(m.offsetMs), 1200, 25.0);
}

TEST_F(SntpQueryTest, AnUnresolvableHostIsCouldNotResolve) {
    const SntpMeasurement m = QuerySntpServer({L"no-such-host.invalid", L"ntp"}, Options());
    EXPECT_EQ(m.failureText, L"Could not resolve");
    EXPECT_EQ(m.offsetMs, NoServerTime);
    EXPECT_EQ(trace.Count(L""), 0);  // nothing was sent, so nothing was traced
}

TEST(ResolveServer, NamesThePortOfTheNtpServiceOrTheCustomNumber) {
    WSADATA data;
    ASSERT_EQ(::WSAStartup(MAKEWORD(2, 2), &data), 0);
    for (const auto& [service, port] : {std::pair{L"ntp", 123}, std::pair{L"12345", 12345}}) {
        const std::vector<SocketAddress> candidates = ResolveServer({L"127.0.0.1", service});
        ASSERT_EQ(candidates.size(), 1u) << "each address once";
        const auto* address = reinterpret_cast<const sockaddr_in*>(&candidates[0].address);
        EXPECT_EQ(address->sin_family, AF_INET);
        EXPECT_EQ(ntohs(address->sin_port), port);
    }
    ::WSACleanup();
}

// The worker only measures: it returns its result on its own thread.
TEST(RunSntpQueryTest, TheWorkerReturnsItsMeasurement) {
    testing::SntpTestServer server(R"("offset_ms": 900)");
    const SntpTarget target = server.Target();
    SntpMeasurement measurement;
    std::thread worker([&] { measurement = RunSntpQuery(target, DefaultSntpQueryOptions()); });
    worker.join();
    EXPECT_TRUE(measurement.Answered()) << measurement.failureText;
    EXPECT_NEAR(static_cast<double>(measurement.offsetMs), 900, 25.0);
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
