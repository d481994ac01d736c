#include "common/pipe_protocol.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <vector>

namespace velmora {
namespace {

using Bytes = std::vector<std::uint8_t>;

TEST(PipeRequest, EightBytesAreALittleEndianSignedOffset) {
    struct Case {
        Bytes bytes;
        std::int64_t offsetMs;
    } const cases[] = {
        {{0xE8, 0x03, 0, 0, 0, 0, 0, 0}, 1000},
        {{0x06, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}, -250},
        {{0xFF, 0xFF, 0xFF, 0x7F, 0, 0, 0, 0}, 2147483647},
        {{0, 0, 0, 0, 0, 0, 0, 0}, 0},
        {{0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x7F}, std::numeric_limits<std::int64_t>::max()},
        {{0, 0, 0, 0, 0, 0, 0, 0x80}, std::numeric_limits<std::int64_t>::min()},
    };
    for (const Case& c : cases) {
        const PipeRequest request = DecodePipeRequest(c.bytes, true);
        EXPECT_EQ(request.kind, PipeRequestKind::Offset) << c.offsetMs;
        EXPECT_EQ(request.offsetMs, c.offsetMs);
        const auto encoded = EncodeOffsetRequest(c.offsetMs);
        EXPECT_EQ(Bytes(encoded.begin(), encoded.end()), c.bytes);
    }
}

// A client's byte 3 once stopped the LocalSystem service; only the service's own control
// handler stops it now, so the byte is an ordinary ignored request.
TEST(PipeRequest, ASingleByteThreeStopsNothing) {
    for (const Bytes& message : {Bytes{3}, Bytes{4}, Bytes{0}, Bytes{3, 0}})
        EXPECT_EQ(DecodePipeRequest(message, true).kind, PipeRequestKind::Ignored) << message.size();
}

TEST(PipeRequest, EveryOtherLengthIsIgnored) {
    for (const std::size_t length : {0, 2, 3, 4, 5, 6, 7, 9, 16, 100}) {
        const Bytes message(length, 3);
        EXPECT_EQ(DecodePipeRequest(message, true).kind, PipeRequestKind::Ignored) << length;
    }
}

TEST(PipeRequest, AMessageNotReadWholeIsIgnoredWhateverItsLength) {
    // For instance the first 8 or 100 bytes of a longer message, or a single 3.
    for (const std::size_t length : {1, 8, 100}) {
        const Bytes message(length, 3);
        EXPECT_EQ(DecodePipeRequest(message, false).kind, PipeRequestKind::Ignored) << length;
    }
}

TEST(PipeReply, OneByteIsTakenFiveBytesCarryTheErrorAnythingElseIsMalformed) {
    struct Case {
        const char* what;
        Bytes reply;
        PipeReplyKind kind;
        std::uint32_t error;
    } const cases[] = {
        {"the request's first byte", {0xE8}, PipeReplyKind::Taken, 0},
        {"not applied, 1314", {0xE8, 0x22, 0x05, 0, 0}, PipeReplyKind::NotApplied, 1314},
        {"not applied without a reason", {0xE8, 0, 0, 0, 0}, PipeReplyKind::NotApplied, 31},
        {"another first byte", {0xE9}, PipeReplyKind::Malformed, 0},
        {"empty", {}, PipeReplyKind::Malformed, 0},
        {"two bytes", {0xE8, 1}, PipeReplyKind::Malformed, 0},
        {"six bytes", {0xE8, 1, 0, 0, 0, 0}, PipeReplyKind::Malformed, 0},
    };
    for (const Case& c : cases) {
        const PipeReply reply = DecodePipeReply(c.reply, 0xE8);
        EXPECT_EQ(reply.kind, c.kind) << c.what;
        EXPECT_EQ(reply.error, c.error) << c.what;
    }
    const auto encoded = EncodeFailureReply(0x06, 0x12345678);
    EXPECT_EQ(Bytes(encoded.begin(), encoded.end()), (Bytes{0x06, 0x78, 0x56, 0x34, 0x12}));
    EXPECT_EQ(DecodePipeReply(encoded, 0x06).error, 0x12345678u);
}

}  // namespace
}  // namespace velmora
