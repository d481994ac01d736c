#include "common/pipe_protocol.h"

namespace velmora {

PipeRequest DecodePipeRequest(std::span<const std::uint8_t> message, bool complete) {
    if (!complete || message.size() != kOffsetRequestSize) return {};
    std::uint64_t bits = 0;
    for (std::size_t i = kOffsetRequestSize; i-- > 0;) bits = bits << 8 | message[i];
    return {PipeRequestKind::Offset, static_cast<std::int64_t>(bits)};
}

std::array<std::uint8_t, kOffsetRequestSize> EncodeOffsetRequest(std::int64_t offsetMs) {
    auto bits = static_cast<std::uint64_t>(offsetMs);
    std::array<std::uint8_t, kOffsetRequestSize> bytes{};
    for (std::uint8_t& byte : bytes) {
        byte = static_cast<std::uint8_t>(bits);
        bits >>= 8;
    }
    return bytes;
}

std::array<std::uint8_t, kFailureReplySize> EncodeFailureReply(std::uint8_t firstByte, std::uint32_t error) {
    return {firstByte, static_cast<std::uint8_t>(error), static_cast<std::uint8_t>(error >> 8),
            static_cast<std::uint8_t>(error >> 16), static_cast<std::uint8_t>(error >> 24)};
}

PipeReply DecodePipeReply(std::span<const std::uint8_t> reply, std::uint8_t requestFirstByte) {
    if (reply.empty() || reply[0] != requestFirstByte) return {};
    if (reply.size() == 1) return {PipeReplyKind::Taken, 0};
    if (reply.size() != kFailureReplySize) return {};
    const std::uint32_t error = std::uint32_t{reply[1]} | std::uint32_t{reply[2]} << 8 |
                                std::uint32_t{reply[3]} << 16 | std::uint32_t{reply[4]} << 24;
    // A failure without a reason is still a failure.
    return {PipeReplyKind::NotApplied, error == 0 ? 31u /* ERROR_GEN_FAILURE */ : error};
}

}  // namespace velmora
