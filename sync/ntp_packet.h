#pragma once
// SNTP (version 3, client mode) request building and reply checking. No Windows here.
#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
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
    Unsynchronised,   // leap indicator 3: the server's clock is not set
    BadStratum,       // 0 is a kiss-o'-death, 16 and up are invalid
    ZeroTransmit,
    OriginateMismatch,
};

// Whether a datagram counts as the answer to the request that carried `nonce`.
NtpReplyCheck CheckNtpReply(std::span<const std::uint8_t> datagram, std::uint64_t nonce);

std::string_view DescribeReplyCheck(NtpReplyCheck check);

struct NtpTimestamp {
    std::uint32_t seconds = 0;   // since 1900-01-01 00:00 UTC, modulo 2^32
    std::uint32_t fraction = 0;  // units of 1/2^32 s
};

// The transmit timestamp (bytes 40-47) of a datagram of at least 48 bytes.
NtpTimestamp ReadTransmitTimestamp(std::span<const std::uint8_t> datagram);

}  // namespace velmora
