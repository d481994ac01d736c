#include "sync/sntp_query.h"

#include <windows.h>
#include <bcrypt.h>

#include <array>
#include <cstring>
#include <span>
#include <string>

#include "framework/unique_handle.h"
#include "sync/ntp_packet.h"
#include "sync/sntp_reply.h"
#include "sync/sync_texts.h"
#include "sync/time_convert.h"

namespace velmora {
namespace {

// Room for extension fields, so an oversized reply is read and judged instead of failing
// the receive with WSAEMSGSIZE.
constexpr int kReceiveBufferSize = 1024;

class WinsockSession {
public:
    WinsockSession() { started_ = ::WSAStartup(MAKEWORD(2, 2), &data_) == 0; }
    ~WinsockSession() {
        if (started_) ::WSACleanup();
    }
    WinsockSession(const WinsockSession&) = delete;
    WinsockSession& operator=(const WinsockSession&) = delete;
    bool Started() const { return started_; }

private:
    WSADATA data_{};
    bool started_ = false;
};

std::uint64_t RandomNonce() {
    std::uint64_t value = 0;
    if (!BCRYPT_SUCCESS(::BCryptGenRandom(nullptr, reinterpret_cast<PUCHAR>(&value), sizeof value,
                                          BCRYPT_USE_SYSTEM_PREFERRED_RNG))) {
        LARGE_INTEGER counter;
        ::QueryPerformanceCounter(&counter);
        value = static_cast<std::uint64_t>(counter.QuadPart) * 0x9E3779B97F4A7C15ull ^ ::GetTickCount64();
    }
    return value == 0 ? 1 : value;  // a zero originate timestamp proves nothing
}

std::wstring Widen(std::string_view text) { return std::wstring(text.begin(), text.end()); }

bool SetReceiveTimeout(SOCKET socket, DWORD milliseconds) {
    return ::setsockopt(socket, SOL_SOCKET, SO_RCVTIMEO, reinterpret_cast<const char*>(&milliseconds),
                        sizeof milliseconds) == 0;
}

struct CandidateAnswer {
    bool answered = false;
    std::int64_t offsetMs = 0;
    std::int64_t roundTripMs = -1;
};

// One request to one candidate; waits its whole time-out for a reply that passes the checks.
CandidateAnswer AskCandidate(const SocketAddress& candidate, const SntpQueryOptions& options) {
    UniqueSocket socket(::socket(candidate.Family(), SOCK_DGRAM, IPPROTO_UDP));
    if (!socket) return {};

    const std::uint32_t start = options.tickCount();
    const ULONGLONG deadline = ::GetTickCount64() + options.receiveTimeoutMs;
    if (::connect(socket.get(), reinterpret_cast<const sockaddr*>(&candidate.address), candidate.length) != 0)
        return {};

    const std::uint64_t nonce = options.nonce();
    const NtpPacket request = BuildNtpRequest(nonce);
    if (::send(socket.get(), reinterpret_cast<const char*>(request.data()), static_cast<int>(request.size()), 0) ==
        SOCKET_ERROR)
        return {};

    std::array<std::uint8_t, kReceiveBufferSize> reply;
    for (;;) {
        const ULONGLONG now = ::GetTickCount64();
        // A zero SO_RCVTIMEO would mean "wait for ever".
        const DWORD remaining = now < deadline ? static_cast<DWORD>(deadline - now) : 1;
        SetReceiveTimeout(socket.get(), remaining);
        reply.fill(0);
        const int received = ::recv(socket.get(), reinterpret_cast<char*>(reply.data()), kReceiveBufferSize, 0);
        if (received == SOCKET_ERROR) {
            const int error = ::WSAGetLastError();
            if (error == WSAEMSGSIZE) {
                options.trace(L"discarded reply: larger than " + std::to_wstring(kReceiveBufferSize) + L" bytes\r\n");
                if (now >= deadline) return {};
                continue;
            }
            if (error == WSAETIMEDOUT) options.trace(kTraceSocketTimeout);
            return {};
        }
        const SntpExchange exchange{nonce, start, options.tickCount(), options.utcNowTicks()};
        const auto datagram = std::span<const std::uint8_t>(reply.data(), static_cast<std::size_t>(received));
        const SntpReplyResult result = MeasureSntpReply(datagram, exchange);
        if (result.check == NtpReplyCheck::KissOfDeath) {
            // The server says it will not serve this client: waiting on cannot help.
            options.trace(L"kiss-o'-death " + Widen(KissCode(datagram)) + L": trying the next server\r\n");
            return {};
        }
        if (result.check == NtpReplyCheck::TooDistant) {
            options.trace(L"discarded reply: root distance " + std::to_wstring(RootDistanceMs(datagram)) +
                          L" ms\r\n");
            if (::GetTickCount64() >= deadline) return {};
            continue;
        }
        if (!result.Valid()) {
            options.trace(L"discarded reply: " + Widen(DescribeReplyCheck(result.check)) + L"\r\n");
            if (::GetTickCount64() >= deadline) {
                options.trace(kTraceSocketTimeout);
                return {};
            }
            continue;
        }
        return CandidateAnswer{true, result.offsetMs, result.roundTripMs};
    }
}

}  // namespace

SntpQueryOptions DefaultSntpQueryOptions() {
    SntpQueryOptions options;
    options.utcNowTicks = CurrentUtcTicks;
    options.tickCount = PerformanceMilliseconds;
    options.trace = [](const std::wstring& line) { ::OutputDebugStringW(line.c_str()); };
    options.nonce = RandomNonce;
    return options;
}

std::vector<SocketAddress> ResolveServer(const SntpTarget& target) {
    std::vector<SocketAddress> candidates;
    UniqueAddrInfo results;
    // No hints: every address family, and "ntp" looked up in the services list.
    if (::GetAddrInfoW(target.host.c_str(), target.service.c_str(), nullptr, results.put()) != 0) return candidates;
    for (const ADDRINFOW* entry = results.get(); entry; entry = entry->ai_next) {
        if (entry->ai_family != AF_INET && entry->ai_family != AF_INET6) continue;
        if (entry->ai_addrlen > sizeof(sockaddr_storage)) continue;
        // The resolver lists an address once per socket type; ask each address once.
        bool seen = false;
        for (const SocketAddress& known : candidates)
            seen = seen || (known.length == static_cast<int>(entry->ai_addrlen) &&
                            std::memcmp(&known.address, entry->ai_addr, entry->ai_addrlen) == 0);
        if (seen) continue;
        SocketAddress candidate;
        std::memcpy(&candidate.address, entry->ai_addr, entry->ai_addrlen);
        candidate.length = static_cast<int>(entry->ai_addrlen);
        candidates.push_back(candidate);
    }
    return candidates;
}

SntpMeasurement MeasureCandidates(const std::vector<SocketAddress>& candidates, const SntpQueryOptions& options) {
    for (const SocketAddress& candidate : candidates) {
        const CandidateAnswer answer = AskCandidate(candidate, options);
        if (!answer.answered) continue;
        options.trace(ConnectionTimeTrace(answer.roundTripMs));
        options.trace(DifferenceTrace(answer.offsetMs));
        SntpMeasurement measurement;
        measurement.offsetMs = answer.offsetMs;
        measurement.roundTripMs = answer.roundTripMs;
        return measurement;
    }
    return SntpMeasurement{kCouldNotConnect};
}

SntpMeasurement QuerySntpServer(const SntpTarget& target, const SntpQueryOptions& options) {
    WinsockSession winsock;
    if (!winsock.Started()) return SntpMeasurement{kNetworkError1};
    {
        // Only to tell a machine without a usable network stack apart; each candidate gets
        // a socket of its own family.
        UniqueSocket probe(::socket(AF_INET, SOCK_DGRAM, IPPROTO_UDP));
        if (!probe) return SntpMeasurement{kNetworkError2};
    }
    const std::vector<SocketAddress> candidates = ResolveServer(target);
    if (candidates.empty()) return SntpMeasurement{kCouldNotResolve};
    return MeasureCandidates(candidates, options);
}

SntpMeasurement RunSntpQuery(const SntpTarget& target, const SntpQueryOptions& options) {
    return QuerySntpServer(target, options);
}

}  // namespace velmora
