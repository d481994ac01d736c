// The synchronisation driver: the hidden main window's operations that start queries and
// hand offsets to the service. Everything here runs on the user-interface thread; a query's
// worker only measures and posts its result back.
#include <memory>
#include <thread>

#include "app/clock_timing.h"
#include "app/hide_main_wnd.h"
#include "service/pipe_request.h"
#include "settings/app_settings.h"
#include "settings/settings_store.h"

namespace velmora {

void Hide_Main_Wnd::StartSync(bool adjust) {
    if (queryRunning_) {
        // One query at a time; its result goes to the service if anyone asked for that.
        pendingAdjust_ = pendingAdjust_ || adjust;
        return;
    }
    StopTimer(ServerClockTimer);
    queryRunning_ = true;
    pendingAdjust_ = false;
    BeginSntpQuery(adjust);

    const HWND window = m_hWnd;
    SntpDelivery deliver = [window](SntpMeasurement measurement, bool queryAdjust) {
        auto owned = std::make_unique<SntpMeasurement>(std::move(measurement));
        if (::PostMessageW(window, SyncResultMessage, queryAdjust, reinterpret_cast<LPARAM>(owned.get())))
            owned.release();  // the window's handler owns it now
    };
    const SntpTarget target = CurrentSntpTarget();  // a copy: settings may change meanwhile
    if (queryRunner_) {
        queryRunner_(adjust, target, std::move(deliver));
        return;
    }
    std::thread([adjust, target, deliver = std::move(deliver)] {
        try {
            RunSntpQuery(adjust, target, deliver, DefaultSntpQueryOptions());
        } catch (...) {
            // Out of memory at worst; the query is simply lost.
        }
    }).detach();
}

bool Hide_Main_Wnd::OnSyncResult(Message& message) {
    const std::unique_ptr<SntpMeasurement> measurement(reinterpret_cast<SntpMeasurement*>(message.lParam));
    const bool adjust = message.wParam != 0 || pendingAdjust_;
    queryRunning_ = false;
    pendingAdjust_ = false;
    CompleteSntpQuery(*measurement, adjust);
    return true;
}

void Hide_Main_Wnd::FinishSync(bool adjust) {
    if (adjust)
        SendOffsetToService();
    else
        ServerClockTick();
}

void Hide_Main_Wnd::SendOffsetToService() {
    if (ServerOffset == 0 || ServerOffset == NoServerTime) return;
    auto request = EncodeOffsetRequest(ServerOffset);
    BYTE reply = 0;
    DWORD replied = 0;
    if (::CallNamedPipeW(kTimePipeName, request.data(), static_cast<DWORD>(request.size()), &reply, sizeof reply,
                         &replied, 1)) {
        ClockAdjusted = true;
        StatusText = kSynchronized;
        StopTimer(ServerClockTimer);
        ServerOffset = 0;
        LocalClockTick();
    } else {
        StatusText = kServiceErrorPrefix + std::to_wstring(static_cast<unsigned long>(::GetLastError()));
    }
    RedrawStatus();
}

void Hide_Main_Wnd::ApplyAutoSyncSetting() {
    const std::int32_t minutes = AppSettings.syncEveryMinutes;
    if (!autoSyncArmed_) {
        if (!AppSettings.syncAutomatically) {
            appliedSyncMinutes_ = minutes;
            return;
        }
        ArmTimer(AutoSyncTimer, AutoSyncPeriodMs(minutes));
        autoSyncArmed_ = true;
    }
    if (!AppSettings.syncAutomatically) {
        StopTimer(AutoSyncTimer);
        autoSyncArmed_ = false;
        appliedSyncMinutes_ = minutes;
        return;
    }
    if (appliedSyncMinutes_ != minutes) {
        StopTimer(AutoSyncTimer);
        ArmTimer(AutoSyncTimer, AutoSyncPeriodMs(minutes));
    }
    appliedSyncMinutes_ = minutes;
}

}  // namespace velmora
