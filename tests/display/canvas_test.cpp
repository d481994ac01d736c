// The shared canvas: what the presented surface holds, the digital font, centred text and
// its shadow, and the caches.
#include <gtest/gtest.h>

#include <algorithm>

#include "display/clock_text.h"
#include "display/main_skin_dialog.h"
#include "display/skin3.h"
#include "display/skin_canvas.h"
#include "display/smal_main.h"
#include "resources/resource_ids.h"
#include "settings/app_settings.h"
#include "settings/time_format_pattern.h"
#include "settings/world_clocks.h"
#include "sync/pc_clock.h"
#include "tests/display/display_fixture.h"
#include "tests/support/system_time.h"

namespace velmora {
namespace {

using testing::ClockWindowTest;
using testing::PixelNear;
using testing::PremultipliedPixel;
using testing::Split;

// The extent of the pixels that `match` picks in a rectangle of the surface.
struct Ink {
    int left = 1 << 30, top = 1 << 30, right = -1, bottom = -1, count = 0;
};
template <typename Match>
Ink InkOf(int x0, int y0, int x1, int y1, Match match) {
    Ink ink;
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x)
            if (match(Canvas.PixelAt(x, y))) {
                ink.left = std::min(ink.left, x);
                ink.right = std::max(ink.right, x);
                ink.top = std::min(ink.top, y);
                ink.bottom = std::max(ink.bottom, y);
                ++ink.count;
            }
    return ink;
}

bool White(std::uint32_t pixel) { return pixel == 0xFFFFFFFF; }
// Mostly covered and mostly black, premultiplied.
bool Black(std::uint32_t pixel) { return Split(pixel).a > 200 && Split(pixel).r < 40; }
bool Light(std::uint32_t pixel) { return Split(pixel).a > 200 && Split(pixel).r > 200; }

using CanvasTest = ClockWindowTest;

TEST_F(CanvasTest, TheFullFaceKeepsItsTransparentTranslucentAndOpaqueRegions) {
    ASSERT_NE(Show(kFullView), nullptr);
    ASSERT_EQ(Canvas.pixelWidth, 258);
    ASSERT_EQ(Canvas.pixelHeight, 321);
    Gdiplus::Bitmap* face = Canvas.LoadPngImage(IDB_FULL_FACE);
    // Points in each band that no text or button covers; the local, server and status
    // bands have each been repainted (DrawTime, DrawServer, DrawStatus) since the face was drawn.
    struct Point {
        int x, y;
        int minAlpha, maxAlpha;
        const char* region;
    } const points[] = {
        {100, 5, 0, 0, "the transparent rows above the panel"},
        {4, 30, 100, 140, "the glass above the local band"},
        {4, 60, 100, 140, "the glass inside the repainted local band"},
        {4, 150, 100, 140, "the glass inside the repainted server band"},
        {4, 185, 100, 140, "the glass inside the repainted status band"},
        {4, 250, 255, 255, "the brushed metal"},
        {130, 312, 1, 254, "the stand's shadow"},
    };
    for (const Point& p : points) {
        const std::uint32_t pixel = Canvas.PixelAt(p.x, p.y);
        EXPECT_TRUE(PixelNear(pixel, PremultipliedPixel(face, p.x, p.y))) << p.region;
        EXPECT_GE(Split(pixel).a, p.minAlpha) << p.region;
        EXPECT_LE(Split(pixel).a, p.maxAlpha) << p.region;
    }
    // The repaint of a band leaves nothing opaque behind where the artwork is see-through.
    Current()->DrawTime();
    EXPECT_TRUE(PixelNear(Canvas.PixelAt(4, 60), PremultipliedPixel(face, 4, 60)));
    EXPECT_EQ(Canvas.PixelAt(100, 5), 0u);
}

TEST_F(CanvasTest, WithNeitherNamedFontInstalledTheBundledFontDrawsTheClock) {
    ASSERT_NE(Show(kFullView), nullptr);
    // This prefix has neither family installed, so the lookup falls through to the bundled one.
    ASSERT_NE(Gdiplus::FontFamily(L"Digital-VLM").GetLastStatus(), Gdiplus::Ok);
    ASSERT_NE(Gdiplus::FontFamily(L"DS-Digital").GetLastStatus(), Gdiplus::Ok);
    EXPECT_TRUE(Canvas.UsesBundledFont());
    EXPECT_EQ(Canvas.FontFamilyName(), L"Digital-VLM");

    Current()->DrawTime();
    EXPECT_GT(InkOf(0, 43, 258, 103, White).count, 300) << "the local time";
    EXPECT_GT(InkOf(0, 112, 258, 162, Light).count, 50) << "the server band";
}

TEST_F(CanvasTest, TextIsCentredExactlyOnItsPoint) {
    ASSERT_NE(Show(kFullView), nullptr);
    // Even digits: a symmetric ink box, whatever the font's side bearings.
    LocalTimeText = L"88:88:88";
    Current()->DrawTime();
    const Ink ink = InkOf(0, 43, 258, 86, White);  // above the date
    ASSERT_GT(ink.count, 0);
    EXPECT_NEAR((ink.left + ink.right) / 2.0, 130.0, 1.5);
    EXPECT_NEAR((ink.top + ink.bottom) / 2.0, 65.0, 2.5);
}

TEST_F(CanvasTest, TheShadowIsOneUnitRightAndOneUpFromTheText) {
    ASSERT_NE(Show(kFullView), nullptr);
    Canvas.ClearSurface();
    Canvas.DrawTextAt(L"8", 50, 100, 100, true);
    const Ink white = InkOf(50, 50, 150, 150, White);
    const Ink black = InkOf(50, 50, 150, 150, Black);
    ASSERT_GT(white.count, 0);
    ASSERT_GT(black.count, 0);
    EXPECT_EQ(black.right, white.right + 1);
    EXPECT_EQ(black.top, white.top - 1);
    EXPECT_GE(black.left, white.left + 1) << "nothing of the shadow shows on the left";
}

// ---------------------------------------------------------------------------------------
// The digital font's glyphs, drawn large on a cleared surface.

// How many separate runs of light pixels row `y` holds between x0 and x1.
int LightRuns(int y, int x0, int x1) {
    int runs = 0;
    bool inRun = false;
    for (int x = x0; x < x1; ++x) {
        const bool light = Light(Canvas.PixelAt(x, y));
        if (light && !inRun) ++runs;
        inRun = light;
    }
    return runs;
}

class DigitalFontTest : public CanvasTest {
protected:
    void SetUp() override {
        CanvasTest::SetUp();
        ASSERT_NE(Show(kFullView), nullptr);
    }
    // `text` alone, centred on (130, 160), and its ink.
    Ink Draw(const wchar_t* text, std::uint8_t size) {
        Canvas.ClearSurface();
        Canvas.DrawTextAt(text, size, 130, 160, false);
        return InkOf(0, 0, Canvas.pixelWidth, Canvas.pixelHeight, Light);
    }
};

// A point of a glyph given in the design units of the segments (a cell's ink runs x 99 to
// 717, y 0 to 1000, y up), found through the glyph's own ink box.
struct Probe {
    int x, y;
    bool inked;
    const char* where;
};

TEST_F(DigitalFontTest, DAndSAreDrawnAsLettersNotAsBracketsOrSlantedFives) {
    struct Glyph {
        const wchar_t* text;
        std::vector<Probe> probes;
    } const glyphs[] = {
        {L"D",
         {{145, 730, true, "upper left stroke"}, {145, 270, true, "lower left stroke"},
          {670, 650, true, "upper right stroke"}, {670, 350, true, "lower right stroke"},
          {350, 953, true, "top bar"}, {350, 47, true, "bottom bar"}, {408, 700, false, "no centre stroke above"},
          {408, 300, false, "no centre stroke below"}, {408, 500, false, "no middle bar"},
          {640, 940, false, "the top right corner is cut"}}},
        {L"d", {{145, 730, true, "upper left stroke"}, {408, 700, false, "no centre stroke"}}},
        {L"S",
         {{450, 953, true, "top bar"}, {145, 650, true, "upper left stroke"}, {670, 700, false, "no upper right"},
          {408, 500, true, "middle bar"}, {670, 300, true, "lower right stroke"}, {145, 300, false, "no lower left"},
          {350, 47, true, "bottom bar"}, {276, 727, false, "no upper diagonal"}, {540, 273, false, "no lower diagonal"},
          {190, 955, false, "the top left corner is cut, unlike a 5's"}}},
        {L"s", {{145, 650, true, "upper left stroke"}, {276, 727, false, "no upper diagonal"}}},
    };
    for (const Glyph& glyph : glyphs) {
        const Ink ink = Draw(glyph.text, 200);
        ASSERT_GT(ink.count, 0) << static_cast<char>(glyph.text[0]);
        for (const Probe& p : glyph.probes) {
            const int x = ink.left + (p.x - 99) * (ink.right - ink.left) / 618;
            const int y = ink.bottom - p.y * (ink.bottom - ink.top) / 1000;
            EXPECT_EQ(Light(Canvas.PixelAt(x, y)), p.inked) << static_cast<char>(glyph.text[0]) << ": " << p.where;
        }
    }
}

TEST_F(DigitalFontTest, OneIsANarrowStrokeCentredInACellOfItsOwn) {
    const Ink one = Draw(L"1", 200);
    ASSERT_GT(one.count, 0);
    EXPECT_NEAR((one.left + one.right) / 2.0, 130.0, 1.5) << "the stroke stands in the middle of its cell";
    EXPECT_LT(one.right - one.left, 20);
    const int ones = Draw(L"11", 200).right - Draw(L"11", 200).left;
    const Ink eights = Draw(L"88", 200);
    EXPECT_LT(ones, (eights.right - eights.left) / 2) << "two ones stand close together, as in 11:51";
    const Ink time = Draw(L"11:51:57", 50);
    EXPECT_NEAR((time.left + time.right) / 2.0, 130.0, 1.5);
}

TEST_F(DigitalFontTest, TheHyphenIsOneBarAndThePlaceholderReadsAsSixDashes) {
    const Ink hyphen = Draw(L"-", 200);
    ASSERT_GT(hyphen.count, 0);
    EXPECT_EQ(LightRuns((hyphen.top + hyphen.bottom) / 2, 0, Canvas.pixelWidth), 1);
    EXPECT_GT(hyphen.right - hyphen.left, 4 * (hyphen.bottom - hyphen.top)) << "a bar, not two half bars";

    const Ink placeholder = Draw(kNoTimeText, 50);
    ASSERT_GT(placeholder.count, 0);
    // The colons' dots lie above and below the bars' row.
    EXPECT_EQ(LightRuns(160, 0, Canvas.pixelWidth), 6);
}

TEST_F(DigitalFontTest, TheCommaHangsBelowTheLineAndTheEllipsisIsThreeDots) {
    const Ink eight = Draw(L"8", 200);
    const Ink comma = Draw(L",", 200);
    ASSERT_GT(comma.count, 0);
    EXPECT_GT(comma.bottom, eight.bottom + 8) << "its tail goes below the baseline";
    EXPECT_GT(comma.top, (eight.top + eight.bottom) / 2) << "low on the line, not a slash across it";
    EXPECT_LT(comma.right - comma.left, (eight.right - eight.left) / 2);

    const Ink ellipsis = Draw(L"\u2026", 200);
    ASSERT_GT(ellipsis.count, 0);
    EXPECT_EQ(LightRuns((ellipsis.top + ellipsis.bottom) / 2, 0, Canvas.pixelWidth), 3);
}

// The time centred on its point in every view, whatever the hour: in the 12-hour and the
// 24-hour picture, from 0 to 23. A "1" set off-centre in its cell showed as a shift of
// several pixels for the hours that start with one.
TEST_F(CanvasTest, TheTimeOfEveryViewIsCentredWhateverTheHour) {
    AddWorldClocks({L"Coordinated Universal Time"});
    const wchar_t* const saved = TimeFormatPattern;
    SYSTEMTIME now = testing::MakeSystemTime(2026, 12, 10, 0, 51, 17, 0);
    const PcClockOverride previous = SetPcClockOverride({[&] { return now; }, [&] { return now; }});
    struct View {
        int skin;
        int centreX;
        int left, top, right, bottom;  // round the time, clear of the labels, the date and "Opt."
        const char* name;
    } const views[] = {
        {kFullView, 130, 0, 43, 258, 86, "full, local"},
        {kFullView, 130, 60, 112, 258, 140, "full, server"},
        {kCompactView, 85, 7, 0, 161, 23, "compact"},
        {kWorldClockView, 130, 0, 40, 258, 86, "world clock"},
    };
    for (const View& view : views) {
        SkinWindow* window = Show(view.skin);
        ASSERT_NE(window, nullptr) << view.name;
        for (const wchar_t* picture : {kTwelveHourPattern, kTwentyFourHourPattern}) {
            TimeFormatPattern = picture;
            for (WORD hour = 0; hour < 24; ++hour) {
                now.wHour = hour;
                LocalTimeText = FormatTimeText(now, picture);
                ServerTimeText = LocalTimeText;
                ServerOffset = 1;  // the server band shows ServerTimeText
                if (view.skin == kFullView)
                    static_cast<MainSkinDialog*>(window)->DrawServer();
                window->DrawTime();
                // Light rather than exactly white: at 26 and 30 pixels a stroke need not cover
                // any pixel whole.
                const Ink ink = InkOf(view.left, view.top, view.right, view.bottom, Light);
                ASSERT_GT(ink.count, 0) << view.name;
                EXPECT_NEAR((ink.left + ink.right) / 2.0, view.centreX, 1.5)
                    << view.name << ": \"" << std::string(LocalTimeText.begin(), LocalTimeText.end()) << "\"";
            }
        }
    }
    ServerOffset = NoServerTime;
    TimeFormatPattern = saved;
    SetPcClockOverride(previous);
}

TEST_F(CanvasTest, FontsAndImagesAreMadeOnceAndKept) {
    ASSERT_NE(Show(kFullView), nullptr);
    EXPECT_EQ(Canvas.GetFont(50), Canvas.GetFont(50));
    EXPECT_NE(Canvas.GetFont(50), Canvas.GetFont(17));
    Gdiplus::Bitmap* hover = Canvas.GetButtonImage(IDC_ADJUST, Hover);
    ASSERT_NE(hover, nullptr);
    EXPECT_EQ(Canvas.GetButtonImage(IDC_ADJUST, Hover), hover);
    EXPECT_NE(Canvas.GetButtonImage(IDC_ADJUST, Pressed), hover);
    EXPECT_EQ(hover->GetWidth(), 110u);
    EXPECT_EQ(hover->GetHeight(), 33u);
    EXPECT_EQ(Canvas.GetButtonImage(IDC_SYNCHRONIZE_NOW, Normal), nullptr) << "a text button";

    Gdiplus::Font* font = Canvas.GetFont(50);
    const Gdiplus::SolidBrush* shadow = Canvas.shadowBrush.get();
    const double scale = Canvas.DisplayScale;
    ASSERT_NE(Canvas.backgroundImage, nullptr);
    Canvas.Initialize();  // as the next window's initialisation does
    EXPECT_EQ(Canvas.backgroundImage, nullptr);
    EXPECT_EQ(Canvas.overlayImage, nullptr);
    EXPECT_EQ(Canvas.GetFont(50), font);
    EXPECT_EQ(Canvas.shadowBrush.get(), shadow);
    EXPECT_EQ(Canvas.DisplayScale, scale);
}

TEST_F(CanvasTest, AMissingImageDrawsNothingAndHasNoSize) {
    ASSERT_NE(Show(kFullView), nullptr);
    Gdiplus::Bitmap* missing = Canvas.LoadPngImage(999);
    ASSERT_NE(missing, nullptr);
    EXPECT_EQ(missing->GetWidth(), 0u);
    const std::uint32_t before = Canvas.PixelAt(4, 250);
    Canvas.DrawImage(missing, 0, 0);
    EXPECT_EQ(Canvas.PixelAt(4, 250), before);
}

}  // namespace
}  // namespace velmora
