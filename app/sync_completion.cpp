#include "app/sync_completion.h"

#include "sync/sync_texts.h"
#include "sync/time_arithmetic.h"

namespace velmora {

std::int64_t ServerOffset = NoServerTime;
bool ClockAdjusted = false;
std::wstring StatusText;

std::int64_t ComputeServerOffset(std::int64_t measuredMs, SyncSteps& steps) {
    ServerOffset = SettleOffset(measuredMs, ClockAdjusted);
    if (ClockAdjusted && ServerOffset == 0) return ServerOffset;
    steps.RefreshServerTexts();
    return ServerOffset;
}

void PublishStatus(std::wstring text, SyncSteps& steps) {
    StatusText = std::move(text);
    steps.RedrawStatus();
}

bool AutomaticCorrectionAllowed(std::int64_t offsetMs) {
    return offsetMs >= -kMaxAutomaticCorrectionMs && offsetMs <= kMaxAutomaticCorrectionMs;
}

void BeginSntpQuery(bool adjust, SyncSteps& steps) {
    ServerOffset = NoServerTime;
    steps.FinishSync(adjust);
}

void CompleteSntpQuery(const SntpMeasurement& measurement, bool adjust, SyncSteps& steps) {
    if (!measurement.Answered()) {
        ServerOffset = NoServerTime;
        PublishStatus(measurement.failureText, steps);
        return;
    }
    const std::int64_t offset = ComputeServerOffset(measurement.offsetMs, steps);
    PublishStatus(SyncResultText(offset), steps);
    steps.FinishSync(adjust);
}

}  // namespace velmora
