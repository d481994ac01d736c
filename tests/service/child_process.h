#pragma once
// Runs a program to its end and collects what it printed.
#include <windows.h>

#include <string>

namespace velmora::testing {

struct ProgramRun {
    bool started = false;
    DWORD exitCode = 0;
    std::string out;
    std::string err;
};

// `extraEnvironment`: "NAME=value" set for the child only. A child still running after
// the time-out is killed (exit code WAIT_TIMEOUT).
ProgramRun RunProgram(const std::wstring& commandLine, const std::wstring& extraEnvironment = L"",
                      DWORD timeoutMs = 60'000);

}  // namespace velmora::testing
