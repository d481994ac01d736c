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

    // False when the tray is not there (yet).
    bool Add();
    void Remove();
    bool Added() const { return added_; }
    // Touches the icon; with a text, shows it in a balloon.
    void Modify(const wchar_t* balloonText = nullptr);
    // The tray menu at the cursor; its commands go to the owner.
    void ShowMenu();

private:
    NOTIFYICONDATAW Record() const;

    HWND owner_;
    UINT callbackMessage_;
    bool added_ = false;
    UniqueIcon icon_;
    UniqueMenu menu_;
};

}  // namespace velmora
