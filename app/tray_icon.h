#pragma once
// The program's icon in the notification area: one small function per tray operation.
#include <windows.h>
#include <shellapi.h>

#include "framework/unique_handle.h"

namespace velmora {

class TrayIcon {
public:
    // `owner` receives `callbackMessage` for the icon's mouse events.
    TrayIcon(HWND owner, UINT callbackMessage) : owner_(owner), callbackMessage_(callbackMessage) {}
    TrayIcon(const TrayIcon&) = delete;
    TrayIcon& operator=(const TrayIcon&) = delete;

    // False when the tray is not there (yet). The icon is loaded at the size the system
    // asks for now (a new DPI gets a new icon).
    bool Add();
    // After the notification area has started again: adds the icon, or, when it is still
    // there after all, refreshes it.
    bool AddAgain();
    void Remove();
    bool Added() const { return added_; }
    // The width of the icon image in use, in pixels (0 before the first Add).
    int IconSize() const { return iconSize_; }
    // Touches the icon; with a text, shows it in a balloon.
    void Modify(const wchar_t* balloonText = nullptr);
    // The tray menu at the cursor; its commands go to the owner.
    void ShowMenu();

private:
    NOTIFYICONDATAW Record() const;
    NOTIFYICONDATAW IconRecord();
    void LoadIcon();

    HWND owner_;
    UINT callbackMessage_;
    bool added_ = false;
    UniqueIcon icon_;
    int iconSize_ = 0;
    UniqueMenu menu_;
};

}  // namespace velmora
