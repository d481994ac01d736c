#include "sync/ntp_packet.h"

namespace velmora {
namespace {

constexpr std::size_t kRootDelayOffset = 4;
constexpr std::size_t kRootDispersionOffset = 8;
constexpr std::size_t kReferenceIdOffset = 12;
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
    const bool answersUs = ReadBigEndian64(datagram, kOriginateOffset) == nonce;
    if (stratum == 0) return answersUs ? NtpReplyCheck::KissOfDeath : NtpReplyCheck::OriginateMismatch;
    if (leap == 3) return NtpReplyCheck::Unsynchronised;
    if (stratum > 15) return NtpReplyCheck::BadStratum;
    if (RootDistanceMs(datagram) > kMaxRootDistanceMs) return NtpReplyCheck::TooDistant;
    if (ReadBigEndian64(datagram, kTransmitOffset) == 0) return NtpReplyCheck::ZeroTransmit;
    if (!answersUs) return NtpReplyCheck::OriginateMismatch;
    return NtpReplyCheck::Valid;
}

std::int64_t RootDistanceMs(std::span<const std::uint8_t> datagram) {
    // NTP short format: 16.16 fixed-point seconds; the delay is signed.
    const auto delay = static_cast<std::int32_t>(ReadBigEndian32(datagram, kRootDelayOffset));
    const std::uint32_t dispersion = ReadBigEndian32(datagram, kRootDispersionOffset);
    const std::int64_t units = std::int64_t{delay > 0 ? delay : 0} / 2 + std::int64_t{dispersion};
    return (units * 1000 + 65535) / 65536;
}

std::string KissCode(std::span<const std::uint8_t> datagram) {
    std::string code;
    for (std::size_t i = kReferenceIdOffset; i < kReferenceIdOffset + 4; ++i)
        code += datagram[i] >= 0x20 && datagram[i] < 0x7F ? static_cast<char>(datagram[i]) : '?';
    return code;
}

std::string_view DescribeReplyCheck(NtpReplyCheck check) {
    switch (check) {
    case NtpReplyCheck::Valid: return "valid";
    case NtpReplyCheck::TooShort: return "shorter than 48 bytes";
    case NtpReplyCheck::NotServerMode: return "not in server mode";
    case NtpReplyCheck::Unsynchronised: return "server clock not synchronised";
    case NtpReplyCheck::KissOfDeath: return "kiss-o'-death";
    case NtpReplyCheck::BadStratum: return "invalid stratum";
    case NtpReplyCheck::TooDistant: return "server too far from its reference";
    case NtpReplyCheck::ZeroTransmit: return "zero transmit timestamp";
    case NtpReplyCheck::OriginateMismatch: return "originate timestamp does not match the request";
    }
    return "unknown";
}

NtpTimestamp ReadTransmitTimestamp(std::span<const std::uint8_t> datagram) {
    return {ReadBigEndian32(datagram, kTransmitOffset), ReadBigEndian32(datagram, kTransmitOffset + 4)};
}

}  // namespace velmora
