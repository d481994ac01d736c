#pragma once
// The result of the last synchronisation and how a query's start and end change it, in the
// order the program has always followed. Runs on the user-interface thread only: a query's
// worker hands back its measurement and touches none of this. No Windows here.
#include <cstdint>
#include <string>

#include "sync/sntp_measurement.h"

namespace velmora {

// Milliseconds by which server time is ahead of the PC's clock, or NoServerTime.
extern std::int64_t ServerOffset;
// Set once the service has taken an offset in this run; never cleared.
extern bool ClockAdjusted;
// The last synchronisation result, drawn on the full clock window's status line.
extern std::wstring StatusText;

// The steps of the program that a synchronisation reaches; the hidden main window takes
// them, tests record them.
class SyncSteps {
public:
    // Hands the offset to the service (adjust) or shows the server clock (not adjust).
    virtual void FinishSync(bool adjust) = 0;
    // The full clock window's DrawStatus, when that window is the current view.
    virtual void RedrawStatus() = 0;
    // FormatClockText for the server pair.
    virtual void RefreshServerTexts() = 0;

protected:
    ~SyncSteps() = default;
};

// Stores a measured offset: 0 when it is residue after an adjustment, otherwise as
// measured, refreshing the server texts. Returns the stored value.
std::int64_t ComputeServerOffset(std::int64_t measuredMs, SyncSteps& steps);

void PublishStatus(std::wstring text, SyncSteps& steps);

// Windows' own time service refuses automatic corrections beyond 15 hours on a stand-alone
// PC; so does this program: a larger difference is shown, and the user may still send it
// with "Adjust" or "Syncronize Now".
inline constexpr std::int64_t kMaxAutomaticCorrectionMs = 15LL * 3600 * 1000;
bool AutomaticCorrectionAllowed(std::int64_t offsetMs);

// As a query starts: no server time is known while it runs.
void BeginSntpQuery(bool adjust, SyncSteps& steps);

// With the query's measurement: stores the offset and the status text and finishes the
// synchronisation again on success.
void CompleteSntpQuery(const SntpMeasurement& measurement, bool adjust, SyncSteps& steps);

}  // namespace velmora
