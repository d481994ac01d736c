#include "service/service_host.h"

#include <atomic>

#include "framework/unique_handle.h"
#include "service/event_log.h"
#include "service/recording_clock.h"
#include "service/service_install.h"
#include "service/service_texts.h"

namespace velmora {
namespace {

constexpr DWORD kStartWaitHintMs = 3000;

// Set on the service thread, read by reports from the control handler's thread too.
std::atomic<SERVICE_STATUS_HANDLE> statusHandle{nullptr};
// Made before the handler is registered and kept for the process's life, so the handler can
// always set it.
HANDLE StopEvent() {
    static const UniqueHandle event(::CreateEventW(nullptr, TRUE, FALSE, nullptr));
    return event.get();
}

ServiceStatusReporter& ProcessReporter() {
    static ServiceStatusReporter reporter([](const SERVICE_STATUS& status) {
        SERVICE_STATUS copy = status;
        ::SetServiceStatus(statusHandle.load(), &copy);
    });
    return reporter;
}

void RunServiceDispatcher() {
    // The dispatcher only reads the name.
    const SERVICE_TABLE_ENTRYW table[] = {{const_cast<wchar_t*>(kServiceName), TimeServiceMain}, {nullptr, nullptr}};
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

void HandleServiceControl(ServiceStatusReporter& reporter, DWORD control, HANDLE stopEvent) {
    if (control == SERVICE_CONTROL_STOP) {
        reporter.ReportStatus(SERVICE_STOP_PENDING, NO_ERROR, 0);
        ::SetEvent(stopEvent);
        return;
    }
    reporter.ReportStatus(reporter.CurrentState(), NO_ERROR, 0);
}

void WINAPI TimeServiceMain(DWORD, LPWSTR*) {
    try {
        const HANDLE stopEvent = StopEvent();
        statusHandle = ::RegisterServiceCtrlHandlerW(kServiceName, TimeServiceControl);
        if (!statusHandle.load()) {
            LogServiceError(kRegisterHandlerOperation);
            return;
        }
        const auto clock = SelectServiceClock();
        RunTimeService({.clock = *clock,
                        .reporter = ProcessReporter(),
                        .logError = [](const wchar_t* operation, DWORD error, std::uint64_t notLogged) {
                            LogServiceError(operation, error, notLogged);
                        },
                        .stopEvent = stopEvent});
    } catch (...) {
        // Nothing may cross into the dispatcher. Only an allocation can fail here.
        if (statusHandle.load()) ProcessReporter().ReportStatus(SERVICE_STOPPED, ERROR_NOT_ENOUGH_MEMORY, 0);
    }
}

void WINAPI TimeServiceControl(DWORD control) {
    try {
        HandleServiceControl(ProcessReporter(), control, StopEvent());
    } catch (...) {
    }
}

}  // namespace velmora
