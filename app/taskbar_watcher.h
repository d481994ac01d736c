#pragma once
// A hidden top-level window that hears "TaskbarCreated": the shell broadcasts it to top-level
// windows when Explorer (and with it the notification area) has started again, or the display
// DPI has changed, and every icon must then be added anew. The hidden main window is
// message-only and never receives broadcasts, so it keeps this one beside it.
#include <windows.h>

#include <functional>

#include "framework/wnd.h"

namespace velmora {

inline constexpr wchar_t kTaskbarCreatedMessage[] = L"TaskbarCreated";

class TaskbarWatcher : public CWnd {
public:
    explicit TaskbarWatcher(std::function<void()> taskbarCreated) : taskbarCreated_(std::move(taskbarCreated)) {}

    bool Create();

protected:
    bool OnWndMsg(Message& message) override;

private:
    std::function<void()> taskbarCreated_;
    UINT message_ = 0;
};

}  // namespace velmora
