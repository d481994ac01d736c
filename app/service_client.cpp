#include "app/service_client.h"

#include "common/pipe_protocol.h"

namespace velmora {

DWORD SendOffsetRequest(std::int64_t offsetMs) {
    auto request = EncodeOffsetRequest(offsetMs);
    BYTE reply = 0;
    DWORD replied = 0;
    // A busy pipe instance is waited for 1 ms at most.
    if (::CallNamedPipeW(kTimePipeName, request.data(), static_cast<DWORD>(request.size()), &reply, sizeof reply,
                         &replied, 1))
        return ERROR_SUCCESS;
    const DWORD error = ::GetLastError();
    return error == ERROR_SUCCESS ? ERROR_GEN_FAILURE : error;
}

}  // namespace velmora
