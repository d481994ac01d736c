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

}  // namespace

void LogServiceError(const wchar_t* operation) {
    const UniqueResource<EventSourceTraits> source(::RegisterEventSourceW(nullptr, kEventSourceName));
    if (!source) return;
    const wchar_t* strings[] = {kServiceName, operation};
    ::ReportEventW(source.get(), EVENTLOG_ERROR_TYPE, 0, 0, nullptr, 2, 0, strings, nullptr);
}

}  // namespace velmora
