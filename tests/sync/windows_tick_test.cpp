// A synchronisation measured and applied as on Windows, where the ordinary clock reads
// (GetSystemTime, GetLocalTime) advance only once per 15.625 ms tick: the desktop program's
// query in this process with its own clock sources, the offset over the pipe to the real
// Service.exe, installed with its recording clock, and what that clock recorded.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "common/pipe_protocol.h"
#include "sync/pc_clock.h"
#include "sync/sntp_query.h"
#include "tests/service/pipe_test_client.h"
#include "tests/support/installed_service.h"
#include "tests/support/sntp_test_server.h"
#include "tests/support/windows_tick.h"

namespace velmora {
namespace {

using testing::CallPipe;
using testing::ClockRecord;
using testing::InstalledService;
using testing::Offset;
using testing::SntpTestServer;
using testing::WaitUntil;

std::wstring TempPath(const std::wstring& name) {
    wchar_t temp[MAX_PATH];
    ::GetTempPathW(MAX_PATH, temp);
    return temp + name;
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

class WindowsTickTest : public ::testing::Test {
protected:
    void SetUp() override { SetPcClockOverride({testing::TickedSystemTime, testing::TickedLocalTime}); }
    void TearDown() override { SetPcClockOverride({}); }
};

// The service's own read is not stepped: it reads the precise clock, which Windows' tick does
// not coarsen. The offsets are whole milliseconds cut from times cut to whole milliseconds, so
// a single one may be a millisecond short; their median is what each one aims at.
TEST_F(WindowsTickTest, AServer250MsAheadIsMeasuredAndSetWithin1Ms) {
    InstalledService service(testing::WindowsPathOf(VELMORA_SERVICE_EXE), TempPath(L"velmora-tick-clock.txt"));
    ASSERT_TRUE(service.Installed());
    ASSERT_TRUE(service.Start());
    SntpTestServer server(R"("offset_ms": 250)");
    ASSERT_TRUE(server.Started()) << "is the SNTP test server running?";

    std::vector<double> measured, recorded, moved;
    for (std::size_t trial = 1; trial <= 7; ++trial) {
        const SntpMeasurement m = RunSntpQuery(server.Target(), DefaultSntpQueryOptions());
        ASSERT_TRUE(m.Answered()) << m.failureText;
        ASSERT_TRUE(CallPipe(kTimePipeName, Offset(m.offsetMs)).ok);
        ASSERT_TRUE(WaitUntil([&] { return service.Records().size() == trial; }));
        const ClockRecord r = service.Records().back();
        measured.push_back(static_cast<double>(m.offsetMs));
        recorded.push_back(static_cast<double>(r.moved));
        moved.push_back(static_cast<double>(r.set - r.at) / 10'000.0);
    }
    EXPECT_NEAR(Median(measured), 250.0, 1.0);
    EXPECT_NEAR(Median(recorded), 250.0, 1.0) << "the offset the service was given";
    EXPECT_NEAR(Median(moved), 250.0, 1.0) << "how far its clock really moved";
}

}  // namespace
}  // namespace velmora
