#include "sync/time_arithmetic.h"

namespace velmora {

std::int64_t NtpSecondsToFileTicks(std::uint32_t ntpSeconds) {
    const std::uint32_t sinceUnixEpoch = ntpSeconds - kNtpToUnixSeconds;  // modulo 2^32
    return std::int64_t{sinceUnixEpoch} * kTicksPerSecond + kUnixEpochTicks;
}

std::int64_t FractionToMilliseconds(std::uint32_t fraction) {
    return static_cast<std::int64_t>(static_cast<double>(fraction) * (1000.0 / 4294967295.0));
}

std::int64_t RoundTripMilliseconds(std::uint32_t startTick, std::uint32_t endTick) {
    return static_cast<std::uint32_t>(endTick - startTick);
}

std::int64_t ServerTimeAtAnswer(NtpTimestamp transmit, std::int64_t roundTripMs) {
    const std::int64_t addedMs = FractionToMilliseconds(transmit.fraction) + roundTripMs / 2;
    return NtpSecondsToFileTicks(transmit.seconds) + addedMs * kTicksPerMillisecond;
}

std::int64_t OffsetMilliseconds(std::int64_t serverTicks, std::int64_t pcTicks) {
    return (serverTicks - pcTicks) / kTicksPerMillisecond;
}

std::int64_t SettleOffset(std::int64_t measuredMs, bool clockAdjusted) {
    if (clockAdjusted && measuredMs > -kSynchronisedWithinMs && measuredMs < kSynchronisedWithinMs)
        return 0;
    return measuredMs;
}

}  // namespace velmora
