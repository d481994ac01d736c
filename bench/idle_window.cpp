// The baselines for the footprint benchmark, so that what Wine itself costs at idle can be
// told apart from Velmora's own work:
//   idle_window.exe                    one small visible window and an empty message loop;
//   idle_window.exe layered WIDTH HEIGHT
//                                      a layered, topmost, activated window of that size that
//                                      hands the system a rectangle of 54 x 44 pixels once a
//                                      second, as a clock face's changed digits are, and draws
//                                      nothing: the cost of the hand-over alone.
#include <windows.h>

#include <cwchar>

namespace {

constexpr UINT_PTR kTick = 1;

struct Layered {
    HDC dc = nullptr;
    SIZE size{};
    BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    bool whole = true;
} layered;

void HandOver(HWND window) {
    POINT source{0, 0};
    RECT dirty{layered.size.cx / 2, 40, layered.size.cx / 2 + 54, 84};
    UPDATELAYEREDWINDOWINFO info{};
    info.cbSize = sizeof info;
    info.psize = &layered.size;
    info.hdcSrc = layered.dc;
    info.pptSrc = &source;
    info.pblend = &layered.blend;
    info.dwFlags = ULW_ALPHA;
    info.prcDirty = layered.whole ? nullptr : &dirty;
    ::UpdateLayeredWindowIndirect(window, &info);
    layered.whole = false;
}

LRESULT CALLBACK LayeredProc(HWND window, UINT message, WPARAM w, LPARAM l) {
    if (message == WM_TIMER && w == kTick) {
        HandOver(window);
        return 0;
    }
    return ::DefWindowProcW(window, message, w, l);
}

HWND CreateLayered(int width, int height) {
    WNDCLASSW wc{};
    wc.lpfnWndProc = LayeredProc;
    wc.hInstance = ::GetModuleHandleW(nullptr);
    wc.lpszClassName = L"layered";
    ::RegisterClassW(&wc);
    const HWND window = ::CreateWindowExW(WS_EX_LAYERED | WS_EX_TOPMOST | WS_EX_TOOLWINDOW, L"layered", nullptr,
                                          WS_POPUP, 40, 40, width, height, nullptr, nullptr, wc.hInstance, nullptr);
    if (!window) return nullptr;
    // A translucent face, premultiplied, as the clock's surface is.
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    const HBITMAP bitmap = ::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!bitmap) return nullptr;
    for (int i = 0; i < width * height; ++i) static_cast<DWORD*>(bits)[i] = 0x78203040;
    layered.dc = ::CreateCompatibleDC(nullptr);
    ::SelectObject(layered.dc, bitmap);
    layered.size = {width, height};
    HandOver(window);
    ::ShowWindow(window, SW_SHOW);
    ::SetForegroundWindow(window);
    ::SetTimer(window, kTick, 1000, nullptr);
    return window;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR commandLine, int) {
    int width = 0;
    int height = 0;
    if (std::swscanf(commandLine, L"layered %d %d", &width, &height) == 2 && width > 0 && height > 0) {
        if (!CreateLayered(width, height)) return 1;
    } else {
        ::CreateWindowExW(WS_EX_TOOLWINDOW, L"STATIC", L"idle", WS_POPUP | WS_VISIBLE, 0, 0, 160, 90, nullptr, nullptr,
                          nullptr, nullptr);
    }
    MSG message;
    while (::GetMessageW(&message, nullptr, 0, 0) > 0) ::DispatchMessageW(&message);
    return 0;
}
