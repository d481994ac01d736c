#include "sync/sntp_reply.h"

namespace velmora {

SntpReplyResult MeasureSntpReply(std::span<const std::uint8_t> datagram, const SntpExchange& exchange) {
    SntpReplyResult result;
    result.check = CheckNtpReply(datagram, exchange.nonce);
    if (!result.Valid()) return result;
    result.roundTripMs = RoundTripMilliseconds(exchange.startTick, exchange.endTick);
    const std::int64_t serverTicks = ServerTimeAtAnswer(ReadTransmitTimestamp(datagram), result.roundTripMs);
    result.offsetMs = OffsetMilliseconds(serverTicks, exchange.pcTicksAtAnswer);
    return result;
}

}  // namespace velmora
