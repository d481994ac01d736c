#include "tests/service/pipe_test_client.h"

#include <cstdio>
#include <thread>

#include "common/pipe_protocol.h"

namespace velmora::testing {

bool WaitUntil(const std::function<bool()>& condition, std::chrono::milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (!condition()) {
        if (std::chrono::steady_clock::now() >= deadline) return condition();
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return true;
}

std::vector<std::uint8_t> Offset(std::int64_t ms) {
    const auto bytes = EncodeOffsetRequest(ms);
    return {bytes.begin(), bytes.end()};
}

PipeReply CallPipe(const std::wstring& name, std::span<const std::uint8_t> request, DWORD waitMs) {
    PipeReply reply;
    WaitUntil([&] {
        ++reply.attempts;
        std::uint8_t bytes[kPipeBufferSize] = {};
        DWORD read = 0;
        reply.ok = ::CallNamedPipeW(name.c_str(), const_cast<std::uint8_t*>(request.data()),
                                    static_cast<DWORD>(request.size()), bytes, sizeof bytes, &read, waitMs) != FALSE;
        reply.error = reply.ok ? 0 : ::GetLastError();
        reply.bytes.assign(bytes, bytes + (reply.ok ? read : 0));
        return reply.error != ERROR_PIPE_BUSY && reply.error != ERROR_SEM_TIMEOUT;
    });
    // Worth seeing: the desktop program does not retry.
    if (reply.attempts > 1) std::fprintf(stderr, "pipe call retried: %d attempts\n", reply.attempts);
    return reply;
}

UniqueHandle ConnectSilently(const std::wstring& name) {
    UniqueHandle client;
    WaitUntil([&] {
        client.reset(::CreateFileW(name.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr));
        if (!client && ::GetLastError() == ERROR_PIPE_BUSY) ::WaitNamedPipeW(name.c_str(), 1000);
        return static_cast<bool>(client);
    });
    return client;
}

bool DroppedByServer(HANDLE client) {
    const std::uint8_t byte = 4;
    DWORD written = 0;
    return !::WriteFile(client, &byte, 1, &written, nullptr);
}

}  // namespace velmora::testing
