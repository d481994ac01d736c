#pragma once
// CWinApp: the one application object. FrameworkMain runs it: InitInstance, then (if that
// returned TRUE) the message loop, then ExitInstance.
#include <windows.h>

namespace velmora {

class CWinApp {
public:
    CWinApp();
    virtual ~CWinApp();
    CWinApp(const CWinApp&) = delete;
    CWinApp& operator=(const CWinApp&) = delete;

    virtual BOOL InitInstance() { return TRUE; }
    virtual int ExitInstance() { return exitCode_; }
    virtual int Run();

    HINSTANCE m_hInstance = nullptr;

    static CWinApp* Current() { return current_; }

    // Every message loop offers each message here first (dialog keyboard navigation).
    static bool PreTranslateMessage(MSG& msg);

protected:
    int exitCode_ = 0;

private:
    static CWinApp* current_;
};

// The program's entry: wWinMain calls this with its instance.
int FrameworkMain(HINSTANCE instance);

}  // namespace velmora
