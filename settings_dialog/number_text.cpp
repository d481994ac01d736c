#include "settings_dialog/number_text.h"

namespace velmora {

namespace {

// The C locale's white space; pasted text may bring any of it.
bool IsBlank(wchar_t c) { return c == L' ' || (c >= L'\t' && c <= L'\r'); }
bool IsDigit(wchar_t c) { return c >= L'0' && c <= L'9'; }

}  // namespace

NumberConversion ConvertNumberText(std::wstring_view text) {
    std::size_t i = 0;
    while (i < text.size() && IsBlank(text[i])) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == L'+' || text[i] == L'-')) negative = text[i++] == L'-';
    if (i == text.size() || !IsDigit(text[i])) return {0, kInvalidNumberText};

    // The magnitude of the most negative value is one more than the largest positive one.
    const std::int64_t limit = negative ? 2147483648LL : 2147483647LL;
    std::int64_t magnitude = 0;
    for (; i < text.size() && IsDigit(text[i]); ++i) {
        magnitude = magnitude * 10 + (text[i] - L'0');
        if (magnitude > limit) return {0, kNumberOutOfRangeText};
    }
    return {static_cast<std::int32_t>(negative ? -magnitude : magnitude), nullptr};
}

}  // namespace velmora
