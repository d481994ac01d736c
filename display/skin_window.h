#pragma once
// The base of the three clock windows: a captionless, always-on-top layered dialog that is
// dragged by its face, snaps to the work area's edges, stays on the desktop, switches to the
// next view on a double-click, closes to the tray and remembers where it stood.
#include "display/view_host.h"
#include "framework/dialog.h"

namespace velmora {

// Posted to a clock window: have the hidden main window show the view that `skin` names.
// Posted rather than called, so that the window and its buttons are not destroyed while
// one of their own handlers is still running.
inline constexpr UINT ShowClockWindowMessage = WM_APP + 20;

class SkinWindow : public CDialog {
public:
    // `host`: the program around the view, or null for a view that only draws.
    explicit SkinWindow(ViewHost* host) : host_(host) {}

    // Creates this view's window (the shell's entry point); false if it could not be made.
    virtual bool CreateView() = 0;
    // Redraws the window's time and presents the surface; the hidden window's clock timer
    // calls it each second.
    virtual void DrawTime() = 0;

    // Enter and Escape do nothing in a clock window.
    void OnOK() override {}
    void OnCancel() override {}

    // Moves the window to its saved position (centred on the first run) and shows it,
    // unless the program sits in the tray.
    void PlaceWindow();
    // Hides the window to the tray; the first time, the tray balloon says so.
    void CloseToTray();

    static const MessageMap& Map();

protected:
    const MessageMap* GetMessageMap() const override { return &Map(); }

    ViewHost* Host() const { return host_; }

    // No taskbar button: a tool window, not an application window.
    void MakeToolWindow() const;
    // NextView and, once this handler has returned, the new view's window.
    void SwitchToNextView();
    void ShowNewView() const;

    bool OnLButtonDblClk(Message& message);
    bool OnLButtonDown(Message& message);
    bool OnWindowPosChanging(Message& message);
    bool OnClose(Message& message);
    bool OnExitSizeMove(Message& message);
    bool OnQueryEndSession(Message& message);
    bool OnShowClockWindow(Message& message);
    bool OnSettingChange(Message& message);
    // Starts the system's move loop as if the caption had been pressed at the cursor.
    void BeginDrag(LPARAM clientPoint) const;

private:
    ViewHost* host_;
};

}  // namespace velmora
