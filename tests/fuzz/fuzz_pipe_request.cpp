// Any message a pipe client can send, whole or cut short: the service's decoding gives
// exactly one defined request, and an offset moves the clock reversibly whatever its size.
// The same bytes read as a reply (a server could send anything) give one defined outcome.
#include <cstdint>
#include <limits>
#include <span>

#include "common/file_time_offset.h"
#include "common/pipe_protocol.h"
#include "tests/fuzz/fuzz_check.h"

using namespace velmora;

// Input: flags (1 byte; bit 0: the read completed), a FILETIME count (8), then the message.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::ByteReader in(data, size);
    const bool complete = (in.Take<std::uint8_t>() & 1) != 0;
    const auto ticks = in.Take<std::uint64_t>();
    const std::span<const std::uint8_t> message(in.Rest(), in.RestSize());

    const PipeRequest request = DecodePipeRequest(message, complete);
    switch (request.kind) {
    case PipeRequestKind::Offset: {
        FUZZ_CHECK(complete && message.size() == kOffsetRequestSize);
        const auto encoded = EncodeOffsetRequest(request.offsetMs);
        for (std::size_t i = 0; i < kOffsetRequestSize; ++i) FUZZ_CHECK(encoded[i] == message[i]);
        // Moving the clock there and back again ends where it started, for any offset.
        const std::uint64_t moved = AddOffsetToFileTime(ticks, request.offsetMs);
        if (request.offsetMs != std::numeric_limits<std::int64_t>::min())
            FUZZ_CHECK(AddOffsetToFileTime(moved, -request.offsetMs) == ticks);
        break;
    }
    case PipeRequestKind::Ignored:
        FUZZ_CHECK(!complete || message.size() != kOffsetRequestSize);
        FUZZ_CHECK(request.offsetMs == 0);
        break;
    default:
        FUZZ_CHECK(false);
    }

    const std::uint8_t firstByte = static_cast<std::uint8_t>(ticks);
    const PipeReply reply = DecodePipeReply(message, firstByte);
    switch (reply.kind) {
    case PipeReplyKind::Taken:
        FUZZ_CHECK(message.size() == 1 && message[0] == firstByte && reply.error == 0);
        break;
    case PipeReplyKind::NotApplied: {
        FUZZ_CHECK(message.size() == kFailureReplySize && message[0] == firstByte && reply.error != 0);
        const auto encoded = EncodeFailureReply(firstByte, reply.error);
        if (message[1] | message[2] | message[3] | message[4])
            for (std::size_t i = 0; i < kFailureReplySize; ++i) FUZZ_CHECK(encoded[i] == message[i]);
        break;
    }
    case PipeReplyKind::Malformed:
        FUZZ_CHECK(message.empty() || message[0] != firstByte ||
                   (message.size() != 1 && message.size() != kFailureReplySize));
        break;
    default:
        FUZZ_CHECK(false);
    }
    return 0;
}
