// The cost of the once-a-second redraw: for each clock view, the local clock texts refreshed
// (FormatClockText) and DrawTime with the paint it causes carried out at once (UpdateWindow),
// so that whatever DrawTime does, in place or through WM_PAINT, is counted. One JSON line.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "display/clock_text.h"
#include "display/main_skin_dialog.h"
#include "display/skin3.h"
#include "display/smal_main.h"

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

template <typename View>
std::string Measure(const char* name) {
    auto view = std::make_unique<View>();
    if (!view->CreateView()) return std::string("\"") + name + "\": null";
    Pump();
    std::vector<double> texts, draws;
    for (int i = 0; i < kRedraws; ++i) {
        const double t0 = Now();
        velmora::FormatClockText(true);
        const double t1 = Now();
        view->DrawTime();
        ::UpdateWindow(view->m_hWnd);
        const double t2 = Now();
        texts.push_back(t1 - t0);
        draws.push_back(t2 - t1);
        Pump();
    }
    return std::string("\"") + name + "\": {\"texts\": " + Summary(texts) + ", \"draw_time\": " + Summary(draws) + "}";
}

}  // namespace

int wmain() {
    const std::string full = Measure<velmora::MainSkinDialog>("full");
    const std::string compact = Measure<velmora::smal_main>("compact");
    const std::string world = Measure<velmora::Skin3>("world");
    std::printf("{%s, %s, %s, \"redraws\": %d}\n", full.c_str(), compact.c_str(), world.c_str(), kRedraws);
    return 0;
}
