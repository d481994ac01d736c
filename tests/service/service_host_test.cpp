// The service's status reports through a start and a stop, in this process.
#include "service/service_host.h"

#include <gtest/gtest.h>

#include <atomic>
#include <future>
#include <vector>

#include "tests/service/fake_service_parts.h"
#include "tests/service/pipe_test_client.h"

namespace velmora {
namespace {

using testing::FakeClock;
using testing::LocalTime;
using testing::StatusRecorder;
using testing::WaitUntil;

struct Expected {
    DWORD state, checkPoint, waitHint, controls;
};

void ExpectReports(const std::vector<SERVICE_STATUS>& reports, const std::vector<Expected>& expected) {
    ASSERT_EQ(reports.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        const SERVICE_STATUS& r = reports[i];
        EXPECT_EQ(r.dwCurrentState, expected[i].state) << "report " << i;
        EXPECT_EQ(r.dwCheckPoint, expected[i].checkPoint) << "report " << i;
        EXPECT_EQ(r.dwWaitHint, expected[i].waitHint) << "report " << i;
        EXPECT_EQ(r.dwControlsAccepted, expected[i].controls) << "report " << i;
        EXPECT_EQ(r.dwServiceType, DWORD{SERVICE_WIN32_OWN_PROCESS}) << "report " << i;
        EXPECT_EQ(r.dwWin32ExitCode, DWORD{NO_ERROR}) << "report " << i;
        EXPECT_EQ(r.dwServiceSpecificExitCode, 0u) << "report " << i;
    }
}

TEST(ServiceHost, AStartAndAStopReportTheirCheckPointsAndWaitHints) {
    static std::atomic<int> counter{0};
    const std::wstring pipeName = L"\\\\.\\pipe\\VelmoraHostTest-" + std::to_wstring(::GetCurrentProcessId()) + L"-" +
                                  std::to_wstring(++counter);
    FakeClock clock(LocalTime(2025, 6, 1, 12, 0, 0, 0));
    StatusRecorder statuses;
    ServiceStatusReporter reporter(statuses.Sink());

    const UniqueHandle stop(::CreateEventW(nullptr, TRUE, FALSE, nullptr));
    auto service = std::async(std::launch::async, [&] {
        RunTimeService(
            {.clock = clock, .reporter = reporter, .logError = nullptr, .stopEvent = stop.get(), .pipeName = pipeName});
    });
    ASSERT_TRUE(WaitUntil([&] { return statuses.Reached(SERVICE_RUNNING); }));
    HandleServiceControl(reporter, SERVICE_CONTROL_STOP, stop.get());
    ASSERT_EQ(service.wait_for(std::chrono::seconds(15)), std::future_status::ready);

    ExpectReports(statuses.Reports(), {
                                          {SERVICE_START_PENDING, 1, 3000, 0},
                                          {SERVICE_RUNNING, 0, 0, SERVICE_ACCEPT_STOP},
                                          {SERVICE_STOP_PENDING, 2, 0, SERVICE_ACCEPT_STOP},
                                          {SERVICE_STOPPED, 0, 0, SERVICE_ACCEPT_STOP},
                                      });
}

TEST(ServiceHost, AnInterrogationRepeatsTheStateAndAPendingOneTakesTheNextCheckPoint) {
    StatusRecorder statuses;
    ServiceStatusReporter reporter(statuses.Sink());
    const UniqueHandle stop(::CreateEventW(nullptr, TRUE, FALSE, nullptr));
    reporter.ReportStatus(SERVICE_START_PENDING, NO_ERROR, 3000);
    HandleServiceControl(reporter, SERVICE_CONTROL_INTERROGATE, stop.get());
    reporter.ReportStatus(SERVICE_RUNNING, NO_ERROR, 0);
    HandleServiceControl(reporter, SERVICE_CONTROL_INTERROGATE, stop.get());
    // With no loop running, the stop only sets the event and changes nothing else.
    HandleServiceControl(reporter, SERVICE_CONTROL_STOP, stop.get());
    HandleServiceControl(reporter, SERVICE_CONTROL_INTERROGATE, stop.get());
    EXPECT_EQ(::WaitForSingleObject(stop.get(), 0), WAIT_OBJECT_0);

    ExpectReports(statuses.Reports(), {
                                          {SERVICE_START_PENDING, 1, 3000, 0},
                                          {SERVICE_START_PENDING, 2, 0, 0},
                                          {SERVICE_RUNNING, 0, 0, SERVICE_ACCEPT_STOP},
                                          {SERVICE_RUNNING, 0, 0, SERVICE_ACCEPT_STOP},
                                          {SERVICE_STOP_PENDING, 3, 0, SERVICE_ACCEPT_STOP},
                                          {SERVICE_STOP_PENDING, 4, 0, SERVICE_ACCEPT_STOP},
                                      });
}

}  // namespace
}  // namespace velmora
