#pragma once
// The desktop program's side of the pipe to the time-setting service. Whoever holds the pipe
// name is checked before anything is sent: only the running "VLM Service" gets an offset.
#include <windows.h>

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

namespace velmora {

// The whole exchange (waiting for a busy instance, connecting, writing, reading the reply)
// ends within this time: a server that never answers cannot hold the program.
inline constexpr DWORD kServiceExchangeLimitMs = 2000;

// One offset request and its reply. ERROR_SUCCESS when the service set the clock; otherwise
// why not: the system's error code of a failed exchange (ERROR_FILE_NOT_FOUND when nobody
// serves the pipe), the error the service replied with, ERROR_SERVICE_NOT_ACTIVE when the
// pipe is held while "VLM Service" is not running, ERROR_ACCESS_DENIED when it is held by
// another process than the service, ERROR_TIMEOUT when the exchange ran out of time.
DWORD SendOffsetRequest(std::int64_t offsetMs);

// Tests only: where the request goes and which process is taken for the service.
struct ServiceEndpoint {
    std::wstring pipeName = {};                                      // empty: \\.\pipe\Velmora
    std::function<std::optional<DWORD>()> serviceProcess = nullptr;  // empty: the running VLM Service's
    DWORD limitMs = 0;                                               // 0: kServiceExchangeLimitMs
};
ServiceEndpoint SetServiceEndpoint(ServiceEndpoint endpoint);

// The process id of the running "VLM Service", or nothing.
std::optional<DWORD> RunningServiceProcess();

}  // namespace velmora
