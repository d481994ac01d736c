#include "app/hide_main_wnd.h"

#include "app/clock_timing.h"
#include "app/velmora_app.h"
#include "common/file_time.h"
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
    if (HiddenWindow == this) {
        HiddenWindow = nullptr;
        HiddenWindowHandle = nullptr;
    }
    clockWindow_.reset();
}

bool Hide_Main_Wnd::Create() {
    if (!CreateEx(0, RegisterWindowClass(), kMainWindowTitle, 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr)) return false;
    HiddenWindow = this;
    HiddenWindowHandle = m_hWnd;
    tray_ = std::make_unique<TrayIcon>(m_hWnd, TrayCallbackMessage);
    taskbarWatcher_ = std::make_unique<TaskbarWatcher>([this] { OnTaskbarCreated(); });
    // Without it the program still runs; only a restarted Explorer would lose the icon.
    if (!taskbarWatcher_->Create()) taskbarWatcher_.reset();
    return true;
}

void Hide_Main_Wnd::OnTaskbarCreated() {
    if (!tray_ || tray_->AddAgain()) return;
    // The new notification area is not ready yet: try again for a while, as at start-up.
    trayRetries_ = 0;
    AddTrayIcon();
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

void Hide_Main_Wnd::AddTrayIcon() {
    if (!tray_) return;
    if (tray_->Add()) {
        StopTimer(TrayRetryTimer);
    } else if (trayRetries_++ < kTrayRetryLimit) {
        ArmTimer(TrayRetryTimer, kTrayRetryMs);
    }
}

void Hide_Main_Wnd::ShowTrayBalloon() {
    if (!tray_) return;
    // The balloon only the first time; the setting remembers that it was shown.
    const bool balloon = AppSettings.displayTrayMessage != 0;
    AppSettings.displayTrayMessage = 0;
    tray_->Modify(balloon ? kTrayBalloonText : nullptr);
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
    case kCompactView: clockWindow_ = std::make_unique<smal_main>(this); break;
    case kWorldClockView: clockWindow_ = std::make_unique<Skin3>(this); break;
    default: clockWindow_ = std::make_unique<MainSkinDialog>(this); break;
    }
    // Published before its window exists: the window's own initialisation finds itself here.
    clockWindow_->CreateView();
}

void Hide_Main_Wnd::ExitApplication() {
    ::EndMenu();  // an open tray menu would keep its own loop running
    if (tray_) tray_->Remove();
    SaveWindowPlacement(clockWindow_ ? clockWindow_->m_hWnd : nullptr, 0);
    SaveSettings(true);
    EndModalLoop(0);
}

// The clock is read once a tick: local time and UTC differ by whole minutes, so the local
// time's milliseconds place the next tick as well. Re-arming a timer replaces it, so the
// tick's "stop, then arm" is one call.
void Hide_Main_Wnd::LocalClockTick() {
    const SYSTEMTIME now = PcLocalTime();
    ArmTimer(ClockTimer, LocalTickDelay(now.wMilliseconds));
    FormatClockTextAt(true, NoServerTime, now);
    if (clockWindow_ && clockWindow_->m_hWnd) clockWindow_->DrawTime();
}

void Hide_Main_Wnd::ServerClockTick() {
    const SYSTEMTIME now = PcLocalTime();
    if (ServerOffset != NoServerTime && ServerOffset != 0) {
        SYSTEMTIME server = now;
        AddOffset(ServerOffset, server);
        ArmTimer(ServerClockTimer, ServerTickDelay(server.wMilliseconds));
    } else {
        StopTimer(ServerClockTimer);
    }
    FormatClockTextAt(false, ServerOffset, now);
    if (MainSkinDialog* full = FullWindow()) full->DrawServer();
}

MainSkinDialog* Hide_Main_Wnd::FullWindow() const {
    if (AppSettings.skin != kFullView || !clockWindow_ || !clockWindow_->m_hWnd) return nullptr;
    return dynamic_cast<MainSkinDialog*>(clockWindow_.get());
}

void Hide_Main_Wnd::RedrawStatus() {
    if (MainSkinDialog* full = FullWindow()) full->DrawStatus();
}

void Hide_Main_Wnd::RefreshServerTexts() { FormatClockText(false, ServerOffset); }

bool Hide_Main_Wnd::StartedAtLogon() const { return velmora::StartedAtLogon; }

void Hide_Main_Wnd::OpenSettings() {
    // Posted, as the tray's "Settings" arrives: the view's button handler returns first.
    PostMessage(WM_COMMAND, kCommandSettings);
}

void Hide_Main_Wnd::OnTimer(UINT_PTR timer) {
    if (timer == ClockTimer) {
        LocalClockTick();
    } else if (timer == ServerClockTimer) {
        ServerClockTick();
    } else if (timer == AutoSyncTimer) {
        StartSync(true);
    } else if (timer == TrayRetryTimer) {
        StopTimer(TrayRetryTimer);
        if (!TrayIconShown()) AddTrayIcon();
    } else if (timer == QueryWatchTimer) {
        WatchQuery();
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
    case WM_RBUTTONDOWN:
        if (tray_) tray_->ShowMenu();
        break;
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

void Hide_Main_Wnd::OnSettingsCommand() { OpenSettingsDialog(this, m_hWnd); }

}  // namespace velmora
