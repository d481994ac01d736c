#pragma once
// The desktop program's side of the pipe to the time-setting service.
#include <windows.h>

#include <cstdint>

namespace velmora {

// One offset request over \\.\pipe\Velmora and its reply. ERROR_SUCCESS when the service
// took it, otherwise the system's error code of the failed exchange.
DWORD SendOffsetRequest(std::int64_t offsetMs);

}  // namespace velmora
