// The cache of pre-rendered runs, against a small renderer whose glyphs are blocks of pixels:
// what it composes must equal what the renderer draws, for texts it never rendered whole.
#include "display/glyph_run_cache.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "display/text_band_layout.h"

namespace velmora {
namespace {

constexpr int kWidth = 60;
constexpr int kHeight = 8;

// Glyphs as a renderer would draw them over what lies under the text: digits are 10 pixels
// apart with ink in 8 of them, ':' is 4 apart. Rules that real fonts have are switchable.
struct BlockRenderer {
    bool wideEight = false;        // '8' inks the first column of the next character
    bool narrowAfterOne = false;   // a character after '1' leaves out its last column of ink
    int start = 5;

    static int Advance(wchar_t c) { return c == L':' ? 4 : 10; }
    std::vector<int> Lefts(const std::wstring& text) const {
        std::vector<int> lefts;
        int x = start;
        for (wchar_t c : text) {
            lefts.push_back(x);
            x += Advance(c);
        }
        return lefts;
    }
    static std::uint32_t Ink(wchar_t c, int dx, int dy, std::uint32_t under) {
        return (under >> 1) + 0x01000193u * static_cast<std::uint32_t>(c) + 0x9E37u * static_cast<std::uint32_t>(dx * 7 + dy);
    }
    void Draw(const std::wstring& text, std::vector<std::uint32_t>& pixels) const {
        const std::vector<int> lefts = Lefts(text);
        for (std::size_t i = 0; i < text.size(); ++i) {
            const int left = lefts[i] + 1;
            int width = Advance(text[i]) - 2 + (wideEight && text[i] == L'8' ? 2 : 0);
            if (narrowAfterOne && i > 0 && text[i - 1] == L'1') --width;
            for (int y = 1; y < kHeight - 1; ++y)
                for (int x = left; x < left + width && x < kWidth; ++x) {
                    std::uint32_t& p = pixels[static_cast<std::size_t>(y) * kWidth + static_cast<std::size_t>(x)];
                    p = Ink(text[i], x - left, y, p);
                }
        }
    }
};

class GlyphRunCacheTest : public ::testing::Test {
protected:
    GlyphRunCacheTest() : under(kWidth * kHeight), surface(kWidth * kHeight) {
        for (std::size_t i = 0; i < under.size(); ++i) under[i] = 0x80000000u + static_cast<std::uint32_t>(i * 2654435761u);
        cache.SetDigitsShareAdvance(true);
    }
    PixelView View(std::vector<std::uint32_t>& pixels) { return {pixels.data(), kWidth, kWidth, kHeight}; }
    std::vector<std::uint32_t> Rendered(const std::wstring& text) const {
        std::vector<std::uint32_t> pixels = under;
        renderer.Draw(text, pixels);
        return pixels;
    }
    // What the program does with a text: compose it, or render it and learn it.
    bool Show(const std::wstring& text) {
        changed = {};
        if (cache.Compose(text, View(surface), shown, changed)) return true;
        surface = Rendered(text);
        const std::wstring key = cache.LayoutKey(text);
        if (!cache.KnowsLayout(key)) cache.AddLayout(key, renderer.Lefts(text));
        cache.Learn(text, View(surface), View(under), shown);
        return false;
    }

