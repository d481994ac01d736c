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

TEST(PipeRequest, OnlyASingleByteThreeStops) {
    EXPECT_EQ(DecodePipeRequest(Bytes{3}, true).kind, PipeRequestKind::Stop);
    EXPECT_EQ(DecodePipeRequest(Bytes{4}, true).kind, PipeRequestKind::Ignored);
    EXPECT_EQ(DecodePipeRequest(Bytes{0}, true).kind, PipeRequestKind::Ignored);
    EXPECT_EQ(DecodePipeRequest(Bytes{3, 0}, true).kind, PipeRequestKind::Ignored);
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

}  // namespace
}  // namespace velmora
