#include "app/service_client.h"

#include <algorithm>
#include <array>
#include <utility>

#include "common/pipe_protocol.h"
#include "framework/unique_handle.h"

namespace velmora {
namespace {

ServiceEndpoint endpoint;

constexpr wchar_t kServiceName[] = L"VLM Service";
// A busy instance is asked for again in steps this long, until the exchange's time is up.
constexpr DWORD kBusyRetryMs = 20;

class Deadline {
public:
    explicit Deadline(DWORD limitMs) : end_(::GetTickCount64() + limitMs) {}
    DWORD Remaining() const {
        const ULONGLONG now = ::GetTickCount64();
        return now >= end_ ? 0 : static_cast<DWORD>(end_ - now);
    }

private:
    ULONGLONG end_;
};

// Waits for an overlapped operation until the deadline; a late one is cancelled.
DWORD Complete(HANDLE pipe, OVERLAPPED& overlapped, BOOL issued, const Deadline& deadline, DWORD& bytes) {
    if (!issued) {
        const DWORD error = ::GetLastError();
        if (error != ERROR_IO_PENDING && error != ERROR_MORE_DATA) return error;
        if (error == ERROR_IO_PENDING &&
            ::WaitForSingleObject(overlapped.hEvent, deadline.Remaining()) != WAIT_OBJECT_0) {
            ::CancelIoEx(pipe, &overlapped);
            ::GetOverlappedResult(pipe, &overlapped, &bytes, TRUE);
            return ERROR_TIMEOUT;
        }
    }
    if (::GetOverlappedResult(pipe, &overlapped, &bytes, TRUE)) return ERROR_SUCCESS;
    return ::GetLastError();
}

// Opens the pipe for identification only (the server may learn who we are, never act as
// us), retrying a busy instance until the deadline.
DWORD OpenPipe(const std::wstring& name, const Deadline& deadline, UniqueHandle& pipe) {
    for (;;) {
        pipe.reset(::CreateFileW(name.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                 FILE_FLAG_OVERLAPPED | SECURITY_SQOS_PRESENT | SECURITY_IDENTIFICATION, nullptr));
        if (pipe) return ERROR_SUCCESS;
        const DWORD error = ::GetLastError();
        if (error != ERROR_PIPE_BUSY) return error;
        const DWORD remaining = deadline.Remaining();
        if (remaining == 0) return ERROR_TIMEOUT;
        // Wine fails a wait of 0 at once; WaitNamedPipeW may also return before the instance
        // is really free, so its result only paces the next attempt.
        if (!::WaitNamedPipeW(name.c_str(), std::min(remaining, kBusyRetryMs))) ::Sleep(1);
    }
}

}  // namespace

ServiceEndpoint SetServiceEndpoint(ServiceEndpoint replacement) { return std::exchange(endpoint, std::move(replacement)); }

std::optional<DWORD> RunningServiceProcess() {
    const UniqueServiceHandle manager(::OpenSCManagerW(nullptr, nullptr, SC_MANAGER_CONNECT));
    if (!manager) return std::nullopt;
    const UniqueServiceHandle service(::OpenServiceW(manager.get(), kServiceName, SERVICE_QUERY_STATUS));
    if (!service) return std::nullopt;
    SERVICE_STATUS_PROCESS status{};
    DWORD needed = 0;
    if (!::QueryServiceStatusEx(service.get(), SC_STATUS_PROCESS_INFO, reinterpret_cast<BYTE*>(&status),
                                sizeof status, &needed))
        return std::nullopt;
    if (status.dwCurrentState != SERVICE_RUNNING || status.dwProcessId == 0) return std::nullopt;
    return status.dwProcessId;
}

DWORD SendOffsetRequest(std::int64_t offsetMs) {
    const std::wstring name = endpoint.pipeName.empty() ? std::wstring(kTimePipeName) : endpoint.pipeName;
    const Deadline deadline(endpoint.limitMs ? endpoint.limitMs : kServiceExchangeLimitMs);
    const UniqueHandle event(::CreateEventW(nullptr, TRUE, FALSE, nullptr));
    if (!event) return ::GetLastError();
    const auto request = EncodeOffsetRequest(offsetMs);

    for (;;) {
        UniqueHandle pipe;
        if (const DWORD error = OpenPipe(name, deadline, pipe)) return error;

        // Nothing goes to a process that is not the running service.
        ULONG server = 0;
        if (!::GetNamedPipeServerProcessId(pipe.get(), &server)) return ::GetLastError();
        const std::optional<DWORD> service =
            endpoint.serviceProcess ? endpoint.serviceProcess() : RunningServiceProcess();
        if (!service) return ERROR_SERVICE_NOT_ACTIVE;
        if (server != *service) return ERROR_ACCESS_DENIED;

        DWORD mode = PIPE_READMODE_MESSAGE;
        ::SetNamedPipeHandleState(pipe.get(), &mode, nullptr, nullptr);

        OVERLAPPED write{};
        write.hEvent = event.get();
        ::ResetEvent(event.get());
        DWORD written = 0;
        const DWORD writeError =
            Complete(pipe.get(), write,
                     ::WriteFile(pipe.get(), request.data(), static_cast<DWORD>(request.size()), nullptr, &write),
                     deadline, written);
        if (writeError != ERROR_SUCCESS || written != request.size()) {
            // Dropped before the request was taken (the service gives a client only a moment
            // to write): it was not delivered, so it may be sent again while time is left.
            const bool dropped = writeError == ERROR_NO_DATA || writeError == ERROR_PIPE_NOT_CONNECTED ||
                                 writeError == ERROR_BROKEN_PIPE;
            if (dropped && deadline.Remaining() > 0) continue;
            return writeError != ERROR_SUCCESS ? writeError : ERROR_WRITE_FAULT;
        }

        std::array<std::uint8_t, kPipeBufferSize> reply{};
        OVERLAPPED read{};
        read.hEvent = event.get();
        ::ResetEvent(event.get());
        DWORD received = 0;
        const DWORD readError = Complete(
            pipe.get(), read, ::ReadFile(pipe.get(), reply.data(), static_cast<DWORD>(reply.size()), nullptr, &read),
            deadline, received);
        if (readError != ERROR_SUCCESS) return readError;
        const PipeReply decoded = DecodePipeReply(std::span(reply.data(), received), request[0]);
        switch (decoded.kind) {
        case PipeReplyKind::Taken: return ERROR_SUCCESS;
        case PipeReplyKind::NotApplied: return decoded.error;
        default: return ERROR_INVALID_DATA;
        }
    }
}

}  // namespace velmora
