#include "tests/support/pipe_stand_in.h"

#include <cstring>

namespace velmora::testing {
namespace {
constexpr wchar_t kPipe[] = L"\\\\.\\pipe\\Velmora";
}

PipeStandIn::PipeStandIn(Behaviour behaviour)
    : behaviour_(behaviour), ready_(::CreateEventW(nullptr, TRUE, FALSE, nullptr)) {
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
        if (behaviour_.neverReply && !stopping_) {
            // Returns once the client has given up and closed its end.
            std::uint8_t more[128];
            DWORD ignored = 0;
            while (::ReadFile(pipe, more, sizeof more, &ignored, nullptr) || ::GetLastError() == ERROR_MORE_DATA) {
            }
            ::DisconnectNamedPipe(pipe);
            continue;
        }
        const DWORD error = behaviour_.refuseWith;
        BYTE reply[5] = {static_cast<BYTE>(read ? buffer[0] : 0), static_cast<BYTE>(error), static_cast<BYTE>(error >> 8),
                         static_cast<BYTE>(error >> 16), static_cast<BYTE>(error >> 24)};
        const DWORD replySize = (error != 0 && read == 8) ? 5 : 1;
        DWORD written = 0;
        ::WriteFile(pipe, reply, replySize, &written, nullptr);
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
