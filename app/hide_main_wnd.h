#pragma once
// The invisible main window: owner of the tray icon, the clock timers, the current clock
// window and the synchronisation driver. A message-only window titled "Velmora", which any
// process of the session can find: no message parameter it receives is trusted.
#include <windows.h>

#include <atomic>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>

#include "app/sync_completion.h"
#include "app/taskbar_watcher.h"
#include "app/tray_icon.h"
#include "display/skin_window.h"
#include "display/view_host.h"
#include "framework/wnd.h"
#include "settings_dialog/settings_host.h"
#include "sync/sntp_query.h"

namespace velmora {

class MainSkinDialog;

inline constexpr UINT TrayCallbackMessage = WM_USER + 1;    // 0x401
inline constexpr UINT RestoreRequestMessage = WM_USER + 2;  // 0x402, from a second instance
inline constexpr UINT SyncResultMessage = WM_APP + 1;       // a query ended; WPARAM names it
inline constexpr UINT CloseSignalMessage = WM_APP + 2;      // from the close watcher: destroy yourself

inline constexpr UINT_PTR ClockTimer = 4096;
inline constexpr UINT_PTR ServerClockTimer = 4097;
inline constexpr UINT_PTR AutoSyncTimer = 4098;
inline constexpr UINT_PTR TrayRetryTimer = 4099;
inline constexpr UINT_PTR QueryWatchTimer = 4101;  // looks after the running query

inline constexpr UINT kCommandExit = 32772;
inline constexpr UINT kCommandRestore = 32773;
inline constexpr UINT kCommandSettings = 32774;
inline constexpr UINT kCommandSynchronize = 32775;

inline constexpr wchar_t kMainWindowTitle[] = L"Velmora";
inline constexpr wchar_t kTrayBalloonText[] = L"Velmora has been minimized but is still running.";
inline constexpr wchar_t kSynchronized[] = L"Synchronized";
inline constexpr wchar_t kServiceErrorPrefix[] = L"Service error #";

// How a query is carried out; tests replace parts. Empty members keep the real ones.
struct QuerySeams {
    std::function<SntpMeasurement(const SntpTarget&)> measure;   // RunSntpQuery with the real clocks
    // Starts the worker of a query made with `adjust`: a detached std::thread.
    std::function<void(bool adjust, std::function<void()> work)> startWorker;
    std::function<bool(HWND, UINT, WPARAM, LPARAM)> post;        // PostMessageW
    UINT timeLimitMs = 0;                                        // 0: kQueryTimeLimitMs
};

// A query that has not ended by then is given up ("Could not connect"), so that one that
// hangs (a resolver that never answers) cannot block every later synchronisation.
inline constexpr UINT kQueryTimeLimitMs = 60'000;

class Hide_Main_Wnd : public CWnd, public ViewHost, public SettingsHost, private SyncSteps {
public:
    Hide_Main_Wnd();
    ~Hide_Main_Wnd() override;

    bool Create();
    // Arms the local clock for the next whole second of the PC's clock.
    void StartClock();

    void AddTrayIcon();
    void ShowTrayBalloon() override;
    void RestoreClockWindow();
    void ShowClockWindow() override;
    void ExitApplication() override;
    void LocalClockTick();
    void ServerClockTick();

    // The synchronisation driver (sync_driver.cpp).
    void StartSync(bool adjust) override;
    void FinishSync(bool adjust) override;
    void SendOffsetToService() override;
    void ApplyAutoSyncSetting() override;

    SkinWindow* clockWindow() const { return clockWindow_.get(); }
    bool QueryRunning() const { return runningQuery_ != nullptr; }
    bool AutoSyncArmed() const { return autoSyncArmed_; }
    bool TrayIconShown() const { return tray_ && tray_->Added(); }
    const TrayIcon* Tray() const { return tray_.get(); }
    // The delay a timer was last armed with, 0 when it is stopped (for tests and diagnostics).
    UINT TimerDelay(UINT_PTR timer) const;

    void SetQuerySeams(QuerySeams seams) { seams_ = std::move(seams); }

    static const MessageMap& Map();

protected:
    const MessageMap* GetMessageMap() const override { return &Map(); }

private:
    struct RunningQuery;

    // ViewHost
    void OpenSettings() override;
    const std::wstring& SyncStatus() const override { return StatusText; }
    bool ServerTimeIsLocalTime() const override { return ServerOffset == 0; }
    bool StartedAtLogon() const override;

    // SyncSteps
    void RedrawStatus() override;
    void RefreshServerTexts() override;

    // Ends the running query with its measurement, however it ended.
    void EndQuery(const SntpMeasurement& measurement);
    void WatchQuery();

    bool OnTimerMessage(Message& message);
    bool OnTrayCallback(Message& message);
    bool OnRestoreRequest(Message& message);
    bool OnSyncResult(Message& message);
    bool OnCloseSignal(Message& message);
    bool OnClose(Message& message);
    void OnRestoreCommand() { RestoreClockWindow(); }
    void OnSynchronizeCommand() { StartSync(true); }
    void OnSettingsCommand();
    void OnExitCommand() { ExitApplication(); }

    void OnTimer(UINT_PTR timer);
    void ArmTimer(UINT_PTR timer, UINT delay);
    void StopTimer(UINT_PTR timer);
    MainSkinDialog* FullWindow() const;

    std::unique_ptr<SkinWindow> clockWindow_;
    // The notification area has started again (Explorer restarted, or the DPI changed).
    void OnTaskbarCreated();

    std::unique_ptr<TrayIcon> tray_;
    std::unique_ptr<TaskbarWatcher> taskbarWatcher_;
    int trayRetries_ = 0;
    std::map<UINT_PTR, UINT> armedDelays_;

    bool autoSyncArmed_ = false;
    std::int32_t appliedSyncMinutes_ = -1;
    std::shared_ptr<RunningQuery> runningQuery_;
    WPARAM lastQueryId_ = 0;
    bool pendingAdjust_ = false;
    QuerySeams seams_;
};

// The one hidden main window, published as soon as it exists.
extern Hide_Main_Wnd* HiddenWindow;
// Its handle, for the close watcher's thread.
extern std::atomic<HWND> HiddenWindowHandle;

}  // namespace velmora
