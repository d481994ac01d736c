#include "sync/sync_state.h"

#include "sync/time_arithmetic.h"

namespace velmora {

std::int64_t ServerOffset = NoServerTime;
bool ClockAdjusted = false;
std::wstring StatusText;

namespace {
SyncEvents* installedEvents = nullptr;
}

SyncEvents* SetSyncEvents(SyncEvents* events) {
    SyncEvents* previous = installedEvents;
    installedEvents = events;
    return previous;
}

std::int64_t ComputeServerOffset(std::int64_t measuredMs) {
    ServerOffset = SettleOffset(measuredMs, ClockAdjusted);
    if (ClockAdjusted && ServerOffset == 0) return ServerOffset;
    if (installedEvents) installedEvents->RefreshServerTexts();
    return ServerOffset;
}

void PublishStatus(std::wstring text) {
    StatusText = std::move(text);
    if (installedEvents) installedEvents->RedrawStatus();
}

void FinishSync(bool adjust) {
    if (installedEvents) installedEvents->FinishSync(adjust);
}

}  // namespace velmora
