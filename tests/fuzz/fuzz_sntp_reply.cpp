// Any datagram, in answer to any request at any moment: either the checks reject it and
// there is no offset, or the offset puts the server's clock where the reply says it is.
#include <cstdint>
#include <span>

#include "common/file_time_offset.h"
#include "sync/sntp_reply.h"
#include "tests/fuzz/fuzz_check.h"

using namespace velmora;

namespace {

// The latest FILETIME that SYSTEMTIME can hold (30827-12-31): the PC clock is never later.
constexpr std::int64_t kLastPcTicks = 0x7FFF35F4F06C7FFFll;

std::uint64_t BigEndian64(const std::uint8_t* bytes) {
    std::uint64_t value = 0;
    for (int i = 0; i < 8; ++i) value = value << 8 | bytes[i];
    return value;
}

}  // namespace

// Input: nonce (8 bytes), start and end tick (4 + 4), PC clock (8), then the datagram.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::ByteReader in(data, size);
    SntpExchange exchange;
    exchange.nonce = in.Take<std::uint64_t>();
    exchange.startTick = in.Take<std::uint32_t>();
    exchange.endTick = in.Take<std::uint32_t>();
    exchange.pcTicksAtAnswer = static_cast<std::int64_t>(in.Take<std::uint64_t>() % (kLastPcTicks + 1));
    const std::span<const std::uint8_t> datagram(in.Rest(), in.RestSize());

    const SntpReplyResult result = MeasureSntpReply(datagram, exchange);
    FUZZ_CHECK(result.check == CheckNtpReply(datagram, exchange.nonce));
    if (!result.Valid()) {
        FUZZ_CHECK(result.offsetMs == NoServerTime);
        FUZZ_CHECK(result.roundTripMs == -1);
        return 0;
    }

    // Accepted: a server's answer to exactly this request.
    FUZZ_CHECK(datagram.size() >= kNtpPacketSize);
    FUZZ_CHECK((datagram[0] & 0x07) == 4);
    FUZZ_CHECK((datagram[0] >> 6) != 3);
    FUZZ_CHECK(datagram[1] >= 1 && datagram[1] <= 15);
    FUZZ_CHECK(BigEndian64(&datagram[24]) == exchange.nonce);
    FUZZ_CHECK(BigEndian64(&datagram[40]) != 0);

    FUZZ_CHECK(result.roundTripMs >= 0 && result.roundTripMs <= 0xFFFFFFFFll);
    const NtpTimestamp transmit = ReadTransmitTimestamp(datagram);

    // The PC clock moved by the offset lands between the transmit second and that second
    // plus its fraction and half the round trip (to the millisecond the offset keeps).
    const auto serverNow = static_cast<std::int64_t>(
        AddOffsetToFileTime(static_cast<std::uint64_t>(exchange.pcTicksAtAnswer), result.offsetMs));
    const std::int64_t transmitSecond = NtpSecondsToFileTicks(transmit.seconds);
    FUZZ_CHECK(serverNow > transmitSecond - kTicksPerMillisecond);
    FUZZ_CHECK(serverNow < transmitSecond + (1001 + result.roundTripMs / 2) * kTicksPerMillisecond);
    return 0;
}
