#include "sync/ntp_packet.h"

#include <gtest/gtest.h>

#include <vector>

namespace velmora {
namespace {

constexpr std::uint64_t kNonce = 0x0123456789ABCDEFull;

// A well-formed server reply to the request that carried kNonce.
std::vector<std::uint8_t> GoodReply() {
    std::vector<std::uint8_t> reply(48, 0);
    reply[0] = 0x24;  // LI 0, VN 4, mode 4
    reply[1] = 2;     // stratum
    const NtpPacket request = BuildNtpRequest(kNonce);
    std::copy(request.begin() + 40, request.end(), reply.begin() + 24);  // echoed originate
    reply[40] = 0xEC;  // some transmit time in 2025
    reply[41] = 0x12;
    reply[47] = 0x01;
    return reply;
}

TEST(NtpRequest, IsAVersion3ClientPacketCarryingTheNonceAsTransmitTime) {
    const NtpPacket request = BuildNtpRequest(kNonce);
    EXPECT_EQ(request[0], 0x1B);
    for (std::size_t i = 1; i < 40; ++i) EXPECT_EQ(request[i], 0) << "byte " << i;
    const std::uint8_t expected[8] = {0x01, 0x23, 0x45, 0x67, 0x89, 0xAB, 0xCD, 0xEF};
    for (int i = 0; i < 8; ++i) EXPECT_EQ(request[40 + i], expected[i]) << "byte " << 40 + i;
}

struct ReplyCase {
    const char* name;
    void (*mutate)(std::vector<std::uint8_t>&);
    NtpReplyCheck expected;
};

const ReplyCase kReplyCases[] = {
    {"well formed", [](auto&) {}, NtpReplyCheck::Valid},
    {"with extension fields", [](auto& r) { r.resize(68, 0xAA); }, NtpReplyCheck::Valid},
    {"leap second warning", [](auto& r) { r[0] = 0x64; }, NtpReplyCheck::Valid},
    {"version 3 server", [](auto& r) { r[0] = 0x1C; }, NtpReplyCheck::Valid},
    {"stratum 15", [](auto& r) { r[1] = 15; }, NtpReplyCheck::Valid},
    {"empty datagram", [](auto& r) { r.clear(); }, NtpReplyCheck::TooShort},
    {"ten bytes", [](auto& r) { r.resize(10); }, NtpReplyCheck::TooShort},
    {"47 bytes", [](auto& r) { r.resize(47); }, NtpReplyCheck::TooShort},
    {"client mode", [](auto& r) { r[0] = 0x23; }, NtpReplyCheck::NotServerMode},
    {"broadcast mode", [](auto& r) { r[0] = 0x25; }, NtpReplyCheck::NotServerMode},
    {"symmetric mode", [](auto& r) { r[0] = 0x21; }, NtpReplyCheck::NotServerMode},
    {"unsynchronised server", [](auto& r) { r[0] = 0xE4; }, NtpReplyCheck::Unsynchronised},
    {"kiss-o'-death", [](auto& r) { r[1] = 0; }, NtpReplyCheck::BadStratum},
    {"stratum 16", [](auto& r) { r[1] = 16; }, NtpReplyCheck::BadStratum},
    {"stratum 255", [](auto& r) { r[1] = 255; }, NtpReplyCheck::BadStratum},
    {"zero transmit time", [](auto& r) { std::fill(r.begin() + 40, r.begin() + 48, 0); }, NtpReplyCheck::ZeroTransmit},
    {"zero originate", [](auto& r) { std::fill(r.begin() + 24, r.begin() + 32, 0); }, NtpReplyCheck::OriginateMismatch},
    {"originate off by one bit", [](auto& r) { r[31] ^= 1; }, NtpReplyCheck::OriginateMismatch},
    {"originate in the receive field", [](auto& r) {
         std::copy(r.begin() + 24, r.begin() + 32, r.begin() + 32);
         std::fill(r.begin() + 24, r.begin() + 32, 0);
     }, NtpReplyCheck::OriginateMismatch},
};

TEST(NtpReplyCheckTest, AcceptsOnlyServerAnswersToOurRequest) {
    for (const ReplyCase& c : kReplyCases) {
        auto reply = GoodReply();
        c.mutate(reply);
        EXPECT_EQ(CheckNtpReply(reply, kNonce), c.expected) << c.name;
    }
}

TEST(NtpReplyCheckTest, AReplyToAnotherRequestIsRejected) {
    EXPECT_EQ(CheckNtpReply(GoodReply(), kNonce + 1), NtpReplyCheck::OriginateMismatch);
}

TEST(NtpReplyCheckTest, EveryVerdictHasADescription) {
    for (const ReplyCase& c : kReplyCases) EXPECT_FALSE(DescribeReplyCheck(c.expected).empty());
}

TEST(NtpTransmitTimestamp, IsReadBigEndian) {
    std::vector<std::uint8_t> reply(48, 0);
    const std::uint8_t transmit[8] = {0xE8, 0x12, 0x34, 0x56, 0x80, 0x00, 0x00, 0x01};
    std::copy(std::begin(transmit), std::end(transmit), reply.begin() + 40);
    const NtpTimestamp t = ReadTransmitTimestamp(reply);
    EXPECT_EQ(t.seconds, 0xE8123456u);
    EXPECT_EQ(t.fraction, 0x80000001u);
}

}  // namespace
}  // namespace velmora