    BlockRenderer renderer;
    GlyphRunCache cache{kWidth, kHeight};
    GlyphRunCache::Shown shown;
    ColumnSpan changed;
    std::vector<std::uint32_t> under;
    std::vector<std::uint32_t> surface;
};

TEST_F(GlyphRunCacheTest, TextsMadeOfLearnedRunsComposeExactlyAsTheRendererDrawsThem) {
    for (const wchar_t* learned : {L"12:34", L"56:78", L"90:12"}) EXPECT_FALSE(Show(learned)) << learned;
    for (const wchar_t* text : {L"16:38", L"92:74", L"52:18", L"12:34"}) {
        EXPECT_TRUE(Show(text)) << text;
        EXPECT_EQ(surface, Rendered(text)) << text;
    }
    EXPECT_FALSE(Show(L"12:39")) << "a 9 never stood last";
    EXPECT_EQ(surface, Rendered(L"12:39"));
    EXPECT_EQ(cache.GetStats().composed, 4u);
}

TEST_F(GlyphRunCacheTest, OnlyTheRunsThatChangedAreWritten) {
    Show(L"12:34");
    Show(L"12:35");
    ASSERT_TRUE(Show(L"12:34"));
    // The last digit's run: from its left edge to the region's end.
    EXPECT_EQ(changed.left, renderer.Lefts(L"12:34")[4]);
    EXPECT_EQ(changed.right, kWidth);
    ASSERT_TRUE(Show(L"12:34"));
    EXPECT_TRUE(changed.Empty()) << "nothing changed, nothing written";

    // After the region was repainted underneath, the owner forgets what it showed: all is written.
    shown.Forget();
    ASSERT_TRUE(Show(L"12:35"));
    EXPECT_EQ(changed.left, 0);
    EXPECT_EQ(changed.right, kWidth);
}

TEST_F(GlyphRunCacheTest, CharactersWhoseInkTouchesStayTogetherInOneRun) {
    renderer.wideEight = true;
    for (const wchar_t* learned : {L"18:00", L"28:01", L"88:88", L"10:81"}) Show(learned);
    EXPECT_FALSE(cache.Disabled());
    for (const wchar_t* text : {L"18:01", L"88:00", L"20:81", L"28:88", L"80:11"}) {
        Show(text);
        EXPECT_EQ(surface, Rendered(text)) << text;
    }
}

TEST_F(GlyphRunCacheTest, ARendererWhoseGlyphsDependOnTheirNeighboursSwitchesTheCacheOff) {
    renderer.narrowAfterOne = true;
    for (const wchar_t* text : {L"12:34", L"22:34", L"11:34", L"21:34", L"12:14"}) {
        Show(text);
        EXPECT_EQ(surface, Rendered(text)) << text;
    }
    EXPECT_TRUE(cache.Disabled());
    EXPECT_FALSE(Show(L"12:34"));
    EXPECT_EQ(surface, Rendered(L"12:34"));
}

TEST_F(GlyphRunCacheTest, ATextReachingOutsideTheRegionIsNeverComposed) {
    renderer.start = -3;
    Show(L"12:34");
    EXPECT_FALSE(Show(L"12:34"));
    renderer.start = 30;  // its last characters lie past the right edge
    Show(L"12:34");
    EXPECT_FALSE(Show(L"12:34"));
}

TEST_F(GlyphRunCacheTest, DigitsShareALayoutOnlyWhenTheFontSaysSo) {
    EXPECT_EQ(cache.LayoutKey(L"10:42 PM"), L"00:00 PM");
    GlyphRunCache exact{kWidth, kHeight};
    EXPECT_EQ(exact.LayoutKey(L"10:42 PM"), L"10:42 PM");
}

TEST_F(GlyphRunCacheTest, RunsPastTheLimitAreDroppedAndLearnedAgain) {
    GlyphRunCache small{kWidth, kHeight, 2 * kWidth * kHeight};
    small.SetDigitsShareAdvance(true);
    std::vector<std::uint32_t> region = under;
    GlyphRunCache::Shown place;
    const auto learn = [&](const std::wstring& text) {
        region = Rendered(text);
        if (!small.KnowsLayout(small.LayoutKey(text))) small.AddLayout(small.LayoutKey(text), renderer.Lefts(text));
        small.Learn(text, View(region), View(under), place);
    };
    for (const wchar_t* text : {L"12:34", L"56:78", L"90:12"}) learn(text);
    EXPECT_EQ(small.GetStats().runs, 5u) << "only the last text's runs are held";
    ColumnSpan span;
    EXPECT_FALSE(small.Compose(L"16:38", View(region), place, span)) << "the first texts' runs were dropped";
    EXPECT_TRUE(small.Compose(L"90:12", View(region), place, span));
    EXPECT_EQ(region, Rendered(L"90:12"));
}

TEST(TextBandLayoutTest, TextsAreDividedWhereTheyAreEquallyFarInTheirOwnSize) {
    // The full view's local band: the time (size 50 at 65) over the date (size 17 at 95).
    EXPECT_EQ(DivideBandRows({{65, 50}, {95, 17}}, 43, 103, 1.0), (std::vector<RowSpan>{{43, 87}, {87, 103}}));
    // In any order; the world-clock row's label sits above its time.
    EXPECT_EQ(DivideBandRows({{65, 50}, {95, 17}, {20, 20}}, 0, 135, 1.0),
              (std::vector<RowSpan>{{33, 87}, {87, 135}, {0, 33}}));
    // Scaled to device rows.
    EXPECT_EQ(DivideBandRows({{12, 26}, {28, 12}}, 1, 52, 1.5), (std::vector<RowSpan>{{1, 34}, {34, 52}}));
    EXPECT_TRUE(DivideBandRows({{30, 12}, {30, 20}}, 0, 60, 1.0).empty()) << "side by side";
    EXPECT_EQ(DivideBandRows({{30, 12}}, 10, 60, 1.0), (std::vector<RowSpan>{{10, 60}}));
}

// A digital face with a narrow "1": digits of the same advance share a layout, a "1" makes
// another, and no text is ever composed from a layout of other places.
TEST(GlyphRunCacheClasses, DigitsOfTheSameAdvanceShareALayoutAndA1MakesAnother) {
    GlyphRunCache cache(64, 8);
    cache.SetDigitClasses({L'0', L'1', L'0', L'0', L'0', L'0', L'0', L'0', L'0', L'0'});
    EXPECT_TRUE(cache.HasDigitClasses());
    EXPECT_EQ(cache.LayoutKey(L"10:42:57"), L"10:00:00");
    EXPECT_EQ(cache.LayoutKey(L"10:42:51"), L"10:00:01");
    EXPECT_EQ(cache.LayoutKey(L"10:42:58"), cache.LayoutKey(L"10:39:06"));
    EXPECT_NE(cache.LayoutKey(L"10:42:51"), cache.LayoutKey(L"10:42:52"));
    EXPECT_EQ(cache.DigitClass(L'7'), L'0');
    EXPECT_EQ(cache.DigitClass(L':'), L':');

    GlyphRunCache plain(64, 8);
    EXPECT_FALSE(plain.HasDigitClasses());
    EXPECT_EQ(plain.LayoutKey(L"10:42:57"), L"10:42:57") << "without classes every text is its own layout";
    plain.SetDigitsShareAdvance(true);
    EXPECT_EQ(plain.LayoutKey(L"10:42:51"), L"00:00:00");
}

}  // namespace
}  // namespace velmora
