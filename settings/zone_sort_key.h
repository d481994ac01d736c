#pragma once
// Sort key of a time zone's display text such as "(UTC+05:30) Chennai". No Windows here.
#include <string_view>

namespace velmora {

// The offset "+05:30" read as the number 5.30: minutes become hundredths, which keeps the
// order of real offsets. 0 when the text has no ":" at position 7 ("(UTC) ...") or the
// offset does not start with a number.
float ZoneSortKey(std::wstring_view displayName);

}  // namespace velmora
