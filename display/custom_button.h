#pragma once
// The button of the clock windows. It stays a real owner-drawn child window, so it gets
// clicks, focus and the pressed state, but the system never shows a layered window's
// children: the button draws itself onto the shared canvas and presents it on its parent.
// A control id with images (ButtonImageTable) draws its Normal, Hover or Pressed image;
// any other is a text button, a light rectangle with its caption.
#include <string>

#include "framework/button.h"

namespace velmora {

class CustomButton : public CButton {
public:
    // With a record: the system's owner-draw cycle. Without: the owning window asks for
    // the Normal look (Pressed while latched).
    void DrawItem(const DRAWITEMSTRUCT* item) override;

    // Set by the owning window before the first drawing; the first drawing fixes the
    // button's place, size and kind for good.
    int logicalPos[2] = {0, 0};
    int logicalSize[2] = {0, 0};  // text buttons only; image buttons take the image's size
    // Draw the Pressed look whatever the mouse does.
    bool latched = false;

    void SetLogicalPlace(int x, int y, int width = 0, int height = 0) {
        logicalPos[0] = x;
        logicalPos[1] = y;
        logicalSize[0] = width;
        logicalSize[1] = height;
    }

    int State() const { return state_; }
    bool TextButton() const { return textButton; }
    // The keyboard focus is on the button and the window shows focus cues: a dotted ring
    // inside the button says so (the system cannot draw one on a layered window).
    bool ShowsFocus() const { return focusCue_; }

    static const MessageMap& Map();

protected:
    const MessageMap* GetMessageMap() const override { return &Map(); }

private:
    bool OnMouseMove(Message& message);
    bool OnMouseLeave(Message& message);
    void Repaint() const;

    bool HasFocusCue(const DRAWITEMSTRUCT* item) const;

    bool tracking = false;
    bool focusCue_ = false;
    int controlId_ = 0;
    int state_ = 0;
    bool textButton = false;
    bool laidOut_ = false;
    int logicalRect_[4] = {0, 0, 0, 0};  // x, y, width, height
    float textCentre_[2] = {0, 0};
    std::wstring caption_;
};

}  // namespace velmora
