// velmora_probe: drives a running Velmora from outside, for demos, screenshots and
// end-to-end checks.
//   velmora_probe tray-menu        right-click on the tray icon (opens the menu)
//   velmora_probe tray-click       left-click on the tray icon (restores the clock)
//   velmora_probe command ID       a tray menu command (32772 Exit, 32773 Restore, ...)
//   velmora_probe close-signal     signals Global\VLMcloseEvent
//   velmora_probe settings-tab N   shows page N (0, 1, 2) of the open settings dialog
//   velmora_probe warm             builds the prefix's font list (slow the first time)
//   velmora_probe hold             keeps a hidden window until killed: Wine's desktop
//                                  process then stays up between the programs a test starts
//   velmora_probe clock-click ID   presses a button of the clock window (1056 "Get", ...)
//   velmora_probe clock-dblclick   double-clicks the clock window's face (the next view)
//   velmora_probe clock-rect       prints the clock window's "left top width height"
//   velmora_probe pipe-staller     a hostile client: connects to the time pipe, says
//                                  nothing, and connects again as soon as it is dropped,
//                                  until killed
#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <cwchar>
#include <string>


namespace {

int CALLBACK CountFamily(const LOGFONTW*, const TEXTMETRICW*, DWORD, LPARAM count) {
    ++*reinterpret_cast<int*>(count);
    return 1;
}

// A new prefix builds its font list the first time a program draws text, which can take
// tens of seconds: pay that once here rather than in the first program under test.
int WarmFonts() {
    const HDC dc = ::GetDC(nullptr);
    LOGFONTW any{};
    any.lfCharSet = DEFAULT_CHARSET;
    int families = 0;
    ::EnumFontFamiliesExW(dc, &any, CountFamily, reinterpret_cast<LPARAM>(&families), 0);
    const HFONT font = ::CreateFontW(-11, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, L"MS Shell Dlg");
    const HGDIOBJ previous = ::SelectObject(dc, font);
    SIZE size{};
    ::GetTextExtentPoint32W(dc, L"12:00:00", 8, &size);
    ::SelectObject(dc, previous);
    ::DeleteObject(font);
    ::ReleaseDC(nullptr, dc);
    return families > 0 ? 0 : 1;
}

HWND FindHiddenWindow() {
    for (int i = 0; i < 100; ++i) {
        if (const HWND window = ::FindWindowExW(HWND_MESSAGE, nullptr, nullptr, L"Velmora")) return window;
        ::Sleep(100);
    }
    return nullptr;
}

struct ClockSearch {
    DWORD process;
    HWND found;
};

BOOL CALLBACK FindClockWindow(HWND window, LPARAM param) {
    auto& search = *reinterpret_cast<ClockSearch*>(param);
    DWORD process = 0;
    ::GetWindowThreadProcessId(window, &process);
    wchar_t className[32] = {};
    ::GetClassNameW(window, className, 32);
    if (process != search.process || std::wcscmp(className, L"#32770") != 0) return TRUE;
    search.found = window;
    return FALSE;
}

// The current clock window: the one dialog of the process that owns the hidden window.
HWND FindClockWindow(HWND hidden) {
    ClockSearch search{0, nullptr};
    ::GetWindowThreadProcessId(hidden, &search.process);
    ::EnumWindows(FindClockWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 2) {
        std::fwprintf(stderr, L"usage: velmora_probe tray-menu|tray-click|command ID|close-signal\n");
        return 2;
    }
    const std::wstring verb = argv[1];
    if (verb == L"warm") return WarmFonts();
    if (verb == L"hold") {
        ::CreateWindowExW(0, L"STATIC", L"velmora_probe hold", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
        MSG msg;
        while (::GetMessageW(&msg, nullptr, 0, 0) > 0) ::DispatchMessageW(&msg);
        return 0;
    }
    if (verb == L"pipe-staller") {
        for (;;) {
            const HANDLE client = ::CreateFileW(L"\\\\.\\pipe\\Velmora", GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                                OPEN_EXISTING, 0, nullptr);
            if (client == INVALID_HANDLE_VALUE) {
                if (::GetLastError() == ERROR_PIPE_BUSY)
                    ::WaitNamedPipeW(L"\\\\.\\pipe\\Velmora", 100);
                else
                    ::Sleep(10);
                continue;
            }
            BYTE byte = 0;
            DWORD read = 0;
            ::ReadFile(client, &byte, 1, &read, nullptr);  // returns once the service lets go
            ::CloseHandle(client);
        }
    }
    if (verb == L"close-signal") {
        const HANDLE signal = ::OpenEventW(EVENT_MODIFY_STATE, FALSE, L"Global\\VLMcloseEvent");
        if (!signal) return 1;
        ::SetEvent(signal);
        ::CloseHandle(signal);
        return 0;
    }
    if (verb == L"settings-tab" && argc > 2) {
        // The tab control notifies its dialog as a click on the tab would.
        const HWND settings = ::FindWindowW(nullptr, L"Velmora Settings");
        const HWND tabs = settings ? ::GetDlgItem(settings, 1062) : nullptr;
        if (!tabs) {
            std::fwprintf(stderr, L"the settings dialog is not open\n");
            return 1;
        }
        ::SendMessageW(tabs, TCM_SETCURFOCUS, std::wcstoul(argv[2], nullptr, 10), 0);
        return 0;
    }
    const HWND hidden = FindHiddenWindow();
    if (!hidden) {
        std::fwprintf(stderr, L"Velmora is not running\n");
        return 1;
    }
    if (verb == L"tray-menu") return ::PostMessageW(hidden, WM_USER + 1, 0, WM_RBUTTONDOWN) ? 0 : 1;
    if (verb == L"tray-click") return ::PostMessageW(hidden, WM_USER + 1, 0, WM_LBUTTONDOWN) ? 0 : 1;
    if (verb == L"command" && argc > 2)
        return ::PostMessageW(hidden, WM_COMMAND, static_cast<WPARAM>(std::wcstoul(argv[2], nullptr, 10)), 0) ? 0 : 1;
    const HWND clock = FindClockWindow(hidden);
    if (!clock) {
        std::fwprintf(stderr, L"Velmora shows no clock window\n");
        return 1;
    }
    if (verb == L"clock-click" && argc > 2) {
        const HWND button = ::GetDlgItem(clock, static_cast<int>(std::wcstoul(argv[2], nullptr, 10)));
        if (!button) return 1;
        ::SendMessageW(button, BM_CLICK, 0, 0);
        return 0;
    }
    if (verb == L"clock-dblclick") return ::PostMessageW(clock, WM_LBUTTONDBLCLK, 0, MAKELPARAM(30, 30)) ? 0 : 1;
    if (verb == L"clock-rect") {
        RECT r{};
        ::GetWindowRect(clock, &r);
        std::wprintf(L"%ld %ld %ld %ld\n", r.left, r.top, r.right - r.left, r.bottom - r.top);
        return 0;
    }
    return 2;
}
