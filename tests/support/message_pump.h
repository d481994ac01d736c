#pragma once
// Lets a test's own thread run its windows until something has happened.
#include <windows.h>

namespace velmora::testing {

// Pumps this thread's messages until `done` or five seconds pass.
template <typename Done>
bool PumpUntil(Done done) {
    const ULONGLONG deadline = ::GetTickCount64() + 5000;
    MSG msg;
    while (!done()) {
        if (::GetTickCount64() > deadline) return false;
        while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageW(&msg);
        }
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
    }
    return true;
}

}  // namespace velmora::testing
