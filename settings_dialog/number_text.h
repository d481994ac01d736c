#pragma once
// How the settings dialog reads a number the user typed. No Windows here.
#include <cstdint>
#include <string_view>

namespace velmora {

// The two failures, worded as the standard conversion words them.
inline constexpr wchar_t kInvalidNumberText[] = L"invalid stoi argument";
inline constexpr wchar_t kNumberOutOfRangeText[] = L"stoi argument out of range";

struct NumberConversion {
    std::int32_t value = 0;
    const wchar_t* failure = nullptr;  // one of the two texts above, or null
    bool ok() const { return failure == nullptr; }
};

// Like a standard decimal string-to-integer conversion: leading white space is skipped, one
// optional sign is taken, then ASCII digits up to the first character that is not one; the
// rest is ignored. No digits at all is kInvalidNumberText; a number outside the signed 32-bit
// range is kNumberOutOfRangeText.
NumberConversion ConvertNumberText(std::wstring_view text);

}  // namespace velmora
