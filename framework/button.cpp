#include "framework/button.h"

namespace velmora {

bool CButton::OnChildNotify(Message& message) {
    if (message.message != WM_DRAWITEM) return false;
    DrawItem(reinterpret_cast<const DRAWITEMSTRUCT*>(message.lParam));
    message.result = TRUE;
    return true;
}

}  // namespace velmora
