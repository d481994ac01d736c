#pragma once
// The date and world-clock view: one panel per enabled world clock, each with the clock's
// label, its date with the full day name and its time, above the stand's shadow.
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

    // The panels of the enabled clocks as they stand in WorldClockList now.
    static WorldClockLayout CurrentLayout();
};

}  // namespace velmora
