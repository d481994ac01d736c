#include "display/skin3.h"

#include "display/clock_text.h"
#include "display/skin_canvas.h"
#include "framework/dialog.h"
#include "resources/resource_ids.h"
#include "settings/world_clocks.h"
#include "sync/pc_clock.h"

namespace velmora {

WorldClockLayout Skin3::CurrentLayout() {
    std::vector<bool> enabled;
    enabled.reserve(WorldClockList.size());
    for (const WorldClock& clock : WorldClockList) enabled.push_back(clock.enabled != 0);
    return LayOutWorldClocks(enabled);
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
    Canvas.CreateSurface(kWorldPanelWidth, CurrentLayout().totalHeight);
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
    for (const int y : layout.rowTops) Canvas.DrawImage(panel, 0, y, kWorldPanelWidth, kWorldPanelHeight);
    Canvas.DrawImage(shadow, 0, layout.shadowTop, kWorldPanelWidth, kWorldShadowHeight);
    face_ = layout;
    rows_.assign(layout.rowTops.size(), {});
    dates_.assign(layout.rowTops.size(), {});
    for (std::size_t row = 0; row < rows_.size(); ++row) {
        const float y = static_cast<float>(layout.rowTops[row]);
        // In the order they were always drawn in: time, date, label.
        rows_[row].Capture(0, layout.rowTops[row], kWorldPanelWidth, kWorldPanelHeight,
                           {{50, 130, y + 65, true, true}, {17, 130, y + 95, false, false}, {20, 130, y + 20, false, false}});
    }
}

void Skin3::DrawTime() {
    const WorldClockLayout layout = CurrentLayout();
    if (layout.clocks != face_.clocks || layout.rowTops != face_.rowTops || layout.totalHeight != face_.totalHeight)
        DrawFace(layout);
    const SYSTEMTIME utc = PcUtcTime();
    for (std::size_t row = 0; row < layout.clocks.size(); ++row) {
        const WorldClock& clock = WorldClockList[static_cast<std::size_t>(layout.clocks[row])];
        SYSTEMTIME zoneTime{};
        if (::SystemTimeToTzSpecificLocalTime(&clock.zone->tzi, &utc, &zoneTime)) {
            FormatZoneText(zoneTime, &dates_[row]);
        } else {
            ZoneTimeText = kNoTimeText;
            ZoneDateText.clear();
        }
        const std::wstring label = clock.name.empty() ? std::wstring(clock.zone->keyName) : clock.name;
        rows_[row].Draw({ZoneTimeText, ZoneDateText, label});
    }
    Canvas.Present(m_hWnd, ScaledLength(kWorldPanelWidth, Canvas.DisplayScale),
                   ScaledLength(layout.totalHeight, Canvas.DisplayScale));
}

}  // namespace velmora
