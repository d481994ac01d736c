#include "display/custom_button.h"

#include <algorithm>

#include "display/skin_canvas.h"
#include "display/skin_geometry.h"

namespace velmora {

namespace {

constexpr std::uint8_t kCaptionSize = 21;
constexpr Gdiplus::ARGB kFocusCueColour = 0xFF1C2430;

Gdiplus::ARGB CaptionColour(int state) {
    switch (state) {
    case Hover: return 0xFF696969;
    case Pressed: return 0xFF000000;
    default: return 0xFF808080;
    }
}

}  // namespace

const MessageMap& CustomButton::Map() {
    static constexpr MessageMapEntry entries[] = {
        OnMessage<&CustomButton::OnMouseMove>(WM_MOUSEMOVE),
        OnMessage<&CustomButton::OnMouseLeave>(WM_MOUSELEAVE),
    };
    static const MessageMap map{&CButton::Map(), entries};
    return map;
}

void CustomButton::DrawItem(const DRAWITEMSTRUCT* item) {
    // A hidden button (a closed menu's item) has nothing on the surface: it must not paint
    // there, whatever asks it to.
    if (!m_hWnd || !(::GetWindowLongPtrW(m_hWnd, GWL_STYLE) & WS_VISIBLE)) return;
    if (controlId_ == 0) controlId_ = GetDlgCtrlID();
    if (latched) state_ = Pressed;
    else if (!item) state_ = Normal;
    else if (item->itemState & ODS_SELECTED) state_ = Pressed;
    else state_ = tracking ? Hover : Normal;

    focusCue_ = HasFocusCue(item);

    Gdiplus::Bitmap* image = Canvas.GetButtonImage(controlId_, state_);
    if (!laidOut_) {
        laidOut_ = true;
        textButton = image == nullptr;
        const int width = textButton ? logicalSize[0] : static_cast<int>(image->GetWidth());
        const int height = textButton ? logicalSize[1] : static_cast<int>(image->GetHeight());
        const DeviceRect r = ButtonDeviceRect(logicalPos[0], logicalPos[1], width, height, Canvas.DisplayScale);
        ::SetWindowPos(m_hWnd, nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top,
                       SWP_NOACTIVATE | SWP_NOOWNERZORDER);
        logicalRect_[0] = logicalPos[0];
        logicalRect_[1] = logicalPos[1];
        logicalRect_[2] = width;
        logicalRect_[3] = height;
        if (textButton) {
            textCentre_[0] = static_cast<float>(logicalPos[0] + width / 2);
            textCentre_[1] = static_cast<float>(logicalPos[1] + height / 2);
            caption_ = GetWindowText();
        }
    }

    if (textButton) {
        Canvas.FillRect(Canvas.menuBrush.get(), logicalRect_[0], logicalRect_[1], logicalRect_[2], logicalRect_[3]);
        const Gdiplus::SolidBrush caption{Gdiplus::Color(CaptionColour(state_))};
        Canvas.DrawTextAt(caption_, kCaptionSize, textCentre_[0], textCentre_[1], false, &caption);
    } else {
        Canvas.RestoreRegion(logicalRect_[0], logicalRect_[1], logicalRect_[2], logicalRect_[3]);
        Canvas.DrawImage(image, logicalRect_[0], logicalRect_[1]);
    }
    if (focusCue_) {
        // Inside the button, so that its next drawing takes the ring away again.
        const int inset = std::max(2, std::min(logicalRect_[2], logicalRect_[3]) / 8);
        Gdiplus::Pen ring{Gdiplus::Color(kFocusCueColour), 1.0f};
        ring.SetDashStyle(Gdiplus::DashStyleDot);
        Canvas.DrawRect(&ring, logicalRect_[0] + inset, logicalRect_[1] + inset, logicalRect_[2] - 2 * inset - 1,
                        logicalRect_[3] - 2 * inset - 1);
    }
    Canvas.Present(::GetParent(m_hWnd));
}

bool CustomButton::HasFocusCue(const DRAWITEMSTRUCT* item) const {
    // As the system's own buttons: only while the window shows focus cues (from the first
    // use of the keyboard in it, or always when the user asked for keyboard cues).
    if (item) return (item->itemState & ODS_FOCUS) && !(item->itemState & ODS_NOFOCUSRECT);
    return ::GetFocus() == m_hWnd && !(::SendMessageW(m_hWnd, WM_QUERYUISTATE, 0, 0) & UISF_HIDEFOCUS);
}

void CustomButton::Repaint() const { ::RedrawWindow(m_hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW); }

bool CustomButton::OnMouseMove(Message&) {
    if (!tracking) {
        TRACKMOUSEEVENT track{sizeof track, TME_LEAVE, m_hWnd, HOVER_DEFAULT};
        ::TrackMouseEvent(&track);
        tracking = true;
        Repaint();
    }
    return false;  // the button's own handling goes on (capture while pressed)
}

bool CustomButton::OnMouseLeave(Message&) {
    tracking = false;
    Repaint();
    return false;
}

}  // namespace velmora
