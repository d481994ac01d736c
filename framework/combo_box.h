#pragma once
// CComboBox and CEdit: a drop-down list and an edit box bound to objects.
#include <string>

#include "framework/wnd.h"

namespace velmora {

class CComboBox : public CWnd {
public:
    int AddString(const std::wstring& text) const {
        return static_cast<int>(SendMessage(CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str())));
    }
    int GetCount() const { return static_cast<int>(SendMessage(CB_GETCOUNT)); }
    // -1 when nothing is selected.
    int GetCurSel() const { return static_cast<int>(SendMessage(CB_GETCURSEL)); }
    // An index that names no entry clears the selection (the system would keep an old one).
    void SetCurSel(int index) const {
        SendMessage(CB_SETCURSEL, static_cast<WPARAM>(index >= 0 && index < GetCount() ? index : -1));
    }
};

class CEdit : public CWnd {
public:
    void SetSel(int start, int end) const { SendMessage(EM_SETSEL, static_cast<WPARAM>(start), end); }
    void SetLimitText(int characters) const { SendMessage(EM_SETLIMITTEXT, static_cast<WPARAM>(characters)); }
};

}  // namespace velmora
