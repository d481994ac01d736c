#include "settings/next_view.h"

#include "settings/app_settings.h"

namespace velmora {

ViewStep NextViewStep(std::int32_t skin, bool anyWorldClockEnabled) {
    switch (skin) {
    case kFullView: return {kCompactView, kCompactViewShift};
    case kCompactView: return {anyWorldClockEnabled ? kWorldClockView : kFullView, -kCompactViewShift};
    case kWorldClockView: return {kFullView, 0};
    default: return {skin, 0};
    }
}

}  // namespace velmora
