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

void Skin3::DrawTime() {
    Gdiplus::Bitmap* panel = Canvas.LoadPngImage(IDB_WORLD_ROW);
    Gdiplus::Bitmap* shadow = Canvas.LoadPngImage(IDB_STAND_SHADOW);
    const WorldClockLayout layout = CurrentLayout();
    // Transparent between the panels and around them.
    Canvas.ClearSurface();
    const SYSTEMTIME utc = PcUtcTime();
    for (std::size_t row = 0; row < layout.clocks.size(); ++row) {
        const WorldClock& clock = WorldClockList[static_cast<std::size_t>(layout.clocks[row])];
        const int y = layout.rowTops[row];
        Canvas.DrawImage(panel, 0, y, kWorldPanelWidth, kWorldPanelHeight);
        SYSTEMTIME zoneTime{};
        if (::SystemTimeToTzSpecificLocalTime(&clock.zone->tzi, &utc, &zoneTime)) {
            FormatZoneText(zoneTime);
        } else {
            ZoneTimeText = kNoTimeText;
            ZoneDateText.clear();
        }
        const float fy = static_cast<float>(y);
        Canvas.DrawTextAt(ZoneTimeText, 50, 130, fy + 65, true);
        Canvas.DrawTextAt(ZoneDateText, 17, 130, fy + 95, false);
        Canvas.DrawTextAt(clock.name.empty() ? std::wstring(clock.zone->keyName) : clock.name, 20, 130, fy + 20,
                          false);
    }
    Canvas.DrawImage(shadow, 0, layout.shadowTop, kWorldPanelWidth, kWorldShadowHeight);
    Canvas.Present(m_hWnd, ScaledLength(kWorldPanelWidth, Canvas.DisplayScale),
                   ScaledLength(layout.totalHeight, Canvas.DisplayScale));
}

}  // namespace velmora
