// One SNTP query per line of standard input ("HOST PORT"), made as the desktop program makes
// it: RunSntpQuery with the real clocks on a thread of its own, which returns its
// measurement. Prints one JSON line per query: offset, round trip and the wall time from
// starting the worker to its result.
#include <windows.h>

#include <cstdio>
#include <iostream>
#include <sstream>
#include <string>
#include <thread>

#include "sync/sntp_query.h"

namespace {

double Milliseconds(LARGE_INTEGER from, LARGE_INTEGER to) {
    LARGE_INTEGER frequency;
    ::QueryPerformanceFrequency(&frequency);
    return static_cast<double>(to.QuadPart - from.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart);
}

}  // namespace

int wmain() {
    std::string line;
    while (std::getline(std::cin, line)) {
        std::istringstream fields(line);
        std::string host, port;
        if (!(fields >> host >> port)) continue;
        const velmora::SntpTarget target{std::wstring(host.begin(), host.end()), std::wstring(port.begin(), port.end())};

        velmora::SntpMeasurement m;
        LARGE_INTEGER started, ended;
        ::QueryPerformanceCounter(&started);
        std::thread([&] {
            m = velmora::RunSntpQuery(target, velmora::DefaultSntpQueryOptions());
            ::QueryPerformanceCounter(&ended);
        }).join();
        std::printf("{\"ok\": %s, \"offset_ms\": %lld, \"round_trip_ms\": %lld, \"query_ms\": %.3f}\n",
                    m.Answered() ? "true" : "false", static_cast<long long>(m.offsetMs),
                    static_cast<long long>(m.roundTripMs), Milliseconds(started, ended));
        std::fflush(stdout);
    }
    return 0;
}
