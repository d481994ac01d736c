#include "app/hide_main_wnd.h"

#include <thread>

#include "app/clock_timing.h"
#include "display/clock_text.h"
#include "display/main_skin_dialog.h"
#include "display/skin3.h"
#include "display/smal_main.h"
#include "resources/resource_ids.h"
#include "settings/app_settings.h"
#include "settings/next_view.h"
#include "settings/server_selection.h"
#include "settings/settings_store.h"
#include "settings_dialog/sync.h"
#include "sync/pc_clock.h"
#include "sync/time_convert.h"

namespace velmora {

Hide_Main_Wnd* HiddenWindow = nullptr;
std::atomic<HWND> HiddenWindowHandle{nullptr};

namespace {

// A tray that is not there yet (Explorer still starting at logon): try again for a minute.
constexpr UINT kTrayRetryMs = 2000;
constexpr int kTrayRetryLimit = 30;

}  // namespace

const MessageMap& Hide_Main_Wnd::Map() {
    static constexpr MessageMapEntry entries[] = {
        OnMessage<&Hide_Main_Wnd::OnTimerMessage>(WM_TIMER),
        OnMessage<&Hide_Main_Wnd::OnTrayCallback>(TrayCallbackMessage),
        OnMessage<&Hide_Main_Wnd::OnRestoreRequest>(RestoreRequestMessage),
        OnMessage<&Hide_Main_Wnd::OnSyncResult>(SyncResultMessage),
        OnMessage<&Hide_Main_Wnd::OnCloseSignal>(CloseSignalMessage),
        OnMessage<&Hide_Main_Wnd::OnClose>(WM_CLOSE),
        OnCommand<&Hide_Main_Wnd::OnRestoreCommand>(kCommandRestore),
        OnCommand<&Hide_Main_Wnd::OnSynchronizeCommand>(kCommandSynchronize),
        OnCommand<&Hide_Main_Wnd::OnSettingsCommand>(kCommandSettings),
        OnCommand<&Hide_Main_Wnd::OnExitCommand>(kCommandExit),
    };
    static const MessageMap map{&CWnd::Map(), entries};
    return map;
}

Hide_Main_Wnd::Hide_Main_Wnd() = default;

Hide_Main_Wnd::~Hide_Main_Wnd() {
    if (SyncEvents* previous = SetSyncEvents(nullptr); previous != this) SetSyncEvents(previous);
    if (HiddenWindow == this) {
        HiddenWindow = nullptr;
        HiddenWindowHandle = nullptr;
    }
    clockWindow_.reset();
    if (trayMenu_) ::DestroyMenu(trayMenu_);
    if (trayIcon_) ::DestroyIcon(trayIcon_);
}

bool Hide_Main_Wnd::Create() {
    if (!CreateEx(0, RegisterWindowClass(), kMainWindowTitle, 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr)) return false;
    HiddenWindow = this;
    HiddenWindowHandle = m_hWnd;
    SetSyncEvents(this);
    return true;
}

void Hide_Main_Wnd::StartClock() { ArmTimer(ClockTimer, 1000 - PcUtcTime().wMilliseconds); }

void Hide_Main_Wnd::ArmTimer(UINT_PTR timer, UINT delay) {
    SetTimer(timer, delay);
    armedDelays_[timer] = delay;
}

void Hide_Main_Wnd::StopTimer(UINT_PTR timer) {
    KillTimer(timer);
    armedDelays_.erase(timer);
}

UINT Hide_Main_Wnd::TimerDelay(UINT_PTR timer) const {
    const auto found = armedDelays_.find(timer);
    return found == armedDelays_.end() ? 0 : found->second;
}

NOTIFYICONDATAW Hide_Main_Wnd::TrayRecord() const {
    NOTIFYICONDATAW record{};
    record.cbSize = sizeof record;
    record.hWnd = m_hWnd;
    record.uID = 0;
    return record;
}

void Hide_Main_Wnd::AddTrayIcon() {
    if (!trayIcon_)
        trayIcon_ = static_cast<HICON>(::LoadImageW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_VELMORA),
                                                    IMAGE_ICON, 16, 16, LR_DEFAULTCOLOR));
    NOTIFYICONDATAW record = TrayRecord();
    record.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    record.uCallbackMessage = TrayCallbackMessage;
    record.hIcon = trayIcon_;
    wcscpy_s(record.szTip, kMainWindowTitle);
    trayIconAdded_ = ::Shell_NotifyIconW(NIM_ADD, &record);
    if (trayIconAdded_) {
        StopTimer(TrayRetryTimer);
    } else if (trayRetries_++ < kTrayRetryLimit) {
        ArmTimer(TrayRetryTimer, kTrayRetryMs);
    }
}

