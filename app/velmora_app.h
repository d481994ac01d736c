#pragma once
// The application object: start-up, single instance, and the run loop.
#include <memory>

#include "app/hide_main_wnd.h"
#include "framework/unique_handle.h"
#include "framework/win_app.h"

namespace velmora {

// The command line held " -startup": Windows started the program at logon.
extern const bool StartedAtLogon;

class CMFCApplication1App : public CWinApp {
public:
    // The whole life of the program; always FALSE, so the framework runs no loop of its own.
    BOOL InitInstance() override;

private:
    UniqueHandle instanceMutex_;  // held until the process ends: the mark of a running copy
    UniqueHandle closeEvent_;
    std::unique_ptr<Hide_Main_Wnd> hiddenWindow_;
};

inline constexpr wchar_t kInstanceMutexName[] = L"Local\\Velmora";

// Asks the running copy to show its clock window. False when it has no window (yet).
bool RestoreRunningInstance();

}  // namespace velmora
