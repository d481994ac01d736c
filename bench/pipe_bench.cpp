// Offset requests through the real Service.exe's pipe, installed in the prefix with its
// recording clock (the PC's clock is never set) and removed again at the end. Measures the
// round trip of CallNamedPipeW, the service's handle count around the run, the desktop
// program's own calls while a hostile client connects, stalls and reconnects without end,
// and how long a stop takes under a flood of clients. One JSON line.
#include <windows.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <thread>
#include <vector>

#include "app/service_client.h"
#include "common/pipe_protocol.h"
#include "tests/support/installed_service.h"
#include "tests/support/stalling_client.h"

namespace {

double Now() {
    LARGE_INTEGER counter, frequency;
    ::QueryPerformanceCounter(&counter);
    ::QueryPerformanceFrequency(&frequency);
    return static_cast<double>(counter.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart);
}

// One exchange; `waitMs` for the instance. False with the error when it failed.
bool Call(std::int64_t offset, DWORD waitMs, DWORD& error) {
    auto request = velmora::EncodeOffsetRequest(offset);
    BYTE reply = 0;
    DWORD read = 0;
    if (::CallNamedPipeW(velmora::kTimePipeName, request.data(), static_cast<DWORD>(request.size()), &reply, 1, &read,
                         waitMs))
        return true;
    error = ::GetLastError();
    return false;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    const int requests = argc > 1 ? _wtoi(argv[1]) : 10'000;
    wchar_t temp[MAX_PATH];
    ::GetTempPathW(MAX_PATH, temp);
    velmora::testing::InstalledService service(velmora::testing::WindowsPathOf(VELMORA_SERVICE_EXE),
                                               std::wstring(temp) + L"velmora-bench-clock.txt");
    if (!service.Installed() || !service.Start()) {
        std::printf("{\"error\": \"the service could not be installed and started\"}\n");
        return 1;
    }
    DWORD error = 0;
    for (int i = 0; i < 20; ++i) Call(i % 2 ? 1 : -1, 1000, error);  // warm-up
    const auto handlesBefore = service.HandleCount();

    // Back to back, as fast as the service takes them. The desktop program waits 1 ms for the
    // instance; here a busy instance is waited for and counted, so every request is served.
    std::vector<double> roundTrips, firstAttempt;
    roundTrips.reserve(requests);
    int busy = 0, failed = 0;
    const double started = Now();
    for (int i = 0; i < requests; ++i) {
        const double t0 = Now();
        bool ok = Call(i % 2 ? 1 : -1, 1, error);
        if (ok) firstAttempt.push_back(Now() - t0);
        while (!ok && (error == ERROR_PIPE_BUSY || error == ERROR_SEM_TIMEOUT)) {
            ++busy;
            ok = Call(i % 2 ? 1 : -1, 1000, error);
        }
        if (!ok) ++failed;
        roundTrips.push_back(Now() - t0);
    }
    const double elapsed = Now() - started;
    const auto handlesAfter = service.HandleCount();
    // Let the last disconnect finish before the settled count.
    std::optional<DWORD> handlesSettled = handlesAfter;
    for (int i = 0; i < 200 && handlesSettled && handlesBefore && *handlesSettled > *handlesBefore; ++i) {
        ::Sleep(10);
        handlesSettled = service.HandleCount();
    }

    // The desktop program's own calls (SendOffsetRequest) while a client process connects,
    // stays silent and connects again as soon as it is dropped.
    constexpr int kStalledCalls = 500;
    int stalledSucceeded = 0;
    std::vector<double> stalledCalls;
    {
        const velmora::testing::StallingClient staller(VELMORA_PROBE_EXE);
        if (staller.Started()) {
            ::Sleep(500);
            for (int i = 0; i < kStalledCalls; ++i) {
                const double t0 = Now();
                if (velmora::SendOffsetRequest(i % 2 ? 1 : -1) == ERROR_SUCCESS) ++stalledSucceeded;
                stalledCalls.push_back(Now() - t0);
            }
        }
    }
    std::sort(stalledCalls.begin(), stalledCalls.end());
    const auto stalledAt = [&](double q) {
        return stalledCalls.empty() ? -1.0 : stalledCalls[static_cast<std::size_t>(q * (stalledCalls.size() - 1))];
    };

    // A stop while four clients send offsets without pause.
    std::atomic<bool> gone{false};
    std::vector<std::thread> flood;
    for (int c = 0; c < 4; ++c)
        flood.emplace_back([&] {
            DWORD e = 0;
            while (!gone)
                if (!Call(1, 1, e) && e == ERROR_FILE_NOT_FOUND) gone = true;
        });
    ::Sleep(200);
    const double stopAsked = Now();
    service.RequestStop();
    double stopMs = -1;
    for (int i = 0; i < 3000; ++i) {
        if (service.In(SERVICE_STOPPED)) {
            stopMs = Now() - stopAsked;
            break;
        }
        ::Sleep(1);
    }
    gone = true;
    for (std::thread& t : flood) t.join();

    std::sort(roundTrips.begin(), roundTrips.end());
    std::sort(firstAttempt.begin(), firstAttempt.end());
    const auto at = [&](double q) { return roundTrips[static_cast<std::size_t>(q * (roundTrips.size() - 1))]; };
    const double firstP99 =
        firstAttempt.empty() ? -1 : firstAttempt[static_cast<std::size_t>(0.99 * (firstAttempt.size() - 1))];
    std::printf("{\"requests\": %d, \"median_ms\": %.4f, \"p99_ms\": %.4f, \"max_ms\": %.4f, \"per_second\": %.1f, "
                "\"busy_retries\": %d, \"failed\": %d, \"handles_before\": %ld, \"handles_after\": %ld, "
                "\"handles_settled\": %ld, \"stop_under_flood_ms\": %.1f, \"first_attempt_p99_ms\": %.4f, "
                "\"stalled_calls\": %d, \"stalled_succeeded\": %d, \"stalled_median_ms\": %.2f, "
                "\"stalled_p99_ms\": %.2f, \"round_trips_ms\": [",
                requests, at(0.5), at(0.99), roundTrips.back(), requests * 1000.0 / elapsed, busy, failed,
                handlesBefore ? static_cast<long>(*handlesBefore) : -1L,
                handlesAfter ? static_cast<long>(*handlesAfter) : -1L,
                handlesSettled ? static_cast<long>(*handlesSettled) : -1L, stopMs, firstP99,
                static_cast<int>(stalledCalls.size()), stalledSucceeded, stalledAt(0.5), stalledAt(0.99));
    for (std::size_t i = 0; i < roundTrips.size(); ++i) std::printf(i ? ", %.4f" : "%.4f", roundTrips[i]);
    std::printf("]}\n");
    return 0;
}
