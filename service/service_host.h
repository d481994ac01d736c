#pragma once
// The service program: its command line, the dispatcher, the service main routine and the
// control handler.
#include <windows.h>

#include <string>

#include "service/service_status.h"
#include "service/time_pipe.h"

namespace velmora {

// "install" and "uninstall" (in any case) run those commands; anything else connects to
// the service control dispatcher. Always 0.
int RunServiceProgram(int argc, wchar_t** argv);

// The service's work once its control handler is registered: reports the start as
// pending, then runs the pipe loop until its stop event is set.
void RunTimeService(const TimePipeContext& context);

// A stop reports stop-pending and sets the loop's stop event, whatever the pipe's clients
// are doing; the loop reports the stop when it has ended. Any other control reports the
// current state again.
void HandleServiceControl(ServiceStatusReporter& reporter, DWORD control, HANDLE stopEvent);

void WINAPI TimeServiceMain(DWORD argc, LPWSTR* argv);
void WINAPI TimeServiceControl(DWORD control);

}  // namespace velmora
