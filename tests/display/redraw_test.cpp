// The once-a-second redraw that touches only what changed: for a run of times in each view,
// the surface and what was handed to the system are exactly what redrawing the whole of each
// band gives; the hand-over is partial and falls back to the whole surface when refused; and
// a long life of view changes leaves nothing behind.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "common/file_time.h"
#include "display/clock_text.h"
#include "display/main_skin_dialog.h"
#include "display/skin3.h"
#include "display/smal_main.h"
#include "display/text_band.h"
#include "framework/dialog.h"
#include "settings/app_settings.h"
#include "settings/time_format_pattern.h"
#include "settings/world_clocks.h"
#include "sync/pc_clock.h"
#include "tests/display/display_fixture.h"
#include "tests/support/handle_count.h"

namespace velmora {
namespace {

using testing::ClockWindowTest;
using testing::PumpPending;

SYSTEMTIME At(int year, int month, int day, int hour, int minute, int second) {
    SYSTEMTIME t{};
    t.wYear = static_cast<WORD>(year);
    t.wMonth = static_cast<WORD>(month);
    t.wDay = static_cast<WORD>(day);
    t.wHour = static_cast<WORD>(hour);
    t.wMinute = static_cast<WORD>(minute);
    t.wSecond = static_cast<WORD>(second);
    // The day of the week, which the date pictures show: through FILETIME and back.
    AddOffset(0, t);
    return t;
}

struct Step {
    SYSTEMTIME now;
    std::int64_t serverOffset;
};

// Seconds in a row from `first`, all with one server offset.
void Seconds(std::vector<Step>& steps, SYSTEMTIME first, int count, std::int64_t serverOffset = NoServerTime) {
    for (int i = 0; i < count; ++i) {
        SYSTEMTIME t = first;
        AddOffset(static_cast<std::int64_t>(i) * 1000, t);
        steps.push_back({t, serverOffset});
    }
}

// Runs of seconds that learn runs, change the time's layout (9:59:59 to 10:00:00), cross
// midnight into a new year, go back to times whose runs are known, and, in the full view,
// walk the server band through no server time, the local clock and its own clock.
std::vector<Step> Steps() {
    std::vector<Step> steps;
    Seconds(steps, At(2026, 3, 4, 9, 59, 48), 16);
    Seconds(steps, At(2026, 12, 31, 23, 59, 57), 5, 0);
    Seconds(steps, At(2026, 3, 4, 9, 59, 53), 6, 2500);
    Seconds(steps, At(2026, 3, 4, 10, 0, 2), 4, 0);
    Seconds(steps, At(2026, 3, 4, 9, 59, 51), 3);
    steps.push_back(steps.back());  // a tick that finds nothing new to show
    return steps;
}

struct Frame {
    std::vector<std::uint32_t> surface;
    std::vector<std::uint32_t> handedOver;  // the window's content as the system was given it
};

std::vector<std::uint32_t> Surface() {
    const PixelView all = Canvas.Pixels({0, 0, Canvas.pixelWidth, Canvas.pixelHeight});
    std::vector<std::uint32_t> pixels;
    for (int y = 0; y < all.height; ++y) pixels.insert(pixels.end(), all.Row(y), all.Row(y) + all.width);
    return pixels;
}

// Where two frames differ first, for a readable failure.
::testing::AssertionResult SamePixels(const std::vector<std::uint32_t>& actual, const std::vector<std::uint32_t>& expected) {
    if (actual.size() != expected.size())
        return ::testing::AssertionFailure() << actual.size() << " pixels, expected " << expected.size();
    const auto [a, e] = std::mismatch(actual.begin(), actual.end(), expected.begin());
    if (a == actual.end()) return ::testing::AssertionSuccess();
    const auto at = a - actual.begin();
    return ::testing::AssertionFailure() << std::hex << "pixel (" << std::dec << at % Canvas.pixelWidth << ", "
                                         << at / Canvas.pixelWidth << ") is 0x" << std::hex << *a << ", expected 0x"
                                         << *e;
}

class RedrawTest : public ClockWindowTest {
protected:
    void SetUp() override {
        ClockWindowTest::SetUp();
        TimeFormatPattern = kTwelveHourPattern;
        SetPcClockOverride({[this] { return now; }, [this] { return now; }});
        Canvas.updateLayeredWindow = [this](HWND window, const UPDATELAYEREDWINDOWINFO& info) {
            return HandOver(window, info);
        };
    }
    void TearDown() override {
        Canvas.updateLayeredWindow = nullptr;
        TextBand::UseRuns(true);
        SetPcClockOverride({});
        TimeFormatPattern = nullptr;
        ClockWindowTest::TearDown();
    }

