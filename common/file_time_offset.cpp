#include "common/file_time_offset.h"

namespace velmora {

std::uint64_t AddOffsetToFileTime(std::uint64_t ticks, std::int64_t offsetMs) {
    // Unsigned, because signed overflow is undefined and a hostile offset must not reach it.
    return ticks + static_cast<std::uint64_t>(offsetMs) * 10'000u;
}

}  // namespace velmora
