#include "display/skin_window.h"

#include <windowsx.h>

#include "display/clock_text.h"
#include "display/skin_canvas.h"
#include "display/window_snap.h"
#include "settings/app_settings.h"
#include "settings/settings_store.h"

namespace velmora {

namespace {

PixelRect ToPixelRect(const RECT& r) { return {r.left, r.top, r.right, r.bottom}; }

// What the window must stay within: the shell's desktop window, or without one (no
// Explorer) the whole virtual screen.
PixelRect DesktopBounds() {
    RECT r{};
    if (const HWND shell = ::GetShellWindow(); shell && ::GetWindowRect(shell, &r)) return ToPixelRect(r);
    const int left = ::GetSystemMetrics(SM_XVIRTUALSCREEN);
    const int top = ::GetSystemMetrics(SM_YVIRTUALSCREEN);
    return {left, top, left + ::GetSystemMetrics(SM_CXVIRTUALSCREEN), top + ::GetSystemMetrics(SM_CYVIRTUALSCREEN)};
}

}  // namespace

const MessageMap& SkinWindow::Map() {
    static constexpr MessageMapEntry entries[] = {
        OnMessage<&SkinWindow::OnLButtonDblClk>(WM_LBUTTONDBLCLK),
        OnMessage<&SkinWindow::OnLButtonDown>(WM_LBUTTONDOWN),
        OnMessage<&SkinWindow::OnWindowPosChanging>(WM_WINDOWPOSCHANGING),
        OnMessage<&SkinWindow::OnClose>(WM_CLOSE),
        OnMessage<&SkinWindow::OnExitSizeMove>(WM_EXITSIZEMOVE),
        OnMessage<&SkinWindow::OnQueryEndSession>(WM_QUERYENDSESSION),
        OnMessage<&SkinWindow::OnShowClockWindow>(ShowClockWindowMessage),
        OnMessage<&SkinWindow::OnSettingChange>(WM_SETTINGCHANGE),
    };
    static const MessageMap map{&CDialog::Map(), entries};
    return map;
}

void SkinWindow::MakeToolWindow() const {
    const LONG_PTR style = ::GetWindowLongPtrW(m_hWnd, GWL_EXSTYLE);
    ::SetWindowLongPtrW(m_hWnd, GWL_EXSTYLE, (style & ~LONG_PTR{WS_EX_APPWINDOW}) | WS_EX_TOOLWINDOW);
}

void SkinWindow::PlaceWindow() {
    int x = AppSettings.left;
    int y = AppSettings.top;
    if (AppSettings.left == NoSavedPosition) {
        RECT desktop{};
        RECT window{};
        ::GetWindowRect(::GetDesktopWindow(), &desktop);
        ::GetWindowRect(m_hWnd, &window);
        x = (desktop.right - desktop.left) / 2 - (window.right - window.left) / 2;
        y = (desktop.bottom - desktop.top) / 2 - (window.bottom - window.top) / 2;
    }
    // Passes through WM_WINDOWPOSCHANGING: snapped, kept on the desktop, hidden while minimised.
    ::SetWindowPos(m_hWnd, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_SHOWWINDOW);
}

void SkinWindow::CloseToTray() {
    // Modifies the tray icon; the first time it carries the balloon and clears the setting.
    if (host_) host_->ShowTrayBalloon();
    ShowWindow(SW_HIDE);
    AppSettings.minimized = 1;
}

void SkinWindow::SwitchToNextView() {
    NextView(m_hWnd);
    PostMessage(ShowClockWindowMessage);
}

void SkinWindow::ShowNewView() const {
    if (host_) host_->ShowClockWindow();
}

bool SkinWindow::OnShowClockWindow(Message&) {
    ShowNewView();  // destroys this window and this object: nothing may follow
    return true;
}

bool SkinWindow::OnLButtonDblClk(Message&) {
    SwitchToNextView();
    return true;
}

void SkinWindow::BeginDrag(LPARAM clientPoint) const {
    // WM_NCLBUTTONDOWN carries screen coordinates; Wine's move loop measures from them.
    POINT at{GET_X_LPARAM(clientPoint), GET_Y_LPARAM(clientPoint)};
    ::ClientToScreen(m_hWnd, &at);
    PostMessage(WM_NCLBUTTONDOWN, HTCAPTION, MAKELPARAM(at.x, at.y));
}

bool SkinWindow::OnLButtonDown(Message& message) {
    BeginDrag(message.lParam);
    return true;
}

bool SkinWindow::OnWindowPosChanging(Message& message) {
    auto& position = *reinterpret_cast<WINDOWPOS*>(message.lParam);
    if (AppSettings.minimized) position.flags &= ~UINT{SWP_SHOWWINDOW};
    if (position.flags & SWP_NOMOVE) return true;  // nothing to snap

    RECT client{};
    ::GetClientRect(m_hWnd, &client);
    SnapInput input;
    input.proposed = {position.x, position.y};
    input.clientWidth = client.right - client.left;
    input.clientHeight = client.bottom - client.top;
    input.compact = AppSettings.skin == kCompactView;
    input.scale = Canvas.DisplayScale;
    input.desk = DesktopBounds();

    const VisibleArea area = VisibleAreaOf(input.clientWidth, input.clientHeight, input.compact, input.scale);
    RECT visible{area.rect.left + position.x, area.rect.top + position.y, area.rect.right + position.x,
                 area.rect.bottom + position.y};
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    // Without the monitor's work area there is nothing to snap to; the desktop still holds.
    if (::GetMonitorInfoW(::MonitorFromRect(&visible, MONITOR_DEFAULTTONEAREST), &monitor))
        input.work = ToPixelRect(monitor.rcWork);

    const PixelPoint at = SnapWindowPosition(input);
    position.x = at.x;
    position.y = at.y;
    message.result = 0;
    return true;
}

bool SkinWindow::OnClose(Message&) {
    CloseToTray();
    return true;
}

bool SkinWindow::OnExitSizeMove(Message&) {
    SaveWindowPlacement(m_hWnd, 0);
    return false;  // and the default processing
}

bool SkinWindow::OnSettingChange(Message&) {
    // The date texts are kept for the day; a changed locale makes them again at the next tick.
    // (The hidden main window, message-only, hears no broadcast.)
    ClockTextSettingsChanged();
    return false;
}

bool SkinWindow::OnQueryEndSession(Message& message) {
    if (host_) host_->ExitApplication();
    message.result = TRUE;
    return true;
}

}  // namespace velmora
