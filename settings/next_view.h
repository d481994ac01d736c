#pragma once
// The order in which the clock views follow each other. No Windows here.
#include <cstdint>

namespace velmora {

// The compact window sits this many pixels lower than the full window's top edge, so that
// switching views keeps the clock face where it was on screen.
inline constexpr std::int32_t kCompactViewShift = 171;

struct ViewStep {
    std::int32_t skin;   // the view after the step
    std::int32_t shift;  // added to the left window's top edge when its placement is saved
};

// full -> compact -> world clocks (only with an enabled clock, else full) -> full.
// An unknown view stays as it is.
ViewStep NextViewStep(std::int32_t skin, bool anyWorldClockEnabled);

}  // namespace velmora
