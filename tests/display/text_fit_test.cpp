// Cutting a label to a width with an ellipsis.
#include "display/text_fit.h"

#include <gtest/gtest.h>

namespace velmora {
namespace {

// Ten units a character, the ellipsis included; counts its calls.
struct Measure {
    int calls = 0;
    double operator()(const std::wstring& text) {
        ++calls;
        return 10.0 * static_cast<double>(text.size());
    }
};

TEST(TextFitTest, ATextThatFitsStaysAsItIsAndALongerOneEndsInAnEllipsis) {
    struct Case {
        std::wstring text;
        double width;
        std::wstring expected;
    } const cases[] = {
        {L"Tokyo", 50, L"Tokyo"},
        {L"Tokyo", 49, L"Tok\u2026"},
        {L"Central Africa Standard Time", 120, L"Central Afr\u2026"},
        // No space before the ellipsis.
        {L"Central Africa Standard Time", 90, L"Central\u2026"},
        {L"Central Africa Standard Time", 10, L"\u2026"},
        {L"Central Africa Standard Time", 0, L"\u2026"},
        {L"", 0, L""},
        // A character outside the basic plane is never cut in half.
        {std::wstring{L'a', L'b', wchar_t(0xD83C), wchar_t(0xDF0D), L'c', L'd'}, 40, L"ab\u2026"},
    };
    for (const Case& c : cases) {
        Measure measure;
        EXPECT_EQ(FitWithEllipsis(c.text, c.width, std::ref(measure)), c.expected) << c.width;
    }
}

TEST(TextFitTest, ALongTextIsMeasuredAFewTimesNotOncePerLetter) {
    Measure measure;
    const std::wstring text(5000, L'x');
    EXPECT_EQ(FitWithEllipsis(text, 200, std::ref(measure)), std::wstring(19, L'x') + L"\u2026");
    EXPECT_LT(measure.calls, 20);
}

}  // namespace
}  // namespace velmora
