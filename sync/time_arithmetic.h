#pragma once
// Offset arithmetic on FILETIME tick counts (100 ns units since 1601-01-01 UTC). No Windows here.
#include <cstdint>

#include "sync/ntp_packet.h"

namespace velmora {

// Milliseconds by which the server is ahead of the PC; this value means "none known".
inline constexpr std::int64_t NoServerTime = 2147483647;

inline constexpr std::int64_t kTicksPerMillisecond = 10'000;
inline constexpr std::int64_t kTicksPerSecond = 10'000'000;
inline constexpr std::int64_t kUnixEpochTicks = 116'444'736'000'000'000;  // 1970-01-01 as FILETIME
inline constexpr std::uint32_t kNtpToUnixSeconds = 2'208'988'800u;         // 1900-01-01 to 1970-01-01

// After the service has set the clock, measured differences this small are residue of the
// measurement itself and count as "already synchronised".
inline constexpr std::int64_t kSynchronisedWithinMs = 20;

// FILETIME ticks of a transmit timestamp's whole second. The 32-bit seconds field is read
// as 1970-01-01 .. 2106-02-07, so era-1 timestamps (after 2036-02-07 06:28:16) land right.
std::int64_t NtpSecondsToFileTicks(std::uint32_t ntpSeconds);

// 0..1000 ms; the divisor is 2^32 - 1, so 0xFFFFFFFF gives exactly 1000.
std::int64_t FractionToMilliseconds(std::uint32_t fraction);

// Elapsed milliseconds between two 32-bit tick-counter readings, across a wrap.
std::int64_t RoundTripMilliseconds(std::uint32_t startTick, std::uint32_t endTick);

// Server time at the moment its answer arrived: the transmit timestamp (fraction truncated
// to ms) plus half the round trip (truncated), for the answer's way back.
std::int64_t ServerTimeAtAnswer(NtpTimestamp transmit, std::int64_t roundTripMs);

// (server - pc) in whole milliseconds, truncated toward zero.
std::int64_t OffsetMilliseconds(std::int64_t serverTicks, std::int64_t pcTicks);

// The offset to keep once a measurement is in: 0 for residue after an adjustment.
std::int64_t SettleOffset(std::int64_t measuredMs, bool clockAdjusted);

}  // namespace velmora
