// From a received datagram to an offset: the server's hold time, and nothing from a
// datagram that the checks reject.
#include "sync/sntp_reply.h"

#include <gtest/gtest.h>

#include <vector>

namespace velmora {
namespace {

constexpr std::uint64_t kNonce = 0x0123456789ABCDEFull;
constexpr std::uint32_t kSeconds = 3'976'214'400u;  // 2026-01-01 00:00:00 UTC
constexpr std::uint32_t kHalfSecond = 0x80000000u;

void PutTimestamp(std::vector<std::uint8_t>& packet, std::size_t at, NtpTimestamp t) {
    for (int i = 0; i < 4; ++i) {
        packet[at + i] = static_cast<std::uint8_t>(t.seconds >> (24 - 8 * i));
        packet[at + 4 + i] = static_cast<std::uint8_t>(t.fraction >> (24 - 8 * i));
    }
}

// A server reply to kNonce that received the request at `receive` and answered at `transmit`.
std::vector<std::uint8_t> Reply(NtpTimestamp receive, NtpTimestamp transmit) {
    std::vector<std::uint8_t> packet(48, 0);
    packet[0] = 0x24;
    packet[1] = 2;
    const NtpPacket request = BuildNtpRequest(kNonce);
    std::copy(request.begin() + 40, request.end(), packet.begin() + 24);
    PutTimestamp(packet, 32, receive);
    PutTimestamp(packet, 40, transmit);
    return packet;
}

TEST(ServerHold, IsTransmitMinusReceiveWhenItFitsInTheRoundTrip) {
    struct Case {
        const char* what;
        NtpTimestamp receive, transmit;
        std::int64_t roundTripMs, heldMs;
    } const cases[] = {
        {"answered at once", {kSeconds, 0}, {kSeconds, 0}, 10, 0},
        {"held 40 ms", {kSeconds, 0}, {kSeconds, 171'798'692u}, 45, 40},
        {"held half a second across a second", {kSeconds, kHalfSecond + 0x40000000u}, {kSeconds + 1, 0x40000000u}, 600, 500},
        {"held across the era wrap", {0xFFFFFFFFu, kHalfSecond}, {0, 0}, 501, 500},
        {"held exactly the round trip", {kSeconds, 0}, {kSeconds, kHalfSecond}, 500, 500},
        {"longer than the round trip", {kSeconds, 0}, {kSeconds, kHalfSecond}, 499, 0},
        {"receive after transmit", {kSeconds, 1}, {kSeconds, 0}, 100, 0},
        {"zero receive timestamp", {0, 0}, {kSeconds, 0}, 100, 0},
        {"a day apart", {kSeconds - 86'400, 0}, {kSeconds, 0}, 100'000, 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ServerHoldMilliseconds(c.receive, c.transmit, c.roundTripMs), c.heldMs) << c.what;
}

TEST(SntpReply, OnlyTheWayBackIsAddedToTheTransmitTime) {
    const std::int64_t transmitTicks = NtpSecondsToFileTicks(kSeconds) + 500 * kTicksPerMillisecond;
    struct Case {
        const char* what;
        NtpTimestamp receive;
        std::uint32_t roundTripMs;
        std::int64_t wayBackMs;
    } const cases[] = {
        // 80 ms round trip, answered at once: 40 ms back.
        {"network delay", {kSeconds, kHalfSecond}, 80, 40},
        // 44 ms round trip of which the server held 40: 2 ms back, not 22.
        {"server processing", {kSeconds, 0x75C28F5Bu}, 44, 2},
        {"implausible receive time", {0, 0}, 44, 22},
    };
    for (const Case& c : cases) {
        const SntpExchange exchange{kNonce, 1000, 1000 + c.roundTripMs, transmitTicks};
        const SntpReplyResult result = MeasureSntpReply(Reply(c.receive, {kSeconds, kHalfSecond}), exchange);
        ASSERT_TRUE(result.Valid()) << c.what;
        EXPECT_EQ(result.roundTripMs, c.roundTripMs) << c.what;
        EXPECT_EQ(result.offsetMs, c.wayBackMs) << c.what;
    }
}

TEST(SntpReply, ARejectedDatagramGivesNoOffset) {
    auto wrongMode = Reply({kSeconds, 0}, {kSeconds, 0});
    wrongMode[0] = 0x23;
    auto forged = Reply({kSeconds, 0}, {kSeconds, 0});
    forged[31] ^= 1;
    const std::vector<std::uint8_t> tooShort(47, 0);
    for (const auto& datagram : {wrongMode, forged, tooShort}) {
        const SntpReplyResult result = MeasureSntpReply(datagram, {kNonce, 0, 10, NtpSecondsToFileTicks(kSeconds)});
        EXPECT_FALSE(result.Valid());
        EXPECT_EQ(result.offsetMs, NoServerTime);
        EXPECT_EQ(result.roundTripMs, -1);
    }
}

}  // namespace
}  // namespace velmora
