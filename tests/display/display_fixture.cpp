#include "tests/display/display_fixture.h"

#include <ostream>
#include <utility>

#include "display/clock_text.h"
#include "settings/app_settings.h"
#include "settings/time_zone_catalogue.h"
#include "settings/world_clocks.h"

namespace velmora::testing {

Argb Split(std::uint32_t pixel) {
    return {static_cast<int>(pixel >> 24), static_cast<int>((pixel >> 16) & 0xFF), static_cast<int>((pixel >> 8) & 0xFF),
            static_cast<int>(pixel & 0xFF)};
}

std::uint32_t PremultipliedPixel(Gdiplus::Bitmap* image, int x, int y) {
    Gdiplus::Color colour;
    image->GetPixel(x, y, &colour);
    const std::uint32_t a = colour.GetA();
    const auto scale = [a](std::uint32_t c) { return (c * a + 127) / 255; };
    return a << 24 | scale(colour.GetR()) << 16 | scale(colour.GetG()) << 8 | scale(colour.GetB());
}

::testing::AssertionResult PixelNear(std::uint32_t actual, std::uint32_t expected, int tolerance) {
    const Argb a = Split(actual), e = Split(expected);
    if (std::abs(a.a - e.a) <= tolerance && std::abs(a.r - e.r) <= tolerance && std::abs(a.g - e.g) <= tolerance &&
        std::abs(a.b - e.b) <= tolerance)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << std::hex << "pixel 0x" << actual << ", expected 0x" << expected;
}

std::ostream& operator<<(std::ostream& out, const Rect& r) {
    return out << "(" << r.left << ", " << r.top << ", " << r.right << ", " << r.bottom << ")";
}

Rect WindowRect(HWND window) {
    RECT r{};
    ::GetWindowRect(window, &r);
    return {r.left, r.top, r.right, r.bottom};
}

Rect ChildRect(HWND parent, int id) {
    RECT r{};
    ::GetWindowRect(::GetDlgItem(parent, id), &r);
    ::MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
    return {r.left, r.top, r.right, r.bottom};
}

void ClockWindowTest::SetUp() {
    ScratchRegistryTest::SetUp();
    BuildTimeZoneCatalogue();
    AppSettings.showToolTips = 0;
    AppSettings.left = 300;
    AppSettings.top = 200;
    ServerOffset = NoServerTime;
    ClockAdjusted = false;
    StatusText.clear();
    LocalTimeText = L"10:42:17";
    LocalDateText = L"Wed, 04 March, 2026";
    ServerTimeText = kNoTimeText;
    ServerDateText.clear();
    hidden = std::make_unique<Hide_Main_Wnd>();
    ASSERT_TRUE(hidden->Create());
    // Queries are recorded and end only when a test says so.
    QuerySeams seams;
    seams.measure = [this](const SntpTarget&) { return nextMeasurement; };
    seams.startWorker = [this](bool adjust, std::function<void()> work) {
        queriesStarted.push_back(adjust);
        pendingQuery = std::move(work);
    };
    hidden->SetQuerySeams(std::move(seams));
}

void ClockWindowTest::TearDown() {
    hidden.reset();  // and with it the clock window
    PumpPending();
    ScratchRegistryTest::TearDown();
}

void ClockWindowTest::EndQuery(const SntpMeasurement& measurement) {
    ASSERT_TRUE(pendingQuery) << "no query is running";
    nextMeasurement = measurement;
    std::exchange(pendingQuery, nullptr)();
    ASSERT_TRUE(PumpUntil([&] { return !hidden->QueryRunning(); }));
}

SkinWindow* ClockWindowTest::Show(int skin) {
    AppSettings.skin = skin;
    hidden->ShowClockWindow();
    PumpPending();
    return hidden->clockWindow();
}

void ClockWindowTest::AddWorldClocks(std::initializer_list<const wchar_t*> zones) {
    for (const wchar_t* zone : zones) {
        const TimeZoneEntry* entry = FindZoneByDisplayText(zone);
        ASSERT_NE(entry, nullptr) << "no time zone for the test";
        WorldClockList.push_back(WorldClock{entry, 1, zone});
    }
}

}  // namespace velmora::testing
