#include "app/tray_icon.h"

#include <shellapi.h>

#include "resources/resource_ids.h"

namespace velmora {

namespace {
constexpr wchar_t kTrayTip[] = L"Velmora";
}

NOTIFYICONDATAW TrayIcon::Record() const {
    NOTIFYICONDATAW record{};
    record.cbSize = sizeof record;
    record.hWnd = owner_;
    record.uID = 0;
    return record;
}

bool TrayIcon::Add() {
    if (!icon_)
        icon_.reset(static_cast<HICON>(::LoadImageW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_VELMORA),
                                                    IMAGE_ICON, 16, 16, LR_DEFAULTCOLOR)));
    NOTIFYICONDATAW record = Record();
    record.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    record.uCallbackMessage = callbackMessage_;
    record.hIcon = icon_.get();
    wcscpy_s(record.szTip, kTrayTip);
    added_ = ::Shell_NotifyIconW(NIM_ADD, &record) != FALSE;
    return added_;
}

void TrayIcon::Remove() {
    NOTIFYICONDATAW record = Record();
    ::Shell_NotifyIconW(NIM_DELETE, &record);
    added_ = false;
}

void TrayIcon::Modify(const wchar_t* balloonText) {
    NOTIFYICONDATAW record = Record();
    if (balloonText) {
        record.uFlags = NIF_INFO;
        wcscpy_s(record.szInfo, balloonText);
        record.uTimeout = 30000;
        record.dwInfoFlags = NIIF_INFO | NIIF_RESPECT_QUIET_TIME;
    }
    ::Shell_NotifyIconW(NIM_MODIFY, &record);
}

void TrayIcon::ShowMenu() {
    POINT cursor{};
    ::GetCursorPos(&cursor);
    ::SetForegroundWindow(owner_);
    if (!menu_) menu_.reset(::LoadMenuW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDR_TRAY_MENU)));
    ::TrackPopupMenu(::GetSubMenu(menu_.get(), 0), TPM_RIGHTALIGN, cursor.x, cursor.y, 0, owner_, nullptr);
    // Lets the menu close when the user clicks elsewhere.
    ::PostMessageW(owner_, WM_NULL, 0, 0);
}

}  // namespace velmora