void Hide_Main_Wnd::ShowTrayBalloon() {
    NOTIFYICONDATAW record = TrayRecord();
    if (AppSettings.displayTrayMessage) {
        record.uFlags = NIF_INFO;
        wcscpy_s(record.szInfo, kTrayBalloonText);
        record.uTimeout = 30000;
        record.dwInfoFlags = NIIF_INFO | NIIF_RESPECT_QUIET_TIME;
        AppSettings.displayTrayMessage = 0;
    }
    ::Shell_NotifyIconW(NIM_MODIFY, &record);
}

void Hide_Main_Wnd::RestoreClockWindow() {
    AppSettings.minimized = 0;
    if (!clockWindow_ || !clockWindow_->m_hWnd) return;
    clockWindow_->ShowWindow(SW_SHOW);
    ::SetForegroundWindow(clockWindow_->m_hWnd);
}

void Hide_Main_Wnd::ShowClockWindow() {
    clockWindow_.reset();  // destroys the old window
    if (AppSettings.skin < kFullView || AppSettings.skin > kWorldClockView) AppSettings.skin = kFullView;
    switch (AppSettings.skin) {
    case kCompactView: clockWindow_ = std::make_unique<smal_main>(); break;
    case kWorldClockView: clockWindow_ = std::make_unique<Skin3>(); break;
    default: clockWindow_ = std::make_unique<MainSkinDialog>(); break;
    }
    // Published before its window exists: the window's own initialisation finds itself here.
    clockWindow_->CreateView();
}

void Hide_Main_Wnd::ExitApplication() {
    ::EndMenu();  // an open tray menu would keep its own loop running
    NOTIFYICONDATAW record = TrayRecord();
    ::Shell_NotifyIconW(NIM_DELETE, &record);
    trayIconAdded_ = false;
    SaveWindowPlacement(clockWindow_ ? clockWindow_->m_hWnd : nullptr, 0);
    SaveSettings(true);
    EndModalLoop(0);
}

void Hide_Main_Wnd::LocalClockTick() {
    StopTimer(ClockTimer);
    ArmTimer(ClockTimer, LocalTickDelay(PcUtcTime().wMilliseconds));
    FormatClockText(true);
    if (clockWindow_ && clockWindow_->m_hWnd) clockWindow_->DrawTime();
}

void Hide_Main_Wnd::ServerClockTick() {
    StopTimer(ServerClockTimer);
    if (ServerOffset != NoServerTime && ServerOffset != 0) {
        SYSTEMTIME server = PcUtcTime();
        AddOffset(ServerOffset, server);
        ArmTimer(ServerClockTimer, ServerTickDelay(server.wMilliseconds));
    }
    FormatClockText(false);
    if (MainSkinDialog* full = FullWindow()) full->DrawServer();
}

MainSkinDialog* Hide_Main_Wnd::FullWindow() const {
    if (AppSettings.skin != kFullView || !clockWindow_ || !clockWindow_->m_hWnd) return nullptr;
    return dynamic_cast<MainSkinDialog*>(clockWindow_.get());
}

void Hide_Main_Wnd::RedrawStatus() {
    if (MainSkinDialog* full = FullWindow()) full->DrawStatus();
}

void Hide_Main_Wnd::RefreshServerTexts() { FormatClockText(false); }

void Hide_Main_Wnd::OnTimer(UINT_PTR timer) {
    if (timer == ClockTimer) {
        LocalClockTick();
    } else if (timer == ServerClockTimer) {
        ServerClockTick();
    } else if (timer == AutoSyncTimer) {
        StartSync(true);
    } else if (timer == TrayRetryTimer) {
        StopTimer(TrayRetryTimer);
        if (!trayIconAdded_) AddTrayIcon();
    }
}

bool Hide_Main_Wnd::OnTimerMessage(Message& message) {
    OnTimer(message.wParam);
    return true;
}

bool Hide_Main_Wnd::OnTrayCallback(Message& message) {
    switch (message.lParam) {
    case WM_LBUTTONDOWN:
        RestoreClockWindow();
        break;
    case WM_RBUTTONDOWN: {
        POINT cursor{};
        ::GetCursorPos(&cursor);
        ::SetForegroundWindow(m_hWnd);
        if (!trayMenu_) trayMenu_ = ::LoadMenuW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDR_TRAY_MENU));
        ::TrackPopupMenu(::GetSubMenu(trayMenu_, 0), TPM_RIGHTALIGN, cursor.x, cursor.y, 0, m_hWnd, nullptr);
        // Lets the menu close when the user clicks elsewhere.
        PostMessage(WM_NULL);
        break;
    }
    default:
        break;
    }
    message.result = 0;
    return true;
}

bool Hide_Main_Wnd::OnRestoreRequest(Message&) {
    RestoreClockWindow();
    return true;
}

bool Hide_Main_Wnd::OnCloseSignal(Message&) {
    // Ends the program without saving: not through ExitApplication.
    ::EndMenu();
    DestroyWindow();
    return true;
}

bool Hide_Main_Wnd::OnClose(Message&) {
    ExitApplication();
    return true;
}

void Hide_Main_Wnd::OnSettingsCommand() { OpenSettingsDialog(); }

}  // namespace velmora
