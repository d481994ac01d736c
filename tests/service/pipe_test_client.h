#pragma once
// Clients of the service's pipe for tests, and polling with a deadline.
#include <windows.h>

#include <chrono>
#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <vector>

#include "framework/unique_handle.h"

namespace velmora::testing {

// Polls `condition` until it holds or `timeout` has passed; returns its last value.
bool WaitUntil(const std::function<bool()>& condition, std::chrono::milliseconds timeout = std::chrono::seconds(15));

// The 8 bytes of an offset request.
std::vector<std::uint8_t> Offset(std::int64_t ms);

struct PipeReply {
    bool ok = false;
    DWORD error = 0;
    std::vector<std::uint8_t> bytes;
    int attempts = 0;
};

// One CallNamedPipeW exchange, waiting up to `waitMs` for the instance, with room for any
// reply the service gives (one byte when the request was taken, five when an offset was not
// applied). Retried until a deadline only while the instance is busy, when the request has
// certainly not been delivered.
PipeReply CallPipe(const std::wstring& name, std::span<const std::uint8_t> request, DWORD waitMs = 5000);

// A client that connects and then says nothing while the handle lives.
UniqueHandle ConnectSilently(const std::wstring& name);

// Whether the server has let go of a client: a write on its handle fails.
bool DroppedByServer(HANDLE client);

}  // namespace velmora::testing
