#include "settings/time_format_pattern.h"

namespace velmora {

const wchar_t* TimeFormatPattern = nullptr;

const wchar_t* TimeFormatPatternFor(int timeFormat) {
    switch (timeFormat) {
    case 12: return kTwelveHourPattern;
    case 24: return kTwentyFourHourPattern;
    default: return nullptr;
    }
}

}  // namespace velmora
