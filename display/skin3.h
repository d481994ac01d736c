#pragma once
// The date and world-clock view: one panel per enabled world clock, each with the clock's
// label, its date with the full day name and its time, above the stand's shadow. The panels
// stand in one column while it fits the work area, in further columns beyond that.
#include "display/skin_geometry.h"
#include "display/skin_window.h"

namespace velmora {

class Skin3 : public SkinWindow {
public:
    explicit Skin3(ViewHost* host = nullptr) : SkinWindow(host) {}

    bool CreateView() override;
    BOOL OnInitDialog() override;
    // Redraws the whole face.
    void DrawTime() override;

    // The panels of the enabled clocks as they stand in WorldClockList now, on the work area
    // the window was made for.
    WorldClockLayout Layout() const;
    const WorkArea& LaidOutFor() const { return workArea_; }

private:
    WorkArea workArea_;
};

}  // namespace velmora
