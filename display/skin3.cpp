#include "display/skin3.h"

#include "display/clock_text.h"
#include "display/skin_canvas.h"
#include "display/text_fit.h"
#include "framework/dialog.h"
#include "resources/resource_ids.h"
#include "settings/app_settings.h"
#include "settings/world_clocks.h"
#include "sync/pc_clock.h"

namespace velmora {

namespace {

constexpr std::uint8_t kLabelSize = 20;
// A label keeps this far from the panel's edges; a longer one is cut and ends in an ellipsis.
constexpr int kLabelMargin = 8;

// The work area of the monitor the window is about to be placed on: the one holding its
// saved corner, or on a first run (centred) the primary one.
WorkArea PlacementWorkArea(double scale) {
    const HMONITOR monitor = AppSettings.left == NoSavedPosition
                                 ? ::MonitorFromPoint(POINT{0, 0}, MONITOR_DEFAULTTOPRIMARY)
                                 : ::MonitorFromPoint(POINT{AppSettings.left, AppSettings.top}, MONITOR_DEFAULTTONEAREST);
    MONITORINFO info{};
    info.cbSize = sizeof info;
    RECT work{};
    if (::GetMonitorInfoW(monitor, &info)) work = info.rcWork;
    else if (!::SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0))
        work = {0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)};
    return {work.right - work.left, work.bottom - work.top, scale};
}

}  // namespace

WorldClockLayout Skin3::Layout() const {
    std::vector<bool> enabled;
    enabled.reserve(WorldClockList.size());
    for (const WorldClock& clock : WorldClockList) enabled.push_back(clock.enabled != 0);
    return LayOutWorldClocks(enabled, workArea_);
}

bool Skin3::CreateView() {
    // No controls: the face is all drawn. The first Present gives the window its size.
    const DialogTemplate face(WS_POPUP | WS_VISIBLE | DS_CENTER, WS_EX_LAYERED | WS_EX_TOPMOST);
    return CreateIndirect(face.Get());
}

BOOL Skin3::OnInitDialog() {
    Canvas.Initialize();
    Canvas.LoadPngImage(IDB_WORLD_ROW);
    Canvas.LoadPngImage(IDB_STAND_SHADOW);
    workArea_ = PlacementWorkArea(Canvas.DisplayScale);
    const WorldClockLayout layout = Layout();
    Canvas.CreateSurface(layout.totalWidth, layout.totalHeight);
    MakeToolWindow();
    DrawTime();
    PlaceWindow();
    return TRUE;
}

void Skin3::DrawTime() {
    Gdiplus::Bitmap* panel = Canvas.LoadPngImage(IDB_WORLD_ROW);
    Gdiplus::Bitmap* shadow = Canvas.LoadPngImage(IDB_STAND_SHADOW);
    const WorldClockLayout layout = Layout();
    // Transparent between the panels and around them.
    Canvas.ClearSurface();
    const SYSTEMTIME utc = PcUtcTime();
    const auto labelWidth = [](const std::wstring& text) { return Canvas.TextWidth(text, kLabelSize); };
    for (std::size_t k = 0; k < layout.clocks.size(); ++k) {
        const WorldClock& clock = WorldClockList[static_cast<std::size_t>(layout.clocks[k])];
        const int x = layout.panelLefts[k];
        const int y = layout.rowTops[k];
        Canvas.DrawImage(panel, x, y, kWorldPanelWidth, kWorldPanelHeight);
        SYSTEMTIME zoneTime{};
        if (::SystemTimeToTzSpecificLocalTime(&clock.zone->tzi, &utc, &zoneTime)) {
            FormatZoneText(zoneTime);
        } else {
            ZoneTimeText = kNoTimeText;
            ZoneDateText.clear();
        }
        const float centre = static_cast<float>(x + 130);
        const float fy = static_cast<float>(y);
        Canvas.DrawTextAt(ZoneTimeText, 50, centre, fy + 65, true);
        Canvas.DrawTextAt(ZoneDateText, 17, centre, fy + 95, false);
        const std::wstring label = clock.name.empty() ? std::wstring(clock.zone->keyName) : clock.name;
        Canvas.DrawTextAt(FitWithEllipsis(label, kWorldPanelWidth - 2 * kLabelMargin, labelWidth), kLabelSize, centre,
                          fy + 20, false);
    }
    for (const LogicalPoint& at : layout.shadows)
        Canvas.DrawImage(shadow, at.x, at.y, kWorldPanelWidth, kWorldShadowHeight);
    Canvas.Present(m_hWnd, ScaledLength(layout.totalWidth, Canvas.DisplayScale),
                   ScaledLength(layout.totalHeight, Canvas.DisplayScale));
}

}  // namespace velmora
