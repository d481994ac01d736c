// display_probe: creates each clock window in a process of its own and prints what the
// display DPI made of it, one "name value..." line each. The DPI tests run it after changing
// Wine's LogPixels, which a process reads only when it starts.
// It touches no settings: nothing here saves a placement.
#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <utility>
#include <memory>
#include <string>

#include "app/tray_icon.h"
#include "display/clock_text.h"
#include "display/main_skin_dialog.h"
#include "display/skin3.h"
#include "display/skin_geometry.h"
#include "display/skin_canvas.h"
#include "display/smal_main.h"
#include "display/view_host.h"
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

// How many of a grid of points in a device rectangle of the surface show exactly (within
// rounding) the pixel of `image` at the same offset; and how many points there are where
// the image is opaque (elsewhere the surface shows what lies under it as well).
std::pair<int, int> SamePixels(Gdiplus::Bitmap* image, int left, int top, int x0, int y0, int x1, int y1) {
    int same = 0, all = 0;
    for (int y = y0; y < y1; y += 3)
        for (int x = x0; x < x1; x += 3) {
            Gdiplus::Color colour;
            image->GetPixel(x, y, &colour);
            const std::uint32_t a = colour.GetA();
            if (a != 255) continue;
            const auto pre = [a](std::uint32_t c) { return (c * a + 127) / 255; };
            const std::uint32_t expected[] = {a, pre(colour.GetR()), pre(colour.GetG()), pre(colour.GetB())};
            const std::uint32_t pixel = Canvas.PixelAt(left + x, top + y);
            const std::uint32_t actual[] = {pixel >> 24, (pixel >> 16) & 0xFF, (pixel >> 8) & 0xFF, pixel & 0xFF};
            bool matches = true;
            for (int i = 0; i < 4; ++i) matches = matches && (actual[i] > expected[i] ? actual[i] - expected[i] : expected[i] - actual[i]) <= 2;
            same += matches;
            ++all;
        }
    return {same, all};
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

// What the full view shows besides the clock texts, fixed, for the fixed-texts screenshot.
class FixedTextsHost : public ViewHost {
public:
    void StartSync(bool) override {}
    void SendOffsetToService() override {}
    void OpenSettings() override {}
    void ShowClockWindow() override {}
    void ShowTrayBalloon() override {}
    void ExitApplication() override { ::PostQuitMessage(0); }
    const std::wstring& SyncStatus() const override { return status_; }
    bool ServerTimeIsLocalTime() const override { return false; }
    bool StartedAtLogon() const override { return true; }

private:
    std::wstring status_ = L"Difference: 1501 ms";
};

// "display_probe fixed-texts": the full view with texts that show every glyph that used to
// read wrong, on screen until the window is closed or 30 seconds have passed, for a
// screenshot. Prints "fixed-texts left top width height" once it is shown.
int ShowFixedTexts() {
    AppSettings.showToolTips = 0;
    AppSettings.left = 240;  // clear of Wine's notification area at the top left
    AppSettings.top = 60;
    LocalTimeText = L"11:51:57";
    LocalDateText = L"Thu, 10 December, 2026";
    ServerTimeText = L"11:51:58";
    ServerDateText = L"Thu, 10 December, 2026";
    FixedTextsHost host;
    MainSkinDialog full(&host);
    if (!full.CreateView()) return 1;
    RECT r{};
    ::GetWindowRect(full.m_hWnd, &r);
    std::printf("fixed-texts %ld %ld %ld %ld\n", r.left, r.top, r.right - r.left, r.bottom - r.top);
    std::fflush(stdout);
    ::SetTimer(nullptr, 0, 30000, nullptr);
    MSG msg;
    while (::GetMessageW(&msg, nullptr, 0, 0) > 0 && msg.message != WM_TIMER) ::DispatchMessageW(&msg);
    return 0;
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
    // Where they part, for whoever reads the probe's output.
    for (std::size_t f = 0; f < frames[0].size() && f < frames[1].size(); ++f)
        for (std::size_t i = 0; i < frames[0][f].size() && i < frames[1][f].size(); ++i)
            if (frames[0][f][i] != frames[1][f][i]) {
                std::printf("unlike frame %zu at %zu,%zu: whole %08x, runs %08x\n", f, i % Canvas.pixelWidth,
                            i / Canvas.pixelWidth, frames[0][f][i], frames[1][f][i]);
                return false;
            }
    return frames[0] == frames[1];
}

}  // namespace

int main(int argc, char** argv) {
    if (argc > 1 && std::string(argv[1]) == "fixed-texts") return ShowFixedTexts();
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
        // The artwork as drawn at this scale: its own drawing for the scale, pixel for pixel.
        double artworkScale = 1.0;
        Gdiplus::Bitmap* face = Canvas.LoadPngImage(IDB_FULL_FACE);
        if (Gdiplus::Bitmap* sharper = Canvas.SharperImage(face, &artworkScale)) {
            const auto [sameFace, allFace] = SamePixels(sharper, 0, 0, 2, 430, 385, 442);  // metal below "Get"
            Gdiplus::Bitmap* adjust = Canvas.SharperImage(Canvas.GetButtonImage(IDC_ADJUST, Normal), &artworkScale);
            const auto [sameAdjust, allAdjust] =
                SamePixels(adjust, ScaledLength(11, Canvas.DisplayScale), ScaledLength(211, Canvas.DisplayScale), 2, 2, 163, 48);
            std::printf("artwork-scale %.2f\n", artworkScale);
            std::printf("sharp-face %d %d\n", sameFace, allFace);
            std::printf("sharp-adjust %d %d\n", sameAdjust, allAdjust);
        }

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
    for (const wchar_t* zone : {L"Tokyo", L"London", L"Eastern Time", L"Pacific Time", L"India", L"AUS Eastern"})
        if (const TimeZoneEntry* entry = FindZoneByDisplayText(zone)) WorldClockList.push_back(WorldClock{entry, 1, zone});
    for (int enabled : {1, 3, 6}) {
        for (std::size_t i = 0; i < WorldClockList.size(); ++i) WorldClockList[i].enabled = static_cast<int>(i) < enabled;
        const auto world = Show<Skin3>();
        const std::string name = "world" + std::to_string(enabled);
        std::printf("%s-surface %d %d\n", name.c_str(), Canvas.pixelWidth, Canvas.pixelHeight);
        PrintWindowSize(name.c_str(), world->m_hWnd);
        std::printf("%s-work %d %d\n", name.c_str(), world->LaidOutFor().width, world->LaidOutFor().height);
    }
    {
        // The tray icon at this DPI, added and taken away again.
        const HWND owner = ::CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
        TrayIcon tray(owner, WM_APP);
        const bool added = tray.Add();
        std::printf("tray-icon %d %d %d\n", tray.IconSize(), ::GetSystemMetrics(SM_CXSMICON), added ? 1 : 0);
        tray.Remove();
        ::DestroyWindow(owner);
    }
    std::printf("alike-full %d\n", RedrawsAlike<MainSkinDialog>() ? 1 : 0);
    std::printf("alike-compact %d\n", RedrawsAlike<smal_main>() ? 1 : 0);
    std::printf("alike-world %d\n", RedrawsAlike<Skin3>() ? 1 : 0);
    std::fflush(stdout);
    return 0;
}
