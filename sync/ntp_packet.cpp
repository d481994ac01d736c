#include "sync/ntp_packet.h"

namespace velmora {
namespace {

constexpr std::size_t kOriginateOffset = 24;
constexpr std::size_t kTransmitOffset = 40;

std::uint32_t ReadBigEndian32(std::span<const std::uint8_t> bytes, std::size_t at) {
    return std::uint32_t{bytes[at]} << 24 | std::uint32_t{bytes[at + 1]} << 16 |
           std::uint32_t{bytes[at + 2]} << 8 | std::uint32_t{bytes[at + 3]};
}

std::uint64_t ReadBigEndian64(std::span<const std::uint8_t> bytes, std::size_t at) {
    return std::uint64_t{ReadBigEndian32(bytes, at)} << 32 | ReadBigEndian32(bytes, at + 4);
}

}  // namespace

NtpPacket BuildNtpRequest(std::uint64_t nonce) {
    NtpPacket packet{};
    packet[0] = kNtpClientRequestHeader;
    for (int i = 0; i < 8; ++i)
        packet[kTransmitOffset + i] = static_cast<std::uint8_t>(nonce >> (56 - 8 * i));
    return packet;
}

NtpReplyCheck CheckNtpReply(std::span<const std::uint8_t> datagram, std::uint64_t nonce) {
    if (datagram.size() < kNtpPacketSize) return NtpReplyCheck::TooShort;
    const std::uint8_t leap = datagram[0] >> 6;
    const std::uint8_t mode = datagram[0] & 0x07;
    const std::uint8_t stratum = datagram[1];
    if (mode != 4) return NtpReplyCheck::NotServerMode;
    if (leap == 3) return NtpReplyCheck::Unsynchronised;
    if (stratum < 1 || stratum > 15) return NtpReplyCheck::BadStratum;
    if (ReadBigEndian64(datagram, kTransmitOffset) == 0) return NtpReplyCheck::ZeroTransmit;
    if (ReadBigEndian64(datagram, kOriginateOffset) != nonce) return NtpReplyCheck::OriginateMismatch;
    return NtpReplyCheck::Valid;
}

std::string_view DescribeReplyCheck(NtpReplyCheck check) {
    switch (check) {
    case NtpReplyCheck::Valid: return "valid";
    case NtpReplyCheck::TooShort: return "shorter than 48 bytes";
    case NtpReplyCheck::NotServerMode: return "not in server mode";
    case NtpReplyCheck::Unsynchronised: return "server clock not synchronised";
    case NtpReplyCheck::BadStratum: return "kiss-o'-death or invalid stratum";
    case NtpReplyCheck::ZeroTransmit: return "zero transmit timestamp";
    case NtpReplyCheck::OriginateMismatch: return "originate timestamp does not match the request";
    }
    return "unknown";
}

NtpTimestamp ReadTransmitTimestamp(std::span<const std::uint8_t> datagram) {
    return {ReadBigEndian32(datagram, kTransmitOffset), ReadBigEndian32(datagram, kTransmitOffset + 4)};
}

}  // namespace velmora
