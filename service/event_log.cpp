#include "service/event_log.h"

#include <windows.h>

#include "framework/unique_handle.h"
#include "service/service_texts.h"

namespace velmora {
namespace {

struct EventSourceTraits {
    using Value = HANDLE;
    static Value Empty() { return nullptr; }
    static bool IsValid(Value h) { return h != nullptr; }
    static void Close(Value h) { ::DeregisterEventSource(h); }
};

void Report(const wchar_t* const* strings, WORD count) {
    const UniqueResource<EventSourceTraits> source(::RegisterEventSourceW(nullptr, kEventSourceName));
    if (!source) return;
    ::ReportEventW(source.get(), EVENTLOG_ERROR_TYPE, 0, 0, nullptr, count, 0, const_cast<const wchar_t**>(strings),
                   nullptr);
}

}  // namespace

void LogServiceError(const wchar_t* operation) {
    const wchar_t* strings[] = {kServiceName, operation};
    Report(strings, 2);
}

std::wstring FailureDetails(DWORD error, std::uint64_t notLogged) {
    std::wstring details;
    if (error != 0) details = L"error " + std::to_wstring(error);
    if (notLogged != 0) {
        if (!details.empty()) details += L"; ";
        details += std::to_wstring(notLogged) + (notLogged == 1 ? L" earlier failure" : L" earlier failures") +
                   L" not logged";
    }
    return details;
}

void LogServiceError(const wchar_t* operation, DWORD error, std::uint64_t notLogged) {
    const std::wstring details = FailureDetails(error, notLogged);
    const wchar_t* strings[] = {kServiceName, operation, details.c_str()};
    Report(strings, 3);
}

}  // namespace velmora
