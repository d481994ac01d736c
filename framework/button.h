#pragma once
// CButton: a button control bound to an object. Owner-drawn buttons draw themselves:
// the parent's WM_DRAWITEM is reflected to DrawItem.
#include "framework/wnd.h"

namespace velmora {

class CButton : public CWnd {
public:
    virtual void DrawItem(const DRAWITEMSTRUCT* item) { (void)item; }

    int GetCheck() const { return static_cast<int>(SendMessage(BM_GETCHECK)); }
    void SetCheck(int state) const { SendMessage(BM_SETCHECK, static_cast<WPARAM>(state)); }

protected:
    bool OnChildNotify(Message& message) override;
};

}  // namespace velmora
