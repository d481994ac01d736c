#pragma once
// The result of the last synchronisation, shared by the whole desktop program.
// Owned by the user-interface thread: query workers never write these; they post their
// measurement, and CompleteSntpQuery stores it on that thread.
#include <cstdint>
#include <string>

namespace velmora {

// Milliseconds by which server time is ahead of the PC's clock, or NoServerTime.
extern std::int64_t ServerOffset;
// Set once the service has taken an offset in this run; never cleared.
extern bool ClockAdjusted;
// The last synchronisation result, drawn on the full clock window's status line.
extern std::wstring StatusText;

// What a synchronisation reaches in the rest of the program. The hidden main window
// implements it; tests install recorders.
class SyncEvents {
public:
    virtual ~SyncEvents() = default;
    virtual void FinishSync(bool adjust) = 0;
    // The full clock window's DrawStatus, when that window is the current view.
    virtual void RedrawStatus() = 0;
    // FormatClockText for the server pair.
    virtual void RefreshServerTexts() = 0;
};

// Installs the receiver (or none); returns the previous one.
SyncEvents* SetSyncEvents(SyncEvents* events);

// Stores a measured offset: 0 when it is residue after an adjustment, otherwise as
// measured, refreshing the server texts. Returns the stored value.
std::int64_t ComputeServerOffset(std::int64_t measuredMs);

void PublishStatus(std::wstring text);

// The completion step, on whoever is installed.
void FinishSync(bool adjust);

}  // namespace velmora
