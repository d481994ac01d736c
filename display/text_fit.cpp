#include "display/text_fit.h"

namespace velmora {

namespace {

bool IsLowSurrogate(wchar_t c) { return c >= 0xDC00 && c <= 0xDFFF; }

// The first `length` characters, one fewer if that would part a surrogate pair, without
// the spaces at their end, and the ellipsis.
std::wstring Shortened(const std::wstring& text, std::size_t length) {
    if (length > 0 && length < text.size() && IsLowSurrogate(text[length])) --length;
    std::wstring shortened = text.substr(0, length);
    while (!shortened.empty() && shortened.back() == L' ') shortened.pop_back();
    return shortened + kEllipsis;
}

}  // namespace

std::wstring FitWithEllipsis(const std::wstring& text, double maxWidth,
                             const std::function<double(const std::wstring&)>& measure) {
    if (measure(text) <= maxWidth) return text;
    // The longest beginning that fits, by halving: a label is measured a few times, not once
    // per letter.
    std::size_t fits = 0;
    std::size_t tooLong = text.size();
    while (tooLong - fits > 1) {
        const std::size_t middle = fits + (tooLong - fits) / 2;
        if (measure(Shortened(text, middle)) <= maxWidth) fits = middle;
        else tooLong = middle;
    }
    return Shortened(text, fits);
}

}  // namespace velmora
