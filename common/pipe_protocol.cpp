#include "common/pipe_protocol.h"

namespace velmora {

PipeRequest DecodePipeRequest(std::span<const std::uint8_t> message, bool complete) {
    if (!complete) return {};
    if (message.size() == 1 && message[0] == kStopRequestByte) return {PipeRequestKind::Stop, 0};
    if (message.size() != kOffsetRequestSize) return {};
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

}  // namespace velmora
