#include "service/service_status.h"

#include <utility>

namespace velmora {

ServiceStatusReporter::ServiceStatusReporter(Sink sink) : sink_(std::move(sink)) {
    status_.dwServiceType = SERVICE_WIN32_OWN_PROCESS;
    status_.dwServiceSpecificExitCode = 0;
}

void ServiceStatusReporter::ReportStatus(DWORD state, DWORD exitCode, DWORD waitHintMs) {
    std::lock_guard lock(mutex_);
    status_.dwCurrentState = state;
    status_.dwWin32ExitCode = exitCode;
    status_.dwWaitHint = waitHintMs;
    status_.dwControlsAccepted = state == SERVICE_START_PENDING ? 0 : SERVICE_ACCEPT_STOP;
    status_.dwCheckPoint = state == SERVICE_RUNNING || state == SERVICE_STOPPED ? 0 : nextCheckPoint_++;
    if (sink_) sink_(status_);
}

DWORD ServiceStatusReporter::CurrentState() const {
    std::lock_guard lock(mutex_);
    return status_.dwCurrentState;
}

}  // namespace velmora
