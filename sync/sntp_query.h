#pragma once
// One SNTP exchange with a time server, measured on a worker thread. It measures and returns
// a value; what the program does with it is the synchronisation driver's (app/).
#include <winsock2.h>
#include <ws2tcpip.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "sync/sntp_measurement.h"

namespace velmora {

// Host and service (port) to ask, copied from the settings when the query starts so that a
// save while it runs cannot change them under it.
struct SntpTarget {
    std::wstring host;
    std::wstring service;
};

struct SocketAddress {
    sockaddr_storage address{};
    int length = 0;
    int Family() const { return address.ss_family; }
};

// Seams: tests replace the clocks, the trace and the nonce source.
struct SntpQueryOptions {
    std::function<std::int64_t()> utcNowTicks;           // PC clock, UTC, FILETIME ticks
    std::function<std::uint32_t()> tickCount;            // millisecond counter for the round trip
    std::function<void(const std::wstring&)> trace;      // debugger output
    std::function<std::uint64_t()> nonce;                // unpredictable request tag
    std::uint32_t receiveTimeoutMs = 2000;               // per candidate
};

// The precise clocks (CurrentUtcTicks, PerformanceMilliseconds: sync/time_convert.h),
// OutputDebugStringW and the system's random number generator.
SntpQueryOptions DefaultSntpQueryOptions();

// IPv4 and IPv6 addresses of the target, in the resolver's order; empty when it fails.
std::vector<SocketAddress> ResolveServer(const SntpTarget& target);

// Asks each candidate in turn until one gives a valid answer. Touches no shared state.
SntpMeasurement MeasureCandidates(const std::vector<SocketAddress>& candidates,
                                  const SntpQueryOptions& options);

// Winsock start-up, resolution and MeasureCandidates, with the failure texts.
SntpMeasurement QuerySntpServer(const SntpTarget& target, const SntpQueryOptions& options);

// The worker's whole query: measures and returns what it found. Reads no settings and
// touches nothing shared, so it can run on any thread; it throws only when memory runs out.
SntpMeasurement RunSntpQuery(const SntpTarget& target, const SntpQueryOptions& options);

}  // namespace velmora
