#pragma once
// The date and world-clock view: one panel per enabled world clock, each with the clock's
// label, its date with the full day name and its time, above the stand's shadow.
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

    // The panels of the enabled clocks as they stand in WorldClockList now.
    static WorldClockLayout CurrentLayout();
    const std::vector<TextBand>& Rows() const { return rows_; }

private:
    // The panels and the stand's shadow; each panel's texts are drawn over it afterwards.
    void DrawFace(const WorldClockLayout& layout);

    WorldClockLayout face_;
    std::vector<TextBand> rows_;
    std::vector<DateTextCache> dates_;
};

}  // namespace velmora
