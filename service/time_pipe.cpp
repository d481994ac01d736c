#include "service/time_pipe.h"

#include <sddl.h>

#include <array>
#include <cstdint>
#include <optional>
#include <span>

#include "framework/unique_handle.h"
#include "service/failure_log_throttle.h"
#include "service/service_texts.h"

namespace velmora {
namespace {

// Overlapped, so that a silent client's read can be given up and a stop interrupts any wait.
constexpr DWORD kOpenMode = PIPE_ACCESS_DUPLEX | FILE_FLAG_FIRST_PIPE_INSTANCE | FILE_FLAG_OVERLAPPED;
// Only local programs may set this PC's clock.
constexpr DWORD kPipeMode = PIPE_TYPE_MESSAGE | PIPE_READMODE_MESSAGE | PIPE_WAIT | PIPE_REJECT_REMOTE_CLIENTS;

enum class Io { Done, Failed, TimedOut, Stopping };

class PipeServer {
public:
    PipeServer(HANDLE pipe, HANDLE ioEvent, HANDLE stopEvent) : pipe_(pipe), ioEvent_(ioEvent), stopEvent_(stopEvent) {}

    // Waits for the next client without limit (that is the idle state) or for the stop.
    Io Connect() {
        OVERLAPPED connect = Fresh();
        if (::ConnectNamedPipe(pipe_, &connect)) return Io::Done;
        // A client that connected before the call (ERROR_PIPE_CONNECTED) or already left
        // (ERROR_NO_DATA) is served like any other: the read tells.
        if (::GetLastError() != ERROR_IO_PENDING) return Io::Done;
        DWORD unused = 0;
        return Await(connect, INFINITE, unused) == Io::Stopping ? Io::Stopping : Io::Done;
    }

    // A whole message, at most `timeoutMs` after the call; nothing when it failed, was late
    // or was cut short (ERROR_MORE_DATA: longer than the buffer).
    Io Read(std::span<std::uint8_t> buffer, DWORD timeoutMs, DWORD& received) {
        OVERLAPPED read = Fresh();
        const BOOL issued = ::ReadFile(pipe_, buffer.data(), static_cast<DWORD>(buffer.size()), nullptr, &read);
        return Finish(read, issued, timeoutMs, received);
    }

    Io Write(std::span<const std::uint8_t> bytes, DWORD timeoutMs) {
        OVERLAPPED write = Fresh();
        const BOOL issued = ::WriteFile(pipe_, bytes.data(), static_cast<DWORD>(bytes.size()), nullptr, &write);
        DWORD written = 0;
        return Finish(write, issued, timeoutMs, written);
    }

    // Disconnecting discards a reply the client has not read yet, and the client would take
    // a set clock for a failure: the client closes its end once it has the reply, which ends
    // this read. One that does not close is let go after `timeoutMs`.
    Io AwaitClientGone(DWORD timeoutMs) {
        std::uint8_t scratch[kPipeBufferSize];
        for (;;) {
            OVERLAPPED read = Fresh();
            const BOOL issued = ::ReadFile(pipe_, scratch, sizeof scratch, nullptr, &read);
            DWORD ignored = 0;
            const Io result = Finish(read, issued, timeoutMs, ignored);
            if (result != Io::Done) return result;  // gone (broken pipe), late, or stopping
            // It sent more: not part of its request; read on until it goes.
        }
    }

private:
    OVERLAPPED Fresh() const {
        ::ResetEvent(ioEvent_);
        OVERLAPPED overlapped{};
        overlapped.hEvent = ioEvent_;
        return overlapped;
    }

    Io Finish(OVERLAPPED& overlapped, BOOL issued, DWORD timeoutMs, DWORD& bytes) {
        // Failed at once: nothing is queued, so there is nothing to wait for.
        if (!issued && ::GetLastError() != ERROR_IO_PENDING) return Io::Failed;
        return Await(overlapped, timeoutMs, bytes);
    }

