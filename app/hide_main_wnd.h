#pragma once
// The invisible main window: owner of the tray icon, the clock timers, the current clock
// window and the synchronisation driver. A message-only window titled "Velmora".
#include <windows.h>
#include <shellapi.h>

#include <atomic>
#include <cstdint>
#include <map>
#include <memory>

#include "display/skin_window.h"
#include "framework/wnd.h"
#include "sync/sntp_query.h"
#include "sync/sync_state.h"

namespace velmora {

class MainSkinDialog;

inline constexpr UINT TrayCallbackMessage = WM_USER + 1;    // 0x401
inline constexpr UINT RestoreRequestMessage = WM_USER + 2;  // 0x402, from a second instance
inline constexpr UINT SyncResultMessage = WM_APP + 1;       // a query's measurement, owned, in LPARAM
inline constexpr UINT CloseSignalMessage = WM_APP + 2;      // from the close watcher: destroy yourself

inline constexpr UINT_PTR ClockTimer = 4096;
inline constexpr UINT_PTR ServerClockTimer = 4097;
inline constexpr UINT_PTR AutoSyncTimer = 4098;
inline constexpr UINT_PTR TrayRetryTimer = 4099;

inline constexpr UINT kCommandExit = 32772;
inline constexpr UINT kCommandRestore = 32773;
inline constexpr UINT kCommandSettings = 32774;
inline constexpr UINT kCommandSynchronize = 32775;

inline constexpr wchar_t kMainWindowTitle[] = L"Velmora";
inline constexpr wchar_t kTrayBalloonText[] = L"Velmora has been minimized but is still running.";
inline constexpr wchar_t kSynchronized[] = L"Synchronized";
inline constexpr wchar_t kServiceErrorPrefix[] = L"Service error #";

class Hide_Main_Wnd : public CWnd, public SyncEvents {
public:
    Hide_Main_Wnd();
    ~Hide_Main_Wnd() override;

    bool Create();
    // Arms the local clock for the next whole second of the PC's clock.
    void StartClock();

    void AddTrayIcon();
    void ShowTrayBalloon();
    void RestoreClockWindow();
    void ShowClockWindow();
    void ExitApplication();
    void LocalClockTick();
    void ServerClockTick();

    // The synchronisation driver.
    void StartSync(bool adjust);
    void FinishSync(bool adjust) override;
    void SendOffsetToService();
    void ApplyAutoSyncSetting();

    SkinWindow* clockWindow() const { return clockWindow_.get(); }
    bool QueryRunning() const { return queryRunning_; }
    bool AutoSyncArmed() const { return autoSyncArmed_; }
    // The delay a timer was last armed with, 0 when it is stopped (for tests and diagnostics).
    UINT TimerDelay(UINT_PTR timer) const;

    // Replaces the measurement of a started query (tests); null restores the real one.
    using QueryRunner = std::function<void(bool adjust, SntpTarget target, SntpDelivery deliver)>;
    void SetQueryRunner(QueryRunner runner) { queryRunner_ = std::move(runner); }

    static const MessageMap& Map();

protected:
    const MessageMap* GetMessageMap() const override { return &Map(); }

private:
    // SyncEvents
    void RedrawStatus() override;
    void RefreshServerTexts() override;

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
    NOTIFYICONDATAW TrayRecord() const;

    std::unique_ptr<SkinWindow> clockWindow_;
    HMENU trayMenu_ = nullptr;
    HICON trayIcon_ = nullptr;
    bool trayIconAdded_ = false;
    int trayRetries_ = 0;
    std::map<UINT_PTR, UINT> armedDelays_;

    bool autoSyncArmed_ = false;
    std::int32_t appliedSyncMinutes_ = -1;
    bool queryRunning_ = false;
    bool pendingAdjust_ = false;
    QueryRunner queryRunner_;
};

// The one hidden main window, published as soon as it exists.
extern Hide_Main_Wnd* HiddenWindow;
// Its handle, for the close watcher's thread.
extern std::atomic<HWND> HiddenWindowHandle;

}  // namespace velmora
