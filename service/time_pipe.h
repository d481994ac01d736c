#pragma once
// The service's pipe loop: one request and its reply per connection.
#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>

#include "common/pipe_protocol.h"
#include "service/clock_adjustment.h"
#include "service/service_status.h"

namespace velmora {

// How long a connected client may take to send its message. The desktop program writes as
// soon as it is connected; a client that stays silent longer is disconnected so that the
// next one gets the single pipe instance.
inline constexpr DWORD kClientMessageTimeoutMs = 200;
// A process whose last connection stayed silent gets only this long the next time, so that
// a client that reconnects as soon as it is dropped cannot keep everyone else out.
inline constexpr DWORD kRepeatSilentClientTimeoutMs = 10;

struct TimePipeContext {
    LocalClock& clock;
    ServiceStatusReporter& reporter;
    // Writes an error event: the failed operation, its error code, and how many failures
    // before it got no event of their own.
    std::function<void(const wchar_t* operation, DWORD error, std::uint64_t notLogged)> logError = nullptr;
    // Set by the service's control handler: the loop ends, whatever a client is doing.
    HANDLE stopEvent = nullptr;
    std::wstring pipeName = kTimePipeName;
    DWORD messageTimeoutMs = kClientMessageTimeoutMs;
    DWORD repeatSilentTimeoutMs = kRepeatSilentClientTimeoutMs;
    // No request sets a time before this (FILETIME ticks).
    std::uint64_t earliestSettableTicks = kEarliestSettableTicks;
    // Milliseconds for the event-log throttle; GetTickCount64 when empty.
    std::function<std::uint64_t()> nowMs = nullptr;
};

// Creates the pipe, reports SERVICE_RUNNING and serves clients until the stop event is set;
// then reports SERVICE_STOPPED. If the pipe cannot be created it reports SERVICE_STOPPED
// at once.
void RunTimePipe(const TimePipeContext& context);

}  // namespace velmora
