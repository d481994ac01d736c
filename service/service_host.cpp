#include "service/service_host.h"

#include "service/event_log.h"
#include "service/recording_clock.h"
#include "service/service_install.h"
#include "service/service_texts.h"

namespace velmora {
namespace {

constexpr DWORD kStartWaitHintMs = 3000;

SERVICE_STATUS_HANDLE statusHandle = nullptr;

ServiceStatusReporter& ProcessReporter() {
    static ServiceStatusReporter reporter([](const SERVICE_STATUS& status) {
        SERVICE_STATUS copy = status;
        ::SetServiceStatus(statusHandle, &copy);
    });
    return reporter;
}

void RunServiceDispatcher() {
    wchar_t name[] = L"VLM Service";
    const SERVICE_TABLE_ENTRYW table[] = {{name, TimeServiceMain}, {nullptr, nullptr}};
    if (!::StartServiceCtrlDispatcherW(table)) LogServiceError(kDispatcherOperation);
}

}  // namespace

int RunServiceProgram(int argc, wchar_t** argv) {
    const wchar_t* command = argc > 1 ? argv[1] : L"";
    if (::lstrcmpiW(command, L"install") == 0)
        InstallService();
    else if (::lstrcmpiW(command, L"uninstall") == 0)
        UninstallService();
    else
        RunServiceDispatcher();
    return 0;
}

void RunTimeService(const TimePipeContext& context) {
    context.reporter.ReportStatus(SERVICE_START_PENDING, NO_ERROR, kStartWaitHintMs);
    RunTimePipe(context);
}

void HandleServiceControl(ServiceStatusReporter& reporter, DWORD control, const std::wstring& pipeName) {
    if (control == SERVICE_CONTROL_STOP) {
        reporter.ReportStatus(SERVICE_STOP_PENDING, NO_ERROR, 0);
        SendStopRequest(pipeName);
        return;
    }
    reporter.ReportStatus(reporter.CurrentState(), NO_ERROR, 0);
}

void WINAPI TimeServiceMain(DWORD, LPWSTR*) {
    try {
        statusHandle = ::RegisterServiceCtrlHandlerW(kServiceName, TimeServiceControl);
        if (!statusHandle) {
            LogServiceError(kRegisterHandlerOperation);
            return;
        }
        const auto clock = SelectServiceClock();
        RunTimeService({.clock = *clock, .reporter = ProcessReporter(), .logError = LogServiceError});
    } catch (...) {
        // Nothing may cross into the dispatcher; the SCM sees the process end.
    }
}

void WINAPI TimeServiceControl(DWORD control) {
    try {
        HandleServiceControl(ProcessReporter(), control, kTimePipeName);
    } catch (...) {
    }
}

}  // namespace velmora
