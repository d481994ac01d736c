// display_probe: creates each clock window in a process of its own and prints what the
// display DPI made of it, one "name value..." line each. The DPI tests run it after changing
// Wine's LogPixels, which a process reads only when it starts.
// It touches no settings: nothing here saves a placement.
#include <windows.h>

#include <cstdio>
#include <memory>

#include "display/clock_text.h"
#include "display/main_skin_dialog.h"
#include "display/skin3.h"
#include "display/skin_canvas.h"
#include "display/smal_main.h"
#include "display/text_band.h"
#include "resources/resource_ids.h"
#include "settings/app_settings.h"
#include "settings/time_zone_catalogue.h"
#include "settings/world_clocks.h"
#include "sync/pc_clock.h"

#include <string>
#include <vector>

namespace {

using namespace velmora;

void PrintWindowSize(const char* name, HWND window) {
    RECT r{};
    ::GetWindowRect(window, &r);
    std::printf("%s-window %ld %ld\n", name, r.right - r.left, r.bottom - r.top);
}

void PrintChildRect(const char* name, HWND parent, int id) {
    RECT r{};
    const HWND child = ::GetDlgItem(parent, id);
    ::GetWindowRect(child, &r);
    ::MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
    std::printf("%s %ld %ld %ld %ld\n", name, r.left, r.top, r.right, r.bottom);
}

template <typename Action>
double AverageMicroseconds(Action action) {
    constexpr int kRounds = 200;
    LARGE_INTEGER frequency{}, start{}, end{};
    ::QueryPerformanceFrequency(&frequency);
    ::QueryPerformanceCounter(&start);
    for (int i = 0; i < kRounds; ++i) action();
    ::QueryPerformanceCounter(&end);
    return 1e6 * static_cast<double>(end.QuadPart - start.QuadPart) / static_cast<double>(frequency.QuadPart) / kRounds;
}

template <typename Window>
std::unique_ptr<Window> Show() {
    auto window = std::make_unique<Window>();
    if (!window->CreateView()) std::printf("failed to create a window\n");
    return window;
}

std::vector<std::uint32_t> Surface() {
    const PixelView all = Canvas.Pixels({0, 0, Canvas.pixelWidth, Canvas.pixelHeight});
    std::vector<std::uint32_t> pixels;
    for (int y = 0; y < all.height; ++y) pixels.insert(pixels.end(), all.Row(y), all.Row(y) + all.width);
    return pixels;
}

// Whether a run of seconds comes out the same drawn from pre-rendered runs as with each band
// redrawn whole, at this display's scale.
template <typename Window>
bool RedrawsAlike() {
    static const wchar_t* const kTimes[] = {L"9:59:57 AM", L"9:59:58 AM", L"9:59:59 AM", L"10:00:00 AM",
                                            L"10:00:01 AM", L"9:59:58 AM", L"10:00:11 AM", L"9:59:59 AM"};
    std::vector<std::vector<std::uint32_t>> frames[2];
    for (int runs = 0; runs < 2; ++runs) {
        TextBand::UseRuns(runs == 1);
        SYSTEMTIME now{2026, 3, 3, 4, 9, 59, 57, 0};
        SetPcClockOverride({[&] { return now; }, [&] { return now; }});
        LocalTimeText = kTimes[0];
        menuOpen = true;  // each compact window starts with its menu closed, as the first does
        const auto window = Show<Window>();
        for (const wchar_t* time : kTimes) {
            LocalTimeText = time;
            ++now.wSecond;
            window->DrawTime();
            frames[runs].push_back(Surface());
        }
    }
    TextBand::UseRuns(true);
    SetPcClockOverride({});
    return frames[0] == frames[1];
}

}  // namespace

int main() {
    AppSettings.showToolTips = 0;
    LocalTimeText = L"10:42:17";
    LocalDateText = L"Wed, 04 March, 2026";
    {
        const auto full = Show<MainSkinDialog>();
        std::printf("scale %.4f\n", Canvas.DisplayScale);
        std::fflush(stdout);  // the DPI has been read: the test may put LogPixels back now
        std::printf("full-surface %d %d\n", Canvas.pixelWidth, Canvas.pixelHeight);
        PrintWindowSize("full", full->m_hWnd);
        PrintChildRect("adjust", full->m_hWnd, IDC_ADJUST);
        PrintChildRect("close", full->m_hWnd, IDC_CLOSE_TO_TRAY);

        // One DrawTime as the clock timer runs it each second (a new second each time), and
        // the Present of the local band it ends with, each averaged over many.
        int second = 0;
        std::printf("drawtime-us %.0f\n", AverageMicroseconds([&] {
                        LocalTimeText = L"10:42:1" + std::to_wstring(second++ % 10);
                        full->DrawTime();
                    }));
        std::printf("present-us %.0f\n", AverageMicroseconds([&] {
                        Canvas.MarkChanged(Canvas.DeviceRectOf(0, 43, 260, 60));
                        Canvas.Present(full->m_hWnd);
                    }));
    }
    {
        const auto compact = Show<smal_main>();
        std::printf("compact-surface %d %d\n", Canvas.pixelWidth, Canvas.pixelHeight);
        PrintChildRect("opt", compact->m_hWnd, IDC_COMPACT_OPTIONS);
    }
    BuildTimeZoneCatalogue();
    for (const wchar_t* zone : {L"Tokyo", L"London", L"Eastern Time"})
        if (const TimeZoneEntry* entry = FindZoneByDisplayText(zone)) WorldClockList.push_back(WorldClock{entry, 1, zone});
    for (int enabled : {1, 3}) {
        for (std::size_t i = 0; i < WorldClockList.size(); ++i) WorldClockList[i].enabled = static_cast<int>(i) < enabled;
        const auto world = Show<Skin3>();
        std::printf("world%d-surface %d %d\n", enabled, Canvas.pixelWidth, Canvas.pixelHeight);
        PrintWindowSize(enabled == 1 ? "world1" : "world3", world->m_hWnd);
    }
    std::printf("alike-full %d\n", RedrawsAlike<MainSkinDialog>() ? 1 : 0);
    std::printf("alike-compact %d\n", RedrawsAlike<smal_main>() ? 1 : 0);
    std::printf("alike-world %d\n", RedrawsAlike<Skin3>() ? 1 : 0);
    std::fflush(stdout);
    return 0;
}
