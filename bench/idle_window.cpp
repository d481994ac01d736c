// The baseline for the footprint benchmark: a Wine program with one small visible window and
// an empty message loop, so that what Wine itself costs at idle can be told apart.
#include <windows.h>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    ::CreateWindowExW(WS_EX_TOOLWINDOW, L"STATIC", L"idle", WS_POPUP | WS_VISIBLE, 0, 0, 160, 90, nullptr, nullptr,
                      nullptr, nullptr);
    MSG message;
    while (::GetMessageW(&message, nullptr, 0, 0) > 0) ::DispatchMessageW(&message);
    return 0;
}
