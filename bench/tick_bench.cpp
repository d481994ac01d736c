// The "Windows tick" scenario: a synchronisation measured and applied as on Windows, where the
// ordinary clock reads (GetTickCount, GetSystemTime, GetLocalTime) advance only once per
// 15.625 ms system tick while QueryPerformanceCounter and GetSystemTimePreciseAsFileTime do
// not. Under Wine GetSystemTime and GetLocalTime are exact (and GetTickCount steps with Wine's
// own 16 ms update), so the ordinary reads are emulated at the tick, from the exact clock, for
// the whole process. One command per line of standard input, one JSON line out for each:
//   service SOURCES            installs the real Service.exe with its recording clock, whose
//                              reads are at the tick for "ordinary" (GetLocalTime's, as the
//                              service read the clock before) and exact for "precise"
//   query SOURCES HOST PORT    one query with the query's clocks on SOURCES ("ordinary":
//                              GetSystemTime and GetTickCount at the tick, as before;
//                              "precise": the program's own), its offset sent through the pipe
//                              as the desktop program sends it, and how far the service's
//                              clock moved
#include <windows.h>

#include <cstdio>
#include <iostream>
#include <memory>
#include <sstream>
#include <string>

#include "common/clock_tick.h"
#include "common/pipe_protocol.h"
#include "sync/pc_clock.h"
#include "sync/sntp_query.h"
#include "tests/support/installed_service.h"
#include "tests/support/windows_tick.h"

namespace {

using velmora::testing::InstalledService;

velmora::SntpQueryOptions QueryOptions(const std::string& sources) {
    velmora::SntpQueryOptions options = velmora::DefaultSntpQueryOptions();
    options.trace = [](const std::wstring&) {};
    if (sources == "ordinary") {
        options.utcNowTicks = velmora::testing::TickedUtcTicks;
        options.tickCount = velmora::testing::TickedTickCount;
    }
    return options;
}

// One offset request as the desktop program makes it, but a busy instance is waited for.
bool SendOffset(std::int64_t offsetMs) {
    auto request = velmora::EncodeOffsetRequest(offsetMs);
    for (int attempt = 0; attempt < 100; ++attempt) {
        BYTE reply = 0;
        DWORD read = 0;
        if (::CallNamedPipeW(velmora::kTimePipeName, request.data(), static_cast<DWORD>(request.size()), &reply, 1,
                             &read, 1000))
            return true;
        const DWORD error = ::GetLastError();
        if (error != ERROR_PIPE_BUSY && error != ERROR_SEM_TIMEOUT) return false;
    }
    return false;
}

}  // namespace

int wmain() {
    velmora::SetPcClockOverride({velmora::testing::TickedSystemTime, velmora::testing::TickedLocalTime});
    wchar_t temp[MAX_PATH];
    ::GetTempPathW(MAX_PATH, temp);
    const std::wstring recordFile = std::wstring(temp) + L"velmora-tick-bench-clock.txt";
    std::unique_ptr<InstalledService> service;

    std::string line;
    while (std::getline(std::cin, line)) {
        std::istringstream fields(line);
        std::string command, sources;
        fields >> command >> sources;
        if (command == "service") {
            service.reset();
            const DWORD tick = sources == "ordinary" ? static_cast<DWORD>(velmora::kWindowsTickFileTicks) : 0;
            service = std::make_unique<InstalledService>(velmora::testing::WindowsPathOf(VELMORA_SERVICE_EXE),
                                                         recordFile, tick);
            const bool ok = service->Installed() && service->Start();
            std::printf("{\"ok\": %s}\n", ok ? "true" : "false");
        } else if (command == "query") {
            std::string host, port;
            fields >> host >> port;
            const velmora::SntpTarget target{std::wstring(host.begin(), host.end()),
                                             std::wstring(port.begin(), port.end())};
            const velmora::SntpMeasurement m = velmora::RunSntpQuery(target, QueryOptions(sources));
            bool applied = false;
            velmora::testing::ClockRecord record;
            if (m.Answered() && service) {
                const std::size_t before = service->Records().size();
                if (SendOffset(m.offsetMs)) {
                    // The service replies before it sets the clock: wait for its record.
                    for (int i = 0; i < 5000 && !applied; ++i) {
                        const auto records = service->Records();
                        applied = records.size() > before;
                        if (applied) record = records.back();
                        else ::Sleep(1);
                    }
                }
            }
            std::printf("{\"ok\": %s, \"offset_ms\": %lld, \"round_trip_ms\": %lld, \"applied\": %s, "
                        "\"service_moved_ms\": %lld, \"clock_moved_ms\": %.4f}\n",
                        m.Answered() ? "true" : "false", static_cast<long long>(m.offsetMs),
                        static_cast<long long>(m.roundTripMs), applied ? "true" : "false",
                        static_cast<long long>(record.moved), static_cast<double>(record.set - record.at) / 10'000.0);
        } else {
            std::printf("{\"error\": \"unknown command\"}\n");
        }
        std::fflush(stdout);
    }
    return 0;
}
