// The cost of the once-a-second redraw: for each clock view, a run of consecutive seconds
// (the PC's clock is stood in for, one second further each time, so every redraw has a new
// time to show, as the clock timer's would): the local clock texts refreshed
// (FormatClockTextAt, as the tick does) and DrawTime with the paint it causes carried out at
// once (UpdateWindow), so that whatever DrawTime does, in place or through WM_PAINT, is
// counted; and of it, the hand-over to the system (UpdateLayeredWindowIndirect) alone. The
// world view shows three clocks. One JSON line.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "common/file_time.h"
#include "display/clock_text.h"
#include "display/main_skin_dialog.h"
#include "display/skin3.h"
#include "display/skin_canvas.h"
#include "display/smal_main.h"
#include "settings/time_zone_catalogue.h"
#include "settings/world_clocks.h"
#include "sync/pc_clock.h"

namespace {

constexpr int kRedraws = 1000;

double Now() {
    LARGE_INTEGER counter, frequency;
    ::QueryPerformanceCounter(&counter);
    ::QueryPerformanceFrequency(&frequency);
    return static_cast<double>(counter.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart);
}

void Pump() {
    MSG message;
    while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) ::DispatchMessageW(&message);
}

std::string Summary(std::vector<double> ms) {
    std::sort(ms.begin(), ms.end());
    const auto at = [&](double q) { return ms[static_cast<std::size_t>(q * (ms.size() - 1))]; };
    char text[160];
    std::snprintf(text, sizeof text, "{\"median_ms\": %.4f, \"p99_ms\": %.4f, \"max_ms\": %.4f}", at(0.5), at(0.99),
                  ms.back());
    return text;
}

// The seconds shown: from 09:59:30 on a fixed day, so that the run crosses a change of hour.
SYSTEMTIME Second(int i) {
    SYSTEMTIME t{2026, 3, 3, 4, 9, 59, 30, 0};
    velmora::AddOffset(static_cast<std::int64_t>(i) * 1000, t);
    return t;
}

template <typename View>
std::string Measure(const char* name) {
    SYSTEMTIME now = Second(0);
    velmora::SetPcClockOverride({[&] { return now; }, [&] { return now; }});
    velmora::FormatClockTextAt(true, velmora::NoServerTime, now);
    auto view = std::make_unique<View>();
    if (!view->CreateView()) return std::string("\"") + name + "\": null";
    Pump();
    std::vector<double> texts, draws, handOvers;
    int partial = 0;
    velmora::Canvas.updateLayeredWindow = [&](HWND window, const UPDATELAYEREDWINDOWINFO& info) {
        if (info.prcDirty) ++partial;
        const double start = Now();
        const BOOL shown = ::UpdateLayeredWindowIndirect(window, &info);
        handOvers.push_back(Now() - start);
        return shown;
    };
    for (int i = 1; i <= kRedraws; ++i) {
        now = Second(i);
        const double t0 = Now();
        velmora::FormatClockTextAt(true, velmora::NoServerTime, now);
        const double t1 = Now();
        view->DrawTime();
        ::UpdateWindow(view->m_hWnd);
        const double t2 = Now();
        texts.push_back(t1 - t0);
        draws.push_back(t2 - t1);
        Pump();
    }
    velmora::Canvas.updateLayeredWindow = nullptr;
    velmora::SetPcClockOverride({});
    char counts[120];
    std::snprintf(counts, sizeof counts, ", \"presents\": %zu, \"partial_presents\": %d", handOvers.size(), partial);
    return std::string("\"") + name + "\": {\"texts\": " + Summary(texts) + ", \"draw_time\": " + Summary(draws) +
           ", \"hand_over\": " + (handOvers.empty() ? std::string("null") : Summary(handOvers)) + counts + "}";
}

}  // namespace

int wmain() {
    velmora::BuildTimeZoneCatalogue();
    for (const wchar_t* zone : {L"Tokyo", L"London", L"Eastern Time"})
        if (const velmora::TimeZoneEntry* entry = velmora::FindZoneByDisplayText(zone))
            velmora::WorldClockList.push_back(velmora::WorldClock{entry, 1, zone});
    const std::string full = Measure<velmora::MainSkinDialog>("full");
    const std::string compact = Measure<velmora::smal_main>("compact");
    const std::string world = Measure<velmora::Skin3>("world");
    std::printf("{%s, %s, %s, \"redraws\": %d, \"world_clocks\": %zu}\n", full.c_str(), compact.c_str(), world.c_str(),
                kRedraws, velmora::WorldClockList.size());
    return 0;
}
