#pragma once
// The real Service.exe installed under the prefix's service control manager, with the
// recording clock, so it can be driven through its pipe without moving the PC's clock.
// Used by the hostile-client tests and the throughput benchmark.
#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace velmora::testing {

// One line of the recording clock's file (service/recording_clock.h); set - at is how far
// the clock really moved.
struct ClockRecord {
    std::int64_t read = 0, set = 0, moved = 0, at = 0;
};

class InstalledService {
public:
    // Removes any earlier "VLM Service", then runs `serviceExe` (a Windows path) with
    // "install" and points its recording clock at `recordFile`, which is emptied. A
    // `recordTick` (100 ns units) makes that clock's reads advance in steps of it.
    InstalledService(std::wstring serviceExe, std::wstring recordFile, DWORD recordTick = 0);
    // Stops and removes the service, whatever state it is in.
    ~InstalledService();
    InstalledService(const InstalledService&) = delete;
    InstalledService& operator=(const InstalledService&) = delete;

    bool Installed() const { return installed_; }
    // Starts it and waits (with a deadline) until it reports SERVICE_RUNNING.
    bool Start();
    // Asks the control manager to stop it; returns at once (ControlService runs on a thread
    // of its own, since the service's handler answers only once its pipe loop has the stop).
    void RequestStop();

    std::optional<SERVICE_STATUS_PROCESS> Status() const;
    bool In(DWORD state) const;
    // Open handles of the service's process, or nothing while it does not run.
    std::optional<DWORD> HandleCount() const;

    std::vector<ClockRecord> Records() const;

private:
    std::wstring exe_;
    std::wstring recordFile_;
    bool installed_ = false;
};

// Stops and deletes "VLM Service" if it is installed; false if it would not go.
bool RemoveVlmService();

// Build-tree path (forward slashes) as Wine's Z: drive sees it.
std::wstring WindowsPathOf(const char* unixPath);

}  // namespace velmora::testing
