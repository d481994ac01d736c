#include "tests/support/pipe_stand_in.h"

#include <cstring>

namespace velmora::testing {
namespace {
constexpr wchar_t kPipe[] = L"\\\\.\\pipe\\Velmora";
}

PipeStandIn::PipeStandIn() : ready_(::CreateEventW(nullptr, TRUE, FALSE, nullptr)) {
    thread_ = std::thread([this] { Serve(); });
    ::WaitForSingleObject(ready_, 5000);
}

PipeStandIn::~PipeStandIn() {
    stopping_ = true;
    // Wake the server's ConnectNamedPipe with one last client.
    BYTE reply = 0;
    DWORD read = 0;
    std::uint8_t nothing = 0;
    ::CallNamedPipeW(kPipe, &nothing, 1, &reply, 1, &read, 1000);
    thread_.join();
    ::CloseHandle(ready_);
}

void PipeStandIn::Serve() {
    const HANDLE pipe = ::CreateNamedPipeW(kPipe, PIPE_ACCESS_DUPLEX, PIPE_TYPE_MESSAGE | PIPE_READMODE_MESSAGE | PIPE_WAIT,
                                           1, 100, 100, 0, nullptr);
    ::SetEvent(ready_);
    if (pipe == INVALID_HANDLE_VALUE) return;
    while (!stopping_) {
        if (!::ConnectNamedPipe(pipe, nullptr) && ::GetLastError() != ERROR_PIPE_CONNECTED) continue;
        std::uint8_t buffer[128];
        DWORD read = 0;
        const BOOL ok = ::ReadFile(pipe, buffer, sizeof buffer, &read, nullptr);
        if (ok && !stopping_) {
            std::lock_guard lock(mutex_);
            requests_.emplace_back(buffer, buffer + read);
        }
        const BYTE reply = read ? buffer[0] : 0;
        DWORD written = 0;
        ::WriteFile(pipe, &reply, 1, &written, nullptr);
        ::FlushFileBuffers(pipe);
        ::DisconnectNamedPipe(pipe);
    }
    ::CloseHandle(pipe);
}

std::vector<std::vector<std::uint8_t>> PipeStandIn::Requests() const {
    std::lock_guard lock(mutex_);
    return requests_;
}

std::vector<std::int64_t> PipeStandIn::Offsets() const {
    std::vector<std::int64_t> offsets;
    for (const auto& request : Requests()) {
        if (request.size() != 8) continue;
        std::int64_t offset;
        std::memcpy(&offset, request.data(), 8);
        offsets.push_back(offset);
    }
    return offsets;
}

}  // namespace velmora::testing
