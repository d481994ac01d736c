#pragma once
// Starts the built Velmora.exe and watches it from outside: its windows, its exit.
#include <windows.h>

#include <chrono>
#include <string>

#include "framework/unique_handle.h"

namespace velmora::testing {

// How long a program may take to show its windows: the first start in a new Wine prefix
// can be slow, and that is no fault of the program.
inline constexpr std::chrono::seconds kProgramStartTimeout{90};

class VelmoraProcess {
public:
    // Starts `program` (by default build/windows/bin/Velmora.exe) with `arguments` appended
    // to its quoted path.
    explicit VelmoraProcess(const std::wstring& arguments = {}, const std::wstring& program = {});
    ~VelmoraProcess();  // ends the process if it still runs

    bool Started() const { return static_cast<bool>(process_); }
    DWORD Id() const { return id_; }
    // Waits for the process to end; its exit code, or nothing after `timeout`.
    bool WaitForExit(std::chrono::milliseconds timeout, DWORD* exitCode = nullptr) const;
    bool Running() const;

    // The message-only window "Velmora" of this process (null until it exists).
    HWND HiddenWindow(std::chrono::milliseconds timeout) const;
    // Its first visible-or-hidden top-level window other than the hidden one.
    HWND ClockWindow(std::chrono::milliseconds timeout) const;

private:
    UniqueHandle process_;
    DWORD id_ = 0;
};

std::wstring BuiltProgramPath(const wchar_t* name);

// Waits until no copy of Velmora holds its single-instance mutex (an earlier test's copy
// may still be ending).
bool NoVelmoraRunning(std::chrono::milliseconds timeout);

// Polls `condition` until it holds or `timeout` passes.
template <typename Condition>
bool WaitUntil(Condition condition, std::chrono::milliseconds timeout) {
    const ULONGLONG deadline = ::GetTickCount64() + static_cast<ULONGLONG>(timeout.count());
    while (!condition()) {
        if (::GetTickCount64() > deadline) return false;
        ::Sleep(20);
    }
    return true;
}

}  // namespace velmora::testing
