#pragma once
// Lets a test's own thread run its windows until something has happened.
#include <windows.h>

#include <chrono>

namespace velmora::testing {

// Dispatches whatever is queued now.
inline void PumpPending() {
    MSG msg;
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
}

// Pumps this thread's messages until `done` or `timeout` passes.
template <typename Done>
bool PumpUntil(Done done, std::chrono::milliseconds timeout = std::chrono::seconds(5)) {
    const ULONGLONG deadline = ::GetTickCount64() + static_cast<ULONGLONG>(timeout.count());
    while (!done()) {
        if (::GetTickCount64() > deadline) return false;
        PumpPending();
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
    }
    return true;
}

}  // namespace velmora::testing
