#include "app/tray_icon.h"

#include <shellapi.h>
#include <commctrl.h>

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

void TrayIcon::LoadIcon() {
    // The small-icon size at the current DPI: 16 at 96, 24 at 144, 32 at 192. The icon
    // resource carries 16, 20, 24, 32 and 48 pixel images, so this is an image, not a
    // blown-up 16 x 16.
    const int wanted = ::GetSystemMetrics(SM_CXSMICON);
    if (icon_ && iconSize_ == wanted) return;
    HICON icon = nullptr;
    if (FAILED(::LoadIconMetric(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_VELMORA), LIM_SMALL, &icon)))
        icon = static_cast<HICON>(::LoadImageW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_VELMORA), IMAGE_ICON,
                                               wanted, wanted, LR_DEFAULTCOLOR));
    if (!icon) return;  // keeps the one it had, if any
    icon_.reset(icon);
    iconSize_ = wanted;
    ICONINFO info{};
    if (::GetIconInfo(icon, &info)) {
        BITMAP bitmap{};
        if (info.hbmColor && ::GetObjectW(info.hbmColor, sizeof bitmap, &bitmap)) iconSize_ = bitmap.bmWidth;
        if (info.hbmColor) ::DeleteObject(info.hbmColor);
        if (info.hbmMask) ::DeleteObject(info.hbmMask);
    }
}

NOTIFYICONDATAW TrayIcon::IconRecord() {
    LoadIcon();
    NOTIFYICONDATAW record = Record();
    record.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    record.uCallbackMessage = callbackMessage_;
    record.hIcon = icon_.get();
    wcscpy_s(record.szTip, kTrayTip);
    return record;
}

bool TrayIcon::Add() {
    NOTIFYICONDATAW record = IconRecord();
    added_ = ::Shell_NotifyIconW(NIM_ADD, &record) != FALSE;
    return added_;
}

bool TrayIcon::AddAgain() {
    NOTIFYICONDATAW record = IconRecord();
    added_ = ::Shell_NotifyIconW(NIM_ADD, &record) != FALSE || ::Shell_NotifyIconW(NIM_MODIFY, &record) != FALSE;
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
