#pragma once
// The compact clock view: a translucent strip with the local time and date and a chevron
// "Opt." that drops down a menu of three text buttons.
#include "display/custom_button.h"
#include "display/skin_window.h"
#include "display/text_band.h"

namespace velmora {

// Whether the compact window's menu is open; kept across compact windows for the whole run.
// Every full redraw that is not close-only flips it, so it starts true: the first compact
// window's own first redraw closes the menu.
extern bool menuOpen;

class smal_main : public SkinWindow {
public:
    explicit smal_main(ViewHost* host = nullptr);

    bool CreateView() override;
    BOOL OnInitDialog() override;
    // The time band.
    void DrawTime() override;
    // Redraws the whole face, flipping the menu open or closed; close-only: only closes an
    // open menu.
    void DrawCompact(bool closeOnly);

    const CustomButton& OptionsButton() const { return options_; }
    const TextBand& TimeBand() const { return texts_; }

    static const MessageMap& Map();

protected:
    const MessageMap* GetMessageMap() const override { return &Map(); }

private:
    void OnOptions();
    void OnSynchronizeNow();
    void OnExtendedMode();
    void OnMinimize();
    bool OnActivate(Message& message);
    bool OnCompactLButtonDown(Message& message);

    CustomButton options_;
    CustomButton synchronizeNow_;
    CustomButton extendedMode_;
    CustomButton minimize_;
    // The time band's texts, redrawn where they change.
    TextBand texts_;
};

}  // namespace velmora
