#pragma once
// Cutting a text to a width: the longest beginning that fits, followed by an ellipsis.
// No Windows here: the width of a text comes from the caller.
#include <functional>
#include <string>

namespace velmora {

inline constexpr wchar_t kEllipsis[] = L"\u2026";

// `text` itself when `measure(text)` is at most `maxWidth`; otherwise its longest beginning
// that, with trailing spaces dropped and the ellipsis added, fits (just the ellipsis when no
// letter does). Never splits a surrogate pair. `measure` must not shrink as a text grows.
std::wstring FitWithEllipsis(const std::wstring& text, double maxWidth,
                             const std::function<double(const std::wstring&)>& measure);

}  // namespace velmora
