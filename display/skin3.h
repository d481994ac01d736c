#pragma once
// The date and world-clock view: one panel per enabled world clock, each with the clock's
// label, its date with the full day name and its time, above the stand's shadow. The panels
// stand in one column while it fits the work area, in further columns beyond that.
#include <string>
#include <vector>

#include "display/clock_text.h"
#include "display/skin_geometry.h"
#include "display/skin_window.h"
#include "display/text_band.h"

namespace velmora {

class Skin3 : public SkinWindow {
public:
    explicit Skin3(ViewHost* host = nullptr) : SkinWindow(host) {}

    bool CreateView() override;
    BOOL OnInitDialog() override;
    // Redraws the clocks' texts where they changed, and the whole face when the list's
    // enabled clocks are no longer the ones it shows.
    void DrawTime() override;

    // The panels of the enabled clocks as they stand in WorldClockList now, on the work area
    // the window was made for.
    WorldClockLayout Layout() const;
    const WorkArea& LaidOutFor() const { return workArea_; }
    const std::vector<TextBand>& Rows() const { return rows_; }

private:
    // The panels and the stand's shadows; each panel's texts are drawn over them afterwards.
    void DrawFace(const WorldClockLayout& layout);

    WorkArea workArea_;
    WorldClockLayout face_;
    std::vector<TextBand> rows_;
    std::vector<DateTextCache> dates_;
    std::vector<std::wstring> labels_;  // as they fit their panels
};

}  // namespace velmora
