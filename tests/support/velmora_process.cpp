#include "tests/support/velmora_process.h"

#include <string_view>

namespace velmora::testing {

std::wstring BuiltProgramPath(const wchar_t* name) {
    // Test binaries live in build/windows/tests, the programs in build/windows/bin.
    wchar_t module[MAX_PATH];
    ::GetModuleFileNameW(nullptr, module, MAX_PATH);
    std::wstring path = module;
    path.resize(path.find_last_of(L'\\'));
    path.resize(path.find_last_of(L'\\') + 1);
    return path + L"bin\\" + name;
}

bool NoVelmoraRunning(std::chrono::milliseconds timeout) {
    return WaitUntil(
        [] {
            const HANDLE mutex = ::OpenMutexW(SYNCHRONIZE, FALSE, L"Local\\Velmora");
            if (!mutex) return true;
            ::CloseHandle(mutex);
            return false;
        },
        timeout);
}

VelmoraProcess::VelmoraProcess(const std::wstring& arguments, const std::wstring& program) {
    std::wstring commandLine = L"\"" + (program.empty() ? BuiltProgramPath(L"Velmora.exe") : program) + L"\"" + arguments;
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    if (::CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info)) {
        ::CloseHandle(info.hThread);
        process_.reset(info.hProcess);
        id_ = info.dwProcessId;
    }
}

VelmoraProcess::~VelmoraProcess() {
    if (Running()) {
        ::TerminateProcess(process_.get(), 1);
        ::WaitForSingleObject(process_.get(), 5000);
    }
}

bool VelmoraProcess::Running() const { return process_ && ::WaitForSingleObject(process_.get(), 0) == WAIT_TIMEOUT; }

bool VelmoraProcess::WaitForExit(std::chrono::milliseconds timeout, DWORD* exitCode) const {
    if (!process_ || ::WaitForSingleObject(process_.get(), static_cast<DWORD>(timeout.count())) != WAIT_OBJECT_0)
        return false;
    if (exitCode) ::GetExitCodeProcess(process_.get(), exitCode);
    return true;
}

HWND VelmoraProcess::HiddenWindow(std::chrono::milliseconds timeout) const {
    HWND found = nullptr;
    WaitUntil(
        [&] {
            for (HWND w = nullptr; (w = ::FindWindowExW(HWND_MESSAGE, w, nullptr, L"Velmora"));) {
                DWORD pid = 0;
                ::GetWindowThreadProcessId(w, &pid);
                if (pid == id_) {
                    found = w;
                    return true;
                }
            }
            return false;
        },
        timeout);
    return found;
}

namespace {

struct WindowSearch {
    DWORD pid;
    HWND found;
};

BOOL CALLBACK FindPopupOfProcess(HWND window, LPARAM l) {
    auto* search = reinterpret_cast<WindowSearch*>(l);
    DWORD pid = 0;
    ::GetWindowThreadProcessId(window, &pid);
    wchar_t className[16] = {};
    ::GetClassNameW(window, className, 16);
    // The clock windows are dialogs; the process has other popups (the IME window, tips).
    if (pid != search->pid || std::wstring_view(className) != L"#32770") return TRUE;
    search->found = window;
    return FALSE;
}

}  // namespace

HWND VelmoraProcess::ClockWindow(std::chrono::milliseconds timeout) const {
    WindowSearch search{id_, nullptr};
    WaitUntil(
        [&] {
            ::EnumWindows(FindPopupOfProcess, reinterpret_cast<LPARAM>(&search));
            return search.found != nullptr;
        },
        timeout);
    return search.found;
}

}  // namespace velmora::testing
