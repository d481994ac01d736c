#include "framework/win_app.h"

#include "framework/dialog.h"

namespace velmora {

CWinApp* CWinApp::current_ = nullptr;

CWinApp::CWinApp() { current_ = this; }

CWinApp::~CWinApp() {
    if (current_ == this) current_ = nullptr;
}

bool CWinApp::PreTranslateMessage(MSG& msg) { return CDialog::IsDialogMessage(msg); }

int CWinApp::Run() {
    MSG msg;
    BOOL got;
    while ((got = ::GetMessageW(&msg, nullptr, 0, 0)) != 0 && got != -1) {
        if (PreTranslateMessage(msg)) continue;
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
    exitCode_ = got == 0 ? static_cast<int>(msg.wParam) : -1;
    return ExitInstance();
}

int FrameworkMain(HINSTANCE instance) {
    CWinApp* app = CWinApp::Current();
    if (!app) return -1;
    app->m_hInstance = instance;
    if (!app->InitInstance()) return app->ExitInstance();
    return app->Run();
}

}  // namespace velmora
