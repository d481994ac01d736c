#include "service/time_pipe.h"

#include <sddl.h>

#include <array>
#include <cstdint>
#include <optional>
#include <span>

#include "framework/unique_handle.h"
#include "service/service_texts.h"

namespace velmora {
namespace {

// Overlapped, so that a silent client's read can be given up.
constexpr DWORD kOpenMode = PIPE_ACCESS_DUPLEX | FILE_FLAG_FIRST_PIPE_INSTANCE | FILE_FLAG_OVERLAPPED;
// Only local programs may set this PC's clock.
constexpr DWORD kPipeMode = PIPE_TYPE_MESSAGE | PIPE_READMODE_MESSAGE | PIPE_WAIT | PIPE_REJECT_REMOTE_CLIENTS;

// Waits for an overlapped operation that `issued` started, at most `timeoutMs`; a late one
// is cancelled. The bytes transferred, or nothing when the operation failed, was late or
// was cut short (ERROR_MORE_DATA: a message longer than the buffer).
std::optional<DWORD> AwaitIo(HANDLE pipe, OVERLAPPED& overlapped, BOOL issued, DWORD timeoutMs) {
    if (!issued) {
        // Failed at once: nothing is queued, so there is nothing to wait for.
        if (::GetLastError() != ERROR_IO_PENDING) return std::nullopt;
        if (::WaitForSingleObject(overlapped.hEvent, timeoutMs) != WAIT_OBJECT_0) ::CancelIoEx(pipe, &overlapped);
    }
    DWORD bytes = 0;
    if (!::GetOverlappedResult(pipe, &overlapped, &bytes, TRUE)) return std::nullopt;
    return bytes;
}

OVERLAPPED FreshOverlapped(HANDLE event) {
    ::ResetEvent(event);
    OVERLAPPED overlapped{};
    overlapped.hEvent = event;
    return overlapped;
}

// Waits for the next client (without limit: that is the idle state), reads its message,
// replies with the first byte of the receive buffer and disconnects it.
PipeRequest ServeOneClient(HANDLE pipe, HANDLE event, std::array<std::uint8_t, kPipeBufferSize>& buffer,
                           DWORD messageTimeoutMs) {
    OVERLAPPED connect = FreshOverlapped(event);
    // A client that connected before the call (ERROR_PIPE_CONNECTED) or already left is
    // served like any other: the read tells.
    if (!::ConnectNamedPipe(pipe, &connect) && ::GetLastError() == ERROR_IO_PENDING) {
        DWORD unused = 0;
        ::GetOverlappedResult(pipe, &connect, &unused, TRUE);
    }

    OVERLAPPED read = FreshOverlapped(event);
    const BOOL issued = ::ReadFile(pipe, buffer.data(), static_cast<DWORD>(buffer.size()), nullptr, &read);
    const std::optional<DWORD> received = AwaitIo(pipe, read, issued, messageTimeoutMs);
    if (!received) ::Sleep(1);

    const std::uint8_t reply = buffer[0];
    OVERLAPPED write = FreshOverlapped(event);
    AwaitIo(pipe, write, ::WriteFile(pipe, &reply, 1, nullptr, &write), messageTimeoutMs);
    ::DisconnectNamedPipe(pipe);

    return DecodePipeRequest(std::span(buffer.data(), received.value_or(0)), received.has_value());
}

}  // namespace

void RunTimePipe(const TimePipeContext& context) {
    UniqueLocalMemory descriptor;
    SECURITY_ATTRIBUTES attributes{sizeof(attributes), nullptr, FALSE};
    UniqueHandle pipe;
    if (::ConvertStringSecurityDescriptorToSecurityDescriptorW(kPipeSecurity, SDDL_REVISION_1, descriptor.put(),
                                                               nullptr)) {
        attributes.lpSecurityDescriptor = descriptor.get();
        pipe.reset(::CreateNamedPipeW(context.pipeName.c_str(), kOpenMode, kPipeMode, 1, kPipeBufferSize,
                                      kPipeBufferSize, NMPWAIT_WAIT_FOREVER, &attributes));
    }
    const UniqueHandle event(::CreateEventW(nullptr, TRUE, FALSE, nullptr));
    // Also when another process holds the name: its first instance wins.
    if (!pipe || !event) {
        context.reporter.ReportStatus(SERVICE_STOPPED, NO_ERROR, 0);
        return;
    }
    context.reporter.ReportStatus(SERVICE_RUNNING, NO_ERROR, 0);

    std::array<std::uint8_t, kPipeBufferSize> buffer{};
    for (;;) {
        const PipeRequest request = ServeOneClient(pipe.get(), event.get(), buffer, context.messageTimeoutMs);
        if (request.kind == PipeRequestKind::Stop) break;
        // The client has its reply already, so a failure can only go to the event log.
        if (request.kind == PipeRequestKind::Offset && !ApplyClockOffset(request.offsetMs, context.clock) &&
            context.logError)
            context.logError(kSetClockOperation);
    }
    pipe.reset();
    context.reporter.ReportStatus(SERVICE_STOPPED, NO_ERROR, 0);
}

void SendStopRequest(const std::wstring& pipeName) {
    BYTE request = kStopRequestByte;
    // Between the wait for the instance and the connection another client can take the
    // instance; CallNamedPipeW then fails as busy. Under a steady stream of clients that lost
    // the stop for good, so it is sent again until the loop has it, the pipe is gone, or the
    // patience runs out. The wait is the explicit "for ever": with the pipe's default (0),
    // Wine does not queue the caller among the waiters and it never won against a flood.
    const ULONGLONG deadline = ::GetTickCount64() + kStopRequestPatienceMs;
    for (;;) {
        BYTE reply = 0;
        DWORD replied = 0;
        if (::CallNamedPipeW(pipeName.c_str(), &request, sizeof(request), &reply, sizeof(reply), &replied,
                             NMPWAIT_WAIT_FOREVER))
            return;
        const DWORD error = ::GetLastError();
        const bool lostTheRace = error == ERROR_PIPE_BUSY || error == ERROR_SEM_TIMEOUT;
        if (!lostTheRace || ::GetTickCount64() >= deadline) return;
    }
}

}  // namespace velmora
