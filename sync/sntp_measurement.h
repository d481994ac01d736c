#pragma once
// What one SNTP query found: the value a query hands back, and nothing more. No Windows here.
#include <cstdint>
#include <string>

#include "sync/time_arithmetic.h"

namespace velmora {

struct SntpMeasurement {
    std::wstring failureText;  // empty when a server answered
    std::int64_t offsetMs = NoServerTime;
    std::int64_t roundTripMs = -1;
    bool Answered() const { return failureText.empty(); }
};

}  // namespace velmora
