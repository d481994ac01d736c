#pragma once
// SNTP (version 3, client mode) request building and reply checking. No Windows here.
#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace velmora {

inline constexpr std::size_t kNtpPacketSize = 48;
inline constexpr std::uint8_t kNtpClientRequestHeader = 0x1B;  // LI 0, VN 3, mode 3

using NtpPacket = std::array<std::uint8_t, kNtpPacketSize>;

// The request is all zero but byte 0, except that the transmit timestamp (bytes 40-47)
// carries `nonce`: a server echoes it as the originate timestamp, which ties the reply
// to this request and makes a blind forgery unlikely.
NtpPacket BuildNtpRequest(std::uint64_t nonce);

enum class NtpReplyCheck {
    Valid,
    TooShort,
    NotServerMode,
    KissOfDeath,      // stratum 0, whatever the leap indicator: the server will not serve us
    Unsynchronised,   // leap indicator 3: the server's clock is not set
    BadStratum,       // 16 and up are invalid
    TooDistant,       // the server's own root distance is beyond kMaxRootDistanceMs
    ZeroTransmit,
    OriginateMismatch,
};

// A server more than this far from its reference (root delay / 2 + root dispersion) does
// not know the time well enough to set a clock by (the reference implementation's limit).
inline constexpr std::int64_t kMaxRootDistanceMs = 1500;

// Whether a datagram counts as the answer to the request that carried `nonce`. A
// kiss-o'-death counts only when it answers this request (its originate timestamp), so that
// nobody off the path can make the query give a server up.
NtpReplyCheck CheckNtpReply(std::span<const std::uint8_t> datagram, std::uint64_t nonce);

// Root delay / 2 + root dispersion of a datagram of at least 48 bytes, in milliseconds
// (rounded up). A negative root delay counts as none.
std::int64_t RootDistanceMs(std::span<const std::uint8_t> datagram);

// The four ASCII letters of a kiss-o'-death (the reference identifier), '?' for others.
std::string KissCode(std::span<const std::uint8_t> datagram);

std::string_view DescribeReplyCheck(NtpReplyCheck check);

struct NtpTimestamp {
    std::uint32_t seconds = 0;   // since 1900-01-01 00:00 UTC, modulo 2^32
    std::uint32_t fraction = 0;  // units of 1/2^32 s
};

// The transmit timestamp (bytes 40-47) of a datagram of at least 48 bytes.
NtpTimestamp ReadTransmitTimestamp(std::span<const std::uint8_t> datagram);

}  // namespace velmora
