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
inline constexpr std::uint8_t kStopRequestByte = 3;

enum class PipeRequestKind { Ignored, Offset, Stop };

struct PipeRequest {
    PipeRequestKind kind = PipeRequestKind::Ignored;
    std::int64_t offsetMs = 0;  // only for Offset
};

// The kind is decided by the length alone: 8 bytes are an offset (little-endian two's
// complement milliseconds), one byte 3 is a stop, everything else is ignored. A message
// that could not be read whole (`complete` false) is ignored too.
PipeRequest DecodePipeRequest(std::span<const std::uint8_t> message, bool complete);

// The 8 bytes of an offset request, as the desktop program sends them.
std::array<std::uint8_t, kOffsetRequestSize> EncodeOffsetRequest(std::int64_t offsetMs);

}  // namespace velmora
