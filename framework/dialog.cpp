#include "framework/dialog.h"

#include <algorithm>
#include <cstring>

namespace velmora {
namespace {

// Open modeless dialogs, for IsDialogMessage: exactly those whose windows exist, so that a
// handle value the system hands out again never reaches a window that is gone. User-interface
// thread only.
std::vector<HWND>& OpenDialogs() {
    static std::vector<HWND> dialogs;
    return dialogs;
}

// Messages whose dialog-procedure answer is the return value itself, not DWLP_MSGRESULT.
bool AnswersDirectly(UINT message) {
    switch (message) {
    case WM_INITDIALOG:
    case WM_CTLCOLORMSGBOX:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC:
    case WM_COMPAREITEM:
    case WM_VKEYTOITEM:
    case WM_CHARTOITEM:
    case WM_QUERYDRAGICON:
        return true;
    default:
        return false;
    }
}

}  // namespace

const MessageMap& CDialog::Map() {
    static constexpr MessageMapEntry entries[] = {
        OnMessage<&CDialog::HandleInitDialog>(WM_INITDIALOG),
        OnCommand<&CDialog::HandleOk>(IDOK),
        OnCommand<&CDialog::HandleCancel>(IDCANCEL),
    };
    static const MessageMap map{&CWnd::Map(), entries};
    return map;
}

bool CDialog::Create(UINT templateId, HWND parent) {
    return ::CreateDialogParamW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(templateId), parent, DialogProc,
                                reinterpret_cast<LPARAM>(this)) != nullptr;
}

bool CDialog::CreateIndirect(const DLGTEMPLATE* dialogTemplate, HWND parent) {
    return ::CreateDialogIndirectParamW(::GetModuleHandleW(nullptr), dialogTemplate, parent, DialogProc,
                                        reinterpret_cast<LPARAM>(this)) != nullptr;
}

bool CDialog::IsDialogMessage(MSG& msg) {
    for (const HWND dialog : OpenDialogs()) {
        if (dialog != msg.hwnd && !::IsChild(dialog, msg.hwnd)) continue;
        if (auto* self = dynamic_cast<CDialog*>(FromHandle(dialog)); self && self->PreTranslateMessage(msg)) return true;
        if (::IsDialogMessageW(dialog, &msg)) return true;
    }
    return false;
}

std::size_t CDialog::OpenDialogCount() { return OpenDialogs().size(); }

bool CDialog::HandleInitDialog(Message& message) {
    message.result = OnInitDialog();
    return true;
}

INT_PTR CALLBACK CDialog::DialogProc(HWND window, UINT msg, WPARAM w, LPARAM l) {
    CWnd* self = FromHandle(window);
    if (!self && msg == WM_INITDIALOG) {
        // Messages before WM_INITDIALOG (WM_SETFONT and the like) are left to the dialog manager.
        auto* dialog = reinterpret_cast<CDialog*>(l);
        if (!dialog) return FALSE;
        dialog->Attach(window);
        self = dialog;
        OpenDialogs().push_back(window);
    }
    // Before the object check: ~CWnd detaches the object before it destroys the window.
    if (msg == WM_NCDESTROY) std::erase(OpenDialogs(), window);
    if (!self) return FALSE;
    Message message{msg, w, l};
    if (!Dispatch(self, window, message)) return FALSE;
    if (AnswersDirectly(msg)) return static_cast<INT_PTR>(message.result);
    ::SetWindowLongPtrW(window, DWLP_MSGRESULT, message.result);
    return TRUE;
}

const MessageMap& CDialogEx::Map() {
    static constexpr MessageMapEntry entries[] = {
        OnMessage<&CDialogEx::OnCtlColorDialog>(WM_CTLCOLORDLG),
    };
    static const MessageMap map{&CDialog::Map(), entries};
    return map;
}

void CDialogEx::SetBackgroundColor(COLORREF color) {
    background_.reset(::CreateSolidBrush(color));
    if (m_hWnd) ::InvalidateRect(m_hWnd, nullptr, TRUE);
}

bool CDialogEx::OnCtlColorDialog(Message& message) {
    if (!background_) return false;
    message.result = reinterpret_cast<LRESULT>(background_.get());
    return true;
}

DialogTemplate::DialogTemplate(DWORD style, DWORD exStyle, short x, short y, short width, short height,
                               const std::wstring& title) {
    DLGTEMPLATE header{};
    header.style = style & ~DWORD{DS_SETFONT};  // no font block follows
    header.dwExtendedStyle = exStyle;
    header.cdit = 0;
    header.x = x;
    header.y = y;
    header.cx = width;
    header.cy = height;
    words_.resize(sizeof header / sizeof(WORD));
    std::memcpy(words_.data(), &header, sizeof header);
    words_.push_back(0);  // no menu
    words_.push_back(0);  // the system's dialog class
    words_.insert(words_.end(), title.begin(), title.end());
    words_.push_back(0);
}

}  // namespace velmora
