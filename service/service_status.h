#pragma once
// The service status record and its reports to the service control manager.
#include <windows.h>

#include <functional>
#include <mutex>

namespace velmora {

class ServiceStatusReporter {
public:
    // Receives every report; SetServiceStatus in the service, a recorder in tests.
    using Sink = std::function<void(const SERVICE_STATUS&)>;

    explicit ServiceStatusReporter(Sink sink);

    // Pending states take the next check-point number, which is never reused; a stop is
    // accepted in every state except start-pending.
    void ReportStatus(DWORD state, DWORD exitCode, DWORD waitHintMs);
    DWORD CurrentState() const;

private:
    Sink sink_;
    // The control handler and the service thread both report.
    mutable std::mutex mutex_;
    SERVICE_STATUS status_{};
    DWORD nextCheckPoint_ = 1;
};

}  // namespace velmora
