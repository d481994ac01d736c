#include "framework/tab_ctrl.h"

namespace velmora {

int CTabCtrl::InsertItem(int index, const std::wstring& text, LPARAM param) const {
    TCITEMW item{};
    item.mask = TCIF_TEXT | TCIF_PARAM;
    item.pszText = const_cast<wchar_t*>(text.c_str());
    item.lParam = param;
    return static_cast<int>(SendMessage(TCM_INSERTITEMW, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item)));
}

LPARAM CTabCtrl::GetItemParam(int index) const {
    TCITEMW item{};
    item.mask = TCIF_PARAM;
    if (!SendMessage(TCM_GETITEMW, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item))) return 0;
    return item.lParam;
}

}  // namespace velmora
