// The synchronisation driver: the hidden main window's operations that start queries and
// hand offsets to the service. Everything here runs on the user-interface thread; a query's
// worker only measures and leaves its measurement with the query it belongs to.
#include <mutex>
#include <optional>
#include <thread>

#include "app/clock_timing.h"
#include "app/hide_main_wnd.h"
#include "app/service_client.h"
#include "display/main_skin_dialog.h"
#include "framework/trace.h"
#include "settings/app_settings.h"
#include "settings/server_selection.h"
#include "sync/sync_texts.h"

namespace velmora {

namespace {
// How often the running query is looked after: a result whose message was lost is taken up
// within this time.
constexpr UINT kQueryWatchMs = 1000;
}  // namespace

// Shared by the window and the worker, so either may go first. The result message carries
// only the query's number: the window takes the measurement from here, and a message that
// names no running query, or one that has not ended, does nothing.
struct Hide_Main_Wnd::RunningQuery {
    WPARAM id = 0;
    bool adjust = false;
    ULONGLONG startedAt = 0;
    std::mutex lock;
    std::optional<SntpMeasurement> result;  // under `lock`

    std::optional<SntpMeasurement> Take() {
        const std::lock_guard<std::mutex> guard(lock);
        return std::exchange(result, std::nullopt);
    }
};

void Hide_Main_Wnd::StartSync(bool adjust) {
    if (runningQuery_) {
        // One query at a time; its result goes to the service if anyone asked for that.
        pendingAdjust_ = pendingAdjust_ || adjust;
        return;
    }
    StopTimer(ServerClockTimer);
    pendingAdjust_ = false;
    BeginSntpQuery(adjust, *this);

    auto query = std::make_shared<RunningQuery>();
    query->id = ++lastQueryId_;
    query->adjust = adjust;
    query->startedAt = ::GetTickCount64();
    runningQuery_ = query;
    ArmTimer(QueryWatchTimer, kQueryWatchMs);

    // A copy: the settings may change while the query runs.
    SyncTargetNames names = CurrentSyncTargetNames();
    const SntpTarget target{std::move(names.host), std::move(names.service)};
    std::function<SntpMeasurement(const SntpTarget&)> measure = seams_.measure;
    if (!measure) measure = [](const SntpTarget& t) { return RunSntpQuery(t, DefaultSntpQueryOptions()); };
    std::function<bool(HWND, UINT, WPARAM, LPARAM)> post = seams_.post;
    if (!post) post = [](HWND w, UINT m, WPARAM wp, LPARAM lp) { return ::PostMessageW(w, m, wp, lp) != FALSE; };
    std::function<void()> work = [query, target, window = m_hWnd, measure = std::move(measure),
                                  post = std::move(post)] {
        std::optional<SntpMeasurement> measurement;
        try {
            measurement = measure(target);
        } catch (...) {
            try {
                measurement = SntpMeasurement{kCouldNotConnect};
            } catch (...) {
                return;  // no memory even for that: the window's watch gives the query up
            }
        }
        {
            const std::lock_guard<std::mutex> guard(query->lock);
            query->result = std::move(measurement);
        }
        // Should the post fail, the window's watch finds the result anyway.
        post(window, SyncResultMessage, query->id, 0);
    };
    try {
        if (seams_.startWorker)
            seams_.startWorker(adjust, std::move(work));
        else
            std::thread(std::move(work)).detach();
    } catch (...) {
        // No thread (out of resources): this query ends here, and the next one may start.
        Trace(L"a synchronisation's thread could not be started");
        EndQuery(SntpMeasurement{kCouldNotConnect});
    }
}

bool Hide_Main_Wnd::OnSyncResult(Message& message) {
    if (!runningQuery_ || message.wParam != runningQuery_->id) return true;  // stray or forged
    if (auto measurement = runningQuery_->Take()) EndQuery(*measurement);
    return true;
}

void Hide_Main_Wnd::WatchQuery() {
    if (!runningQuery_) {
        StopTimer(QueryWatchTimer);
        return;
    }
    if (auto measurement = runningQuery_->Take()) {
        EndQuery(*measurement);  // its message was lost
        return;
    }
    const UINT limit = seams_.timeLimitMs ? seams_.timeLimitMs : kQueryTimeLimitMs;
    if (::GetTickCount64() - runningQuery_->startedAt >= limit) {
        Trace(L"a synchronisation did not end in time and was given up");
        EndQuery(SntpMeasurement{kCouldNotConnect});  // what it finds later is dropped with it
    }
}

void Hide_Main_Wnd::EndQuery(const SntpMeasurement& measurement) {
    const bool adjust = (runningQuery_ && runningQuery_->adjust) || pendingAdjust_;
    runningQuery_.reset();
    pendingAdjust_ = false;
    StopTimer(QueryWatchTimer);
    CompleteSntpQuery(measurement, adjust, *this);
    // The full view's tour points at "Adjust" once a "Get" has left a difference to hand over.
    if (MainSkinDialog* full = FullWindow()) full->QueryEnded(ServerOffset != NoServerTime && ServerOffset != 0);
}

void Hide_Main_Wnd::FinishSync(bool adjust) {
    if (adjust && AutomaticCorrectionAllowed(ServerOffset)) {
        SendOffsetToService();
        return;
    }
    // Only shown: "Get", or a difference too large to correct without asking. The server
    // clock then ticks, so the user sees what "Adjust" would set.
    if (adjust) Trace(L"a difference of " + std::to_wstring(ServerOffset) + L" ms is not corrected without asking");
    ServerClockTick();
}

void Hide_Main_Wnd::SendOffsetToService() {
    if (ServerOffset == 0 || ServerOffset == NoServerTime) return;
    if (const DWORD error = SendOffsetRequest(ServerOffset); error == ERROR_SUCCESS) {
        ClockAdjusted = true;
        StatusText = kSynchronized;
        StopTimer(ServerClockTimer);
        ServerOffset = 0;
        LocalClockTick();
    } else {
        StatusText = kServiceErrorPrefix + std::to_wstring(static_cast<unsigned long>(error));
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
