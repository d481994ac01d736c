#include "settings_dialog/closed_list_wheel.h"

#include <commctrl.h>

#include "framework/trace.h"

namespace velmora {

namespace {

constexpr UINT_PTR kSubclassId = 0x57484C;  // this rule's own subclass, beside any other

LRESULT CALLBACK ClosedListWheel(HWND window, UINT message, WPARAM w, LPARAM l, UINT_PTR, DWORD_PTR) {
    switch (message) {
    case WM_MOUSEWHEEL:
    case WM_MOUSEHWHEEL:
        if (!::SendMessageW(window, CB_GETDROPPEDSTATE, 0, 0)) {
            if (const HWND parent = ::GetParent(window)) return ::SendMessageW(parent, message, w, l);
            return 0;
        }
        break;
    case WM_NCDESTROY:
        ::RemoveWindowSubclass(window, ClosedListWheel, kSubclassId);
        break;
    default:
        break;
    }
    return ::DefSubclassProc(window, message, w, l);
}

}  // namespace

void PassWheelWhileClosed(HWND comboBox) {
    if (comboBox && !::SetWindowSubclass(comboBox, ClosedListWheel, kSubclassId, 0))
        Trace(L"a drop-down list keeps its own wheel handling");
}

}  // namespace velmora
