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

void Skin3::DrawFace(const WorldClockLayout& layout) {
    Gdiplus::Bitmap* panel = Canvas.LoadPngImage(IDB_WORLD_ROW);
    Gdiplus::Bitmap* shadow = Canvas.LoadPngImage(IDB_STAND_SHADOW);
    // Transparent between the panels and around them.
    Canvas.ClearSurface();
    for (std::size_t k = 0; k < layout.clocks.size(); ++k)
        Canvas.DrawImage(panel, layout.panelLefts[k], layout.rowTops[k], kWorldPanelWidth, kWorldPanelHeight);
    for (const LogicalPoint& at : layout.shadows)
        Canvas.DrawImage(shadow, at.x, at.y, kWorldPanelWidth, kWorldShadowHeight);
    face_ = layout;
    rows_.assign(layout.clocks.size(), {});
    dates_.assign(layout.clocks.size(), {});
    labels_.assign(layout.clocks.size(), {});
    // Measured once for the face, not each second.
    const auto labelWidth = [](const std::wstring& text) { return Canvas.TextWidth(text, kLabelSize); };
    for (std::size_t k = 0; k < layout.clocks.size(); ++k) {
        const WorldClock& clock = WorldClockList[static_cast<std::size_t>(layout.clocks[k])];
        const std::wstring label = clock.name.empty() ? std::wstring(clock.zone->keyName) : clock.name;
        labels_[k] = FitWithEllipsis(label, kWorldPanelWidth - 2 * kLabelMargin, labelWidth);
        const int x = layout.panelLefts[k];
        const int y = layout.rowTops[k];
        const float centre = static_cast<float>(x + 130);
        const float fy = static_cast<float>(y);
        // In the order they were always drawn in: time, date, label.
        rows_[k].Capture(x, y, kWorldPanelWidth, kWorldPanelHeight,
                         {{50, centre, fy + 65, true, true}, {17, centre, fy + 95, false, false},
                          {kLabelSize, centre, fy + 20, false, false}});
    }
}

void Skin3::DrawTime() {
    const WorldClockLayout layout = Layout();
    if (layout.clocks != face_.clocks || layout.rowTops != face_.rowTops || layout.panelLefts != face_.panelLefts ||
        layout.totalWidth != face_.totalWidth || layout.totalHeight != face_.totalHeight)
        DrawFace(layout);
    const SYSTEMTIME utc = PcUtcTime();
    for (std::size_t k = 0; k < layout.clocks.size(); ++k) {
        const WorldClock& clock = WorldClockList[static_cast<std::size_t>(layout.clocks[k])];
        SYSTEMTIME zoneTime{};
        if (::SystemTimeToTzSpecificLocalTime(&clock.zone->tzi, &utc, &zoneTime)) {
            FormatZoneText(zoneTime, &dates_[k]);
        } else {
            ZoneTimeText = kNoTimeText;
            ZoneDateText.clear();
        }
        rows_[k].Draw({ZoneTimeText, ZoneDateText, labels_[k]});
    }
    Canvas.Present(m_hWnd, ScaledLength(layout.totalWidth, Canvas.DisplayScale),
                   ScaledLength(layout.totalHeight, Canvas.DisplayScale));
}

}  // namespace velmora
