#include "settings_dialog/tab_sheet_dialog.h"

#include "settings/dialog_font.h"

namespace velmora {

const MessageMap& tabSheetDialog::Map() {
    static constexpr MessageMapEntry entries[] = {
        OnMessage<&tabSheetDialog::OnCtlColor>(WM_CTLCOLORDLG),
        OnMessage<&tabSheetDialog::OnCtlColor>(WM_CTLCOLORSTATIC),
        OnMessage<&tabSheetDialog::OnCtlColor>(WM_CTLCOLORBTN),
        OnMessage<&tabSheetDialog::OnCtlColor>(WM_CTLCOLOREDIT),
    };
    static const MessageMap map{&CDialog::Map(), entries};
    return map;
}

BOOL tabSheetDialog::OnInitDialog() {
    CDialog::OnInitDialog();
    const HFONT font = DialogFont();
    for (HWND child = ::GetWindow(m_hWnd, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT))
        ::SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
    return TRUE;
}

void tabSheetDialog::OnCancel() {
    const HWND frame = ::GetAncestor(m_hWnd, GA_ROOT);
    if (frame && frame != m_hWnd) ::SendMessageW(frame, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
}

bool tabSheetDialog::OnCtlColor(Message& message) {
    message.result = reinterpret_cast<LRESULT>(::GetStockObject(WHITE_BRUSH));
    return true;
}

}  // namespace velmora
