#pragma once
// The service's pipe loop: one request and a one-byte reply per connection.
#include <windows.h>

#include <functional>
#include <string>

#include "service/clock_adjustment.h"
#include "common/pipe_protocol.h"
#include "service/service_status.h"

namespace velmora {

// How long a connected client may take to send its message. The desktop program writes at
// once; a client that stays silent longer is disconnected so the next one, or the stop,
// gets the single pipe instance.
inline constexpr DWORD kClientMessageTimeoutMs = 1000;

struct TimePipeContext {
    LocalClock& clock;
    ServiceStatusReporter& reporter;
    // Writes an error event naming the failed operation.
    std::function<void(const wchar_t* operation)> logError;
    std::wstring pipeName = kTimePipeName;
    DWORD messageTimeoutMs = kClientMessageTimeoutMs;
};

// Creates the pipe, reports SERVICE_RUNNING and serves clients until a stop request;
// then reports SERVICE_STOPPED. If the pipe cannot be created it reports SERVICE_STOPPED
// at once.
void RunTimePipe(const TimePipeContext& context);

// How long the control handler keeps trying to hand the loop its stop request while other
// clients hold the pipe.
inline constexpr DWORD kStopRequestPatienceMs = 30'000;

// The control handler's stop request: waits for the instance without limit, and tries
// again while other clients win it.
void SendStopRequest(const std::wstring& pipeName);

}  // namespace velmora