    // A late operation is cancelled and awaited, so the OVERLAPPED is free again.
    Io Await(OVERLAPPED& overlapped, DWORD timeoutMs, DWORD& bytes) {
        const HANDLE events[] = {overlapped.hEvent, stopEvent_};
        const DWORD woke = ::WaitForMultipleObjects(2, events, FALSE, timeoutMs);
        if (woke != WAIT_OBJECT_0) ::CancelIoEx(pipe_, &overlapped);
        const bool completed = ::GetOverlappedResult(pipe_, &overlapped, &bytes, TRUE) != FALSE;
        if (woke == WAIT_OBJECT_0 + 1) return Io::Stopping;
        if (completed) return Io::Done;
        return woke == WAIT_TIMEOUT ? Io::TimedOut : Io::Failed;
    }

    HANDLE pipe_;
    HANDLE ioEvent_;
    HANDLE stopEvent_;
};

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
    const UniqueHandle ioEvent(::CreateEventW(nullptr, TRUE, FALSE, nullptr));
    // Also when another process holds the name: its first instance wins.
    if (!pipe || !ioEvent || !context.stopEvent) {
        context.reporter.ReportStatus(SERVICE_STOPPED, NO_ERROR, 0);
        return;
    }
    context.reporter.ReportStatus(SERVICE_RUNNING, NO_ERROR, 0);

    PipeServer server(pipe.get(), ioEvent.get(), context.stopEvent);
    const auto now = [&] { return context.nowMs ? context.nowMs() : ::GetTickCount64(); };
    FailureLogThrottle throttle;
    DWORD lastSilentClient = 0;
    std::array<std::uint8_t, kPipeBufferSize> buffer{};
    for (;;) {
        if (server.Connect() == Io::Stopping) break;

        ULONG client = 0;
        ::GetNamedPipeClientProcessId(pipe.get(), &client);
        const bool silentBefore = client != 0 && client == lastSilentClient;
        DWORD received = 0;
        const Io read = server.Read(buffer, silentBefore ? context.repeatSilentTimeoutMs : context.messageTimeoutMs,
                                    received);
        if (read == Io::Stopping) break;
        // A silent client is remembered by its process; one that came and went is not.
        lastSilentClient = read == Io::TimedOut ? client : 0;
        if (read != Io::Done) ::Sleep(1);

        // The clock first: the reply tells the client whether it was set.
        const PipeRequest request =
            DecodePipeRequest(std::span(buffer.data(), read == Io::Done ? received : 0), read == Io::Done);
        std::array<std::uint8_t, kFailureReplySize> reply{buffer[0]};
        std::size_t replySize = 1;
        if (request.kind == PipeRequestKind::Offset) {
            if (const DWORD error = ApplyClockOffset(request.offsetMs, context.clock, context.earliestSettableTicks)) {
                reply = EncodeFailureReply(buffer[0], error);
                replySize = kFailureReplySize;
                const FailureLogThrottle::Decision decision = throttle.OnFailure(now());
                if (decision.write && context.logError)
                    context.logError(kSetClockOperation, error, decision.notWrittenBefore);
            }
        }
        // A client that sent nothing in time gets no reply: the buffer's first byte would be
        // an earlier client's, and could read as "taken" to this one.
        Io done = read == Io::TimedOut ? Io::Failed
                                       : server.Write(std::span(reply.data(), replySize), context.messageTimeoutMs);
        if (done == Io::Done) done = server.AwaitClientGone(context.messageTimeoutMs);
        ::DisconnectNamedPipe(pipe.get());
        if (done == Io::Stopping) break;
    }
    ::DisconnectNamedPipe(pipe.get());
    if (throttle.Pending() != 0 && context.logError) context.logError(kSetClockOperation, 0, throttle.Pending());
    pipe.reset();
    context.reporter.ReportStatus(SERVICE_STOPPED, NO_ERROR, 0);
}

}  // namespace velmora
