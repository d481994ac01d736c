#pragma once
// Whole milliseconds of FILETIME counts (100 ns units), and the steps in which Windows'
// ordinary clock reads advance. No Windows here.
#include <cstdint>

namespace velmora {

inline constexpr std::uint64_t kFileTicksPerMillisecond = 10'000;

// GetTickCount, GetSystemTime and GetLocalTime change once per system tick, 64 times a second
// unless a program asks for a faster timer. The precise clocks (QueryPerformanceCounter,
// GetSystemTimePreciseAsFileTime) do not.
inline constexpr std::uint64_t kWindowsTickFileTicks = 156'250;  // 15.625 ms

// What a clock that is updated every `period` ticks shows at `ticks`: its value at the last
// update. A period of 0 is a clock without steps.
std::uint64_t AtLastTick(std::uint64_t ticks, std::uint64_t period);

// To a whole millisecond: down, to the nearest (halves up), and up.
std::uint64_t TruncateToMillisecond(std::uint64_t ticks);
std::uint64_t RoundToMillisecond(std::uint64_t ticks);
std::uint64_t CeilToMillisecond(std::uint64_t ticks);

}  // namespace velmora
