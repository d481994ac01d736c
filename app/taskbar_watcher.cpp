#include "app/taskbar_watcher.h"

#include "framework/trace.h"

namespace velmora {

bool TaskbarWatcher::Create() {
    message_ = ::RegisterWindowMessageW(kTaskbarCreatedMessage);
    if (!message_) {
        TraceLastError(L"registering the TaskbarCreated message");
        return false;
    }
    // Never shown; a tool window, so that nothing ever gives it a taskbar button.
    if (!CreateEx(WS_EX_TOOLWINDOW, RegisterWindowClass(), L"", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr)) {
        TraceLastError(L"making the window that hears TaskbarCreated");
        return false;
    }
    // Explorer runs with less privilege than a copy of the program started as administrator.
    ::ChangeWindowMessageFilterEx(m_hWnd, message_, MSGFLT_ALLOW, nullptr);
    return true;
}

bool TaskbarWatcher::OnWndMsg(Message& message) {
    if (message_ && message.message == message_) {
        // Anyone may broadcast it: adding the icon again is all it can cause.
        if (taskbarCreated_) taskbarCreated_();
        message.result = 0;
        return true;
    }
    return CWnd::OnWndMsg(message);
}

}  // namespace velmora
