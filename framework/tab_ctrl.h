#pragma once
// CTabCtrl: the common tab control, bound to an object.
#include <windows.h>
#include <commctrl.h>

#include <string>

#include "framework/wnd.h"

namespace velmora {

class CTabCtrl : public CWnd {
public:
    int InsertItem(int index, const std::wstring& text, LPARAM param) const;
    int GetItemCount() const { return static_cast<int>(SendMessage(TCM_GETITEMCOUNT)); }
    int GetCurSel() const { return static_cast<int>(SendMessage(TCM_GETCURSEL)); }
    int SetCurSel(int index) const { return static_cast<int>(SendMessage(TCM_SETCURSEL, static_cast<WPARAM>(index))); }
    // The parameter stored with an item; 0 when there is no such item.
    LPARAM GetItemParam(int index) const;
    // Display rectangle for a window rectangle (larger = false), or the reverse.
    void AdjustRect(bool larger, RECT& rect) const { SendMessage(TCM_ADJUSTRECT, larger, reinterpret_cast<LPARAM>(&rect)); }
};

}  // namespace velmora
