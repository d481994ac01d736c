#include "app/close_watcher.h"

#include <sddl.h>

#include "app/hide_main_wnd.h"
#include "framework/trace.h"
#include "framework/unique_handle.h"

namespace velmora {

void CloseWatcher(HANDLE privateEvent) {
    UniqueLocalMemory descriptor;
    SECURITY_ATTRIBUTES attributes{sizeof attributes, nullptr, FALSE};
    if (::ConvertStringSecurityDescriptorToSecurityDescriptorW(kCloseEventSecurity, SDDL_REVISION_1,
                                                               reinterpret_cast<PSECURITY_DESCRIPTOR*>(descriptor.put()),
                                                               nullptr))
        attributes.lpSecurityDescriptor = descriptor.get();
    // Opens the event when another copy (or the outside party) created it first.
    const UniqueHandle globalEvent(::CreateEventW(&attributes, FALSE, FALSE, kGlobalCloseEventName));
    if (!globalEvent) {
        TraceLastError(L"the close watcher opening Global\\VLMcloseEvent");
        return;
    }
    const HANDLE events[] = {globalEvent.get(), privateEvent};
    if (::WaitForMultipleObjects(2, events, FALSE, INFINITE) == WAIT_OBJECT_0)
        if (const HWND window = HiddenWindowHandle.load()) ::SendMessageW(window, CloseSignalMessage, 0, 0);
}

}  // namespace velmora