    // Keeps what the system would show: the handed-over rectangle of the surface.
    BOOL HandOver(HWND window, const UPDATELAYEREDWINDOWINFO& info) {
        ++handOvers;
        if (info.prcDirty) ++partial;
        const int width = info.psize->cx;
        handedOver.resize(static_cast<std::size_t>(width) * static_cast<std::size_t>(info.psize->cy));
        const RECT r = info.prcDirty ? *info.prcDirty : RECT{0, 0, width, info.psize->cy};
        const PixelView from = Canvas.Pixels({r.left, r.top, r.right, r.bottom});
        for (int y = 0; y < from.height; ++y)
            std::copy_n(from.Row(y), from.width,
                        handedOver.begin() + static_cast<std::ptrdiff_t>(r.top + y) * width + r.left);
        return ::UpdateLayeredWindowIndirect(window, &info);
    }

    // Each step's frame of view `skin`, with pre-rendered runs or with each band redrawn whole.
    std::vector<Frame> Run(int skin, bool runs) {
        TextBand::UseRuns(runs);
        handedOver.clear();
        const std::vector<Step> steps = Steps();
        now = steps.front().now;
        ServerOffset = steps.front().serverOffset;
        hidden->LocalClockTick();
        Show(skin);
        std::vector<Frame> frames;
        for (const Step& step : steps) {
            now = step.now;
            ServerOffset = step.serverOffset;
            hidden->LocalClockTick();
            hidden->ServerClockTick();
            frames.push_back({Surface(), handedOver});
        }
        return frames;
    }

    void ExpectTheSameFrames(int skin) {
        const std::vector<Frame> whole = Run(skin, false);
        handOvers = partial = 0;
        const std::vector<Frame> changed = Run(skin, true);
        ASSERT_EQ(changed.size(), whole.size());
        for (std::size_t i = 0; i < whole.size(); ++i) {
            EXPECT_TRUE(SamePixels(changed[i].surface, whole[i].surface)) << "step " << i;
            EXPECT_TRUE(SamePixels(changed[i].handedOver, whole[i].surface)) << "what was handed over, step " << i;
        }
        EXPECT_GT(partial, handOvers / 2) << "most hand-overs are of the changed rectangle only";
    }

