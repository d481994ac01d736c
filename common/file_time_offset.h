#pragma once
// Moving a FILETIME count (100 ns units since 1601-01-01) by a pipe offset. No Windows here.
#include <cstdint>

namespace velmora {

// ticks + offsetMs * 10,000 in 64-bit two's complement: the product keeps its low 64 bits
// and the sum wraps, so any offset a client sends has a defined result. Whether that result
// is still a valid time is for the FILETIME-to-SYSTEMTIME conversion to decide.
std::uint64_t AddOffsetToFileTime(std::uint64_t ticks, std::int64_t offsetMs);

}  // namespace velmora
