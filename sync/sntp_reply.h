#pragma once
// One received datagram judged and turned into an offset. No Windows here, so every byte a
// server (or anyone else) can send is exercised natively under the sanitizers and a fuzzer.
#include <cstdint>
#include <span>

#include "sync/ntp_packet.h"
#include "sync/time_arithmetic.h"

namespace velmora {

// What the query knew when the datagram arrived.
struct SntpExchange {
    std::uint64_t nonce = 0;            // carried by the request
    std::uint32_t startTick = 0;        // millisecond counter before the request went out
    std::uint32_t endTick = 0;          // and when the datagram arrived
    std::int64_t pcTicksAtAnswer = 0;   // the PC's UTC clock then, FILETIME ticks
};

struct SntpReplyResult {
    NtpReplyCheck check = NtpReplyCheck::TooShort;
    std::int64_t offsetMs = NoServerTime;  // only when check is Valid
    std::int64_t roundTripMs = -1;         // only when check is Valid
    bool Valid() const { return check == NtpReplyCheck::Valid; }
};

// A datagram that fails CheckNtpReply gives no offset at all.
SntpReplyResult MeasureSntpReply(std::span<const std::uint8_t> datagram, const SntpExchange& exchange);

}  // namespace velmora