    SYSTEMTIME now{};
    std::vector<std::uint32_t> handedOver;
    int handOvers = 0;
    int partial = 0;
};

TEST_F(RedrawTest, TheFullViewDrawsExactlyWhatRedrawingItsBandsWholeDraws) {
    ExpectTheSameFrames(kFullView);
    const auto& full = *static_cast<MainSkinDialog*>(Current());
    EXPECT_FALSE(full.LocalBand().Whole()) << "the time and the date keep to their own rows";
    EXPECT_FALSE(full.ServerBand().Whole());
    EXPECT_GT(full.LocalBand().RunStats().composed, 10u) << "times were drawn from pre-rendered runs";
    EXPECT_GT(full.ServerBand().RunStats().composed, 0u);
    EXPECT_FALSE(full.LocalBand().RunStats().disabled);
}

TEST_F(RedrawTest, TheCompactViewDrawsExactlyWhatRedrawingItsBandWholeDraws) {
    ExpectTheSameFrames(kCompactView);
    const auto& compact = *static_cast<smal_main*>(Current());
    EXPECT_FALSE(compact.TimeBand().Whole());
    EXPECT_GT(compact.TimeBand().RunStats().composed, 10u);
}

TEST_F(RedrawTest, TheWorldViewDrawsExactlyWhatRedrawingItsRowsWholeDraws) {
    AddWorldClocks({L"Tokyo", L"London", L"Eastern Time"});
    WorldClockList[1].name.clear();  // shows the zone's own name
    ExpectTheSameFrames(kWorldClockView);
    const auto& world = *static_cast<Skin3*>(Current());
    ASSERT_EQ(world.Rows().size(), 3u);
    for (const TextBand& row : world.Rows()) EXPECT_FALSE(row.Whole());
    EXPECT_GT(world.Rows()[0].RunStats().composed, 10u);
}

TEST_F(RedrawTest, ANewSecondHandsOverOnlyWhatChangedAndNothingWhenNothingDid) {
    // Seconds without a "1": the narrow 1 has an advance of its own, and a second that gains
    // or loses one moves the whole centred time.
    now = At(2026, 3, 4, 10, 15, 22);
    hidden->LocalClockTick();
    Show(kFullView);
    std::vector<RECT> dirty;
    Canvas.updateLayeredWindow = [&](HWND window, const UPDATELAYEREDWINDOWINFO& info) {
        dirty.push_back(info.prcDirty ? *info.prcDirty : RECT{0, 0, info.psize->cx, info.psize->cy});
        return ::UpdateLayeredWindowIndirect(window, &info);
    };
    for (int second = 23; second <= 24; ++second) {
        now.wSecond = static_cast<WORD>(second);
        hidden->LocalClockTick();
    }
    hidden->LocalClockTick();  // the same second again
    ASSERT_EQ(dirty.size(), 2u) << "one hand-over per new second, none for the same one";
    // Within the local time's rows, right of the hours and minutes.
    for (const RECT& r : dirty) {
        EXPECT_GE(r.top, 43);
        EXPECT_LE(r.bottom, 103);
        EXPECT_GT(r.left, 100);
        EXPECT_LT(r.right - r.left, Canvas.pixelWidth);
    }
}

TEST_F(RedrawTest, WhereTheSystemRefusesAPartialUpdateTheWholeSurfaceIsHandedOver) {
    now = At(2026, 3, 4, 10, 15, 20);
    hidden->LocalClockTick();
    Show(kCompactView);
    std::vector<bool> partialCalls;
    Canvas.updateLayeredWindow = [&](HWND window, const UPDATELAYEREDWINDOWINFO& info) {
        partialCalls.push_back(info.prcDirty != nullptr);
        if (info.prcDirty) return FALSE;
        return ::UpdateLayeredWindowIndirect(window, &info);
    };
    now.wSecond = 21;
    hidden->LocalClockTick();
    EXPECT_EQ(partialCalls, (std::vector<bool>{true, false}));
    EXPECT_EQ(Canvas.Changed(), DeviceRect{}) << "handed over: nothing is left to show";
}

// Texts whose ink reaches into each other's rows cannot be redrawn one at a time.
TEST_F(RedrawTest, ABandWhoseTextsOverlapRedrawsItselfWhole) {
    now = At(2026, 3, 4, 10, 15, 20);
    hidden->LocalClockTick();
    Show(kFullView);
    const auto drawBoth = [](TextBand& band, const wchar_t* upper, const wchar_t* lower) {
        band.Draw({upper, lower});
        return Surface();
    };
    TextBand overlapping;
    Canvas.RestoreRegion(0, 112, 258, 50);
    overlapping.Capture(0, 112, 258, 50, {{30, 130, 128, true, true}, {30, 130, 140, false, false}});
    TextBand::UseRuns(false);
    TextBand reference;
    reference.Capture(0, 112, 258, 50, {{30, 130, 128, true, true}, {30, 130, 140, false, false}});
    const std::vector<std::uint32_t> expected = drawBoth(reference, L"12:00:01", L"88:88:88");
    TextBand::UseRuns(true);
    Canvas.RestoreRegion(0, 112, 258, 50);
    EXPECT_TRUE(SamePixels(drawBoth(overlapping, L"12:00:01", L"88:88:88"), expected));
    EXPECT_TRUE(overlapping.Whole());
}

BOOL CALLBACK CountChild(HWND, LPARAM count) {
    ++*reinterpret_cast<std::size_t*>(count);
    return TRUE;
}

BOOL CALLBACK CountWithChildren(HWND window, LPARAM count) {
    ++*reinterpret_cast<std::size_t*>(count);
    ::EnumChildWindows(window, CountChild, count);
    return TRUE;
}

// The windows of this thread, children included.
std::size_t ThreadWindows() {
    std::size_t count = 0;
    ::EnumThreadWindows(::GetCurrentThreadId(), CountWithChildren, reinterpret_cast<LPARAM>(&count));
    return count;
}

TEST_F(RedrawTest, AThousandViewChangesLeaveTheFrameworksListsAndTheProcesssHandlesFlat) {
    AddWorldClocks({L"Tokyo", L"London"});
    // GetGuiResources reads 0 under Wine; there the windows and the kernel handles tell.
    const auto counts = [] {
        return std::vector<std::size_t>{CDialog::OpenDialogCount(),
                                        CWnd::BoundObjectCount(),
                                        ThreadWindows(),
                                        ::GetGuiResources(::GetCurrentProcess(), GR_GDIOBJECTS),
                                        ::GetGuiResources(::GetCurrentProcess(), GR_USEROBJECTS),
                                        testing::ProcessHandleCount(::GetCurrentProcessId()).value_or(0)};
    };
    const auto change = [&](int i) {
        AppSettings.skin = i % 3;
        hidden->ShowClockWindow();
        now.wSecond = static_cast<WORD>(i % 60);
        hidden->LocalClockTick();
        PumpPending();
    };
    now = At(2026, 3, 4, 10, 15, 0);
    for (int i = 0; i < 30; ++i) change(i);
    const std::vector<std::size_t> settled = counts();
    EXPECT_EQ(settled[0], 1u) << "the one clock window is the one open dialog";
    EXPECT_GT(settled.back(), 0u) << "the handle list is readable";
    // A thousand and two: the last view is the same as before.
    for (int i = 30; i < 30 + 1002; ++i) change(i);
    EXPECT_EQ(counts(), settled) << "open dialogs, bound windows, windows, GDI objects, USER objects, handles";
}

}  // namespace
}  // namespace velmora
