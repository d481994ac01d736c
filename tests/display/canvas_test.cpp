// The shared canvas: what the presented surface holds, the digital font, centred text and
// its shadow, and the caches.
#include <gtest/gtest.h>

#include <algorithm>

#include "display/clock_text.h"
#include "display/main_skin_dialog.h"
#include "display/skin_canvas.h"
#include "resources/resource_ids.h"
#include "settings/app_settings.h"
#include "tests/display/display_fixture.h"

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
