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

// Root delay and root dispersion, NTP short format (16.16 seconds).
void SetRoot(std::vector<std::uint8_t>& reply, std::uint32_t delay, std::uint32_t dispersion) {
    for (int i = 0; i < 4; ++i) {
        reply[4 + i] = static_cast<std::uint8_t>(delay >> (24 - 8 * i));
        reply[8 + i] = static_cast<std::uint8_t>(dispersion >> (24 - 8 * i));
    }
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
    {"kiss-o'-death", [](auto& r) { r[1] = 0; }, NtpReplyCheck::KissOfDeath},
    {"kiss-o'-death with the alarm", [](auto& r) { r[0] = 0xE4; r[1] = 0; }, NtpReplyCheck::KissOfDeath},
    {"kiss-o'-death for another request", [](auto& r) { r[1] = 0; r[31] ^= 1; }, NtpReplyCheck::OriginateMismatch},
    {"root distance 1.5 s", [](auto& r) { SetRoot(r, 0x00010000, 0x00008000); }, NtpReplyCheck::Valid},
    {"root dispersion 1.6 s", [](auto& r) { SetRoot(r, 0, 0x0001999A); }, NtpReplyCheck::TooDistant},
    {"root delay 3.2 s", [](auto& r) { SetRoot(r, 0x00033333, 0); }, NtpReplyCheck::TooDistant},
    {"root dispersion 7.9 s", [](auto& r) { SetRoot(r, 0, 0x0007E666); }, NtpReplyCheck::TooDistant},
    {"negative root delay", [](auto& r) { SetRoot(r, 0xFFFF0000, 0x00001000); }, NtpReplyCheck::Valid},
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

TEST(NtpRootDistance, IsHalfTheDelayPlusTheDispersionRoundedUp) {
    struct Case {
        std::uint32_t delay, dispersion;
        std::int64_t ms;
    } const cases[] = {
        {0, 0, 0}, {0x00010000, 0, 500}, {0, 0x00010000, 1000}, {0x00020000, 0x00008000, 1500},
        {0, 1, 1}, {0x80000000, 0x00004000, 250} /* a negative delay counts as none */,
    };
    for (const Case& c : cases) {
        auto reply = GoodReply();
        SetRoot(reply, c.delay, c.dispersion);
        EXPECT_EQ(RootDistanceMs(reply), c.ms) << c.delay << " " << c.dispersion;
    }
    auto kiss = GoodReply();
    std::copy_n("RATE", 4, kiss.begin() + 12);
    EXPECT_EQ(KissCode(kiss), "RATE");
    kiss[13] = 0;
    EXPECT_EQ(KissCode(kiss), "R?TE");
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
