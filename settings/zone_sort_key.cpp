#include "settings/zone_sort_key.h"

namespace velmora {

float ZoneSortKey(std::wstring_view displayName) {
    constexpr std::size_t kColon = 7;
    constexpr std::size_t kOffsetStart = 4;
    constexpr std::size_t kOffsetLength = 6;
    if (displayName.size() <= kColon || displayName[kColon] != L':') return 0.0f;

    // "+05:30" with the colon read as a decimal point: sign, digits, point, digits.
    const std::wstring_view piece = displayName.substr(kOffsetStart, kOffsetLength);
    const std::size_t pointAt = kColon - kOffsetStart;
    std::size_t i = 0;
    double sign = 1.0;
    if (i < piece.size() && (piece[i] == L'+' || piece[i] == L'-')) {
        if (piece[i] == L'-') sign = -1.0;
        ++i;
    }
    bool anyDigit = false;
    double value = 0.0;
    for (; i < piece.size() && i != pointAt && piece[i] >= L'0' && piece[i] <= L'9'; ++i) {
        value = value * 10.0 + (piece[i] - L'0');
        anyDigit = true;
    }
    if (i == pointAt) {
        double fraction = 0.0;
        double scale = 1.0;
        for (++i; i < piece.size() && piece[i] >= L'0' && piece[i] <= L'9'; ++i) {
            fraction = fraction * 10.0 + (piece[i] - L'0');
            scale *= 10.0;
            anyDigit = true;
        }
        value += fraction / scale;
    }
    return anyDigit ? static_cast<float>(sign * value) : 0.0f;
}

}  // namespace velmora
