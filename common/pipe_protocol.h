#pragma once
// The named-pipe protocol between the desktop program and the service, the one definition
// both use. No Windows here, so the decoding is tested natively.
#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

namespace velmora {

inline constexpr wchar_t kTimePipeName[] = L"\\\\.\\pipe\\Velmora";

// Both of the pipe's buffers, and the service's receive buffer.
inline constexpr std::size_t kPipeBufferSize = 100;
inline constexpr std::size_t kOffsetRequestSize = 8;
// What the service's own stop request used to be. The service stops only through its
// control handler now; a client's byte 3 is answered and ignored like any other.
inline constexpr std::uint8_t kStopRequestByte = 3;

enum class PipeRequestKind { Ignored, Offset };

struct PipeRequest {
    PipeRequestKind kind = PipeRequestKind::Ignored;
    std::int64_t offsetMs = 0;  // only for Offset
};

// The kind is decided by the length alone: 8 bytes are an offset (little-endian two's
// complement milliseconds), everything else is ignored. A message that could not be read
// whole (`complete` false) is ignored too.
PipeRequest DecodePipeRequest(std::span<const std::uint8_t> message, bool complete);

// The 8 bytes of an offset request, as the desktop program sends them.
std::array<std::uint8_t, kOffsetRequestSize> EncodeOffsetRequest(std::int64_t offsetMs);

// The reply, written once the request has been acted on:
// - taken (the clock was set, or the request was one the service ignores): one byte, the
//   first byte of the service's receive buffer, which for a request that was read is the
//   request's own first byte;
// - an offset that was not applied: five bytes, that same first byte followed by the
//   system's error code (32 bits, little-endian). A client that reads only one byte sees
//   the same first byte, and its read reports that more data followed.
inline constexpr std::size_t kFailureReplySize = 5;
std::array<std::uint8_t, kFailureReplySize> EncodeFailureReply(std::uint8_t firstByte, std::uint32_t error);

enum class PipeReplyKind { Taken, NotApplied, Malformed };
struct PipeReply {
    PipeReplyKind kind = PipeReplyKind::Malformed;
    std::uint32_t error = 0;  // only for NotApplied; never 0
};
// Reads a reply to a request whose first byte was `requestFirstByte`.
PipeReply DecodePipeReply(std::span<const std::uint8_t> reply, std::uint8_t requestFirstByte);

}  // namespace velmora
