#include "settings/world_clock_order.h"

#include <algorithm>
#include <string_view>

namespace velmora {

namespace {

bool IsNumber(std::wstring_view name) {
    return !name.empty() && std::all_of(name.begin(), name.end(), [](wchar_t c) { return c >= L'0' && c <= L'9'; });
}

// Compares decimal digit strings of any length without converting them (no overflow).
bool NumericallyLess(std::wstring_view a, std::wstring_view b) {
    auto significant = [](std::wstring_view s) {
        const std::size_t first = s.find_first_not_of(L'0');
        return first == std::wstring_view::npos ? std::wstring_view{} : s.substr(first);
    };
    a = significant(a);
    b = significant(b);
    if (a.size() != b.size()) return a.size() < b.size();
    return a < b;
}

}  // namespace

std::vector<std::wstring> OrderWorldClockSubkeys(std::vector<std::wstring> names) {
    const auto firstOther = std::stable_partition(names.begin(), names.end(), [](const std::wstring& n) { return IsNumber(n); });
    std::stable_sort(names.begin(), firstOther, [](const std::wstring& a, const std::wstring& b) { return NumericallyLess(a, b); });
    return names;
}

std::wstring WorldClockSubkeyName(std::size_t position) {
    return std::to_wstring(position);
}

}  // namespace velmora
