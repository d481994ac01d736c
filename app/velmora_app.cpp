#include "app/velmora_app.h"

#include <commctrl.h>

#include <thread>

#include "app/close_watcher.h"
#include "app/startup_switch.h"
#include "framework/trace.h"
#include "settings/app_settings.h"
#include "settings/settings_store.h"

namespace velmora {

const bool StartedAtLogon = ContainsStartupSwitch(::GetCommandLineW());

namespace {
// A copy started while the first is still starting waits this long for its window.
constexpr DWORD kFindRunningCopyMs = 5000;
}

bool RestoreRunningInstance() {
    const ULONGLONG deadline = ::GetTickCount64() + kFindRunningCopyMs;
    for (;;) {
        if (const HWND running = ::FindWindowExW(HWND_MESSAGE, nullptr, nullptr, kMainWindowTitle)) {
            ::SendMessageW(running, RestoreRequestMessage, 0, 0);
            return true;
        }
        if (::GetTickCount64() >= deadline) return false;
        ::Sleep(100);
    }
}

BOOL CMFCApplication1App::InitInstance() {
    instanceMutex_.reset(::CreateMutexW(nullptr, FALSE, kInstanceMutexName));
    const DWORD mutexError = ::GetLastError();
    if (mutexError == ERROR_ALREADY_EXISTS || mutexError == ERROR_ACCESS_DENIED) {
        RestoreRunningInstance();
        return FALSE;
    }

    const INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES | ICC_TAB_CLASSES | ICC_BAR_CLASSES};
    ::InitCommonControlsEx(&controls);

    LoadSettings();

    closeEvent_.reset(::CreateEventW(nullptr, FALSE, FALSE, kPrivateCloseEventName));
    std::thread(CloseWatcher, closeEvent_.get()).detach();

    hiddenWindow_ = std::make_unique<Hide_Main_Wnd>();
    if (!hiddenWindow_->Create()) {
        TraceLastError(L"creating the hidden main window");
        ::SetEvent(closeEvent_.get());
        return FALSE;
    }
    hiddenWindow_->AddTrayIcon();
    hiddenWindow_->StartClock();
    hiddenWindow_->ShowClockWindow();
    if (AppSettings.syncAtStart) hiddenWindow_->StartSync(true);
    hiddenWindow_->ApplyAutoSyncSetting();

    hiddenWindow_->RunModalLoop();

    ::SetEvent(closeEvent_.get());
    return FALSE;
}

}  // namespace velmora
