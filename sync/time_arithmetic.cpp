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

std::int64_t ServerHoldMilliseconds(NtpTimestamp receive, NtpTimestamp transmit, std::int64_t roundTripMs) {
    // 32.32 fixed point, subtracted modulo 2^64 so that a hold across the era wrap is small.
    const std::uint64_t received = std::uint64_t{receive.seconds} << 32 | receive.fraction;
    const std::uint64_t sent = std::uint64_t{transmit.seconds} << 32 | transmit.fraction;
    const auto held = static_cast<std::int64_t>(sent - received);
    if (held < 0 || roundTripMs < 0) return 0;
    const std::int64_t wholeSeconds = held >> 32;
    if (wholeSeconds > roundTripMs / 1000) return 0;
    const std::int64_t heldMs = wholeSeconds * 1000 + static_cast<std::int64_t>(((held & 0xFFFFFFFF) * 1000) >> 32);
    return heldMs <= roundTripMs ? heldMs : 0;
}

std::int64_t ServerTimeAtAnswer(NtpTimestamp transmit, std::int64_t networkRoundTripMs) {
    const std::int64_t addedMs = FractionToMilliseconds(transmit.fraction) + networkRoundTripMs / 2;
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

std::int64_t AddOffsetTicks(std::int64_t ticks, std::int64_t offsetMs) {
    return ticks + offsetMs * kTicksPerMillisecond;
}

}  // namespace velmora
