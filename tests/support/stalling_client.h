#pragma once
// A hostile pipe client in a process of its own, as an attacker's would be: the probe's
// "pipe-staller" connects, says nothing, and connects again as soon as the service drops it.
// Ended when this object goes.
#include <windows.h>

#include <string>

#include "framework/unique_handle.h"
#include "tests/support/installed_service.h"

namespace velmora::testing {

class StallingClient {
public:
    // probeExe: velmora_probe.exe's path as the build knows it (a Unix path under Wine).
    explicit StallingClient(const char* probeExe) {
        std::wstring commandLine = L"\"" + WindowsPathOf(probeExe) + L"\" pipe-staller";
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION info{};
        // Detached: no console host of its own that would hold the test runner's output open.
        if (::CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, DETACHED_PROCESS, nullptr, nullptr,
                             &startup, &info)) {
            ::CloseHandle(info.hThread);
            process_.reset(info.hProcess);
        }
    }
    ~StallingClient() {
        if (process_) {
            ::TerminateProcess(process_.get(), 0);
            ::WaitForSingleObject(process_.get(), 5000);
        }
    }
    StallingClient(const StallingClient&) = delete;
    StallingClient& operator=(const StallingClient&) = delete;

    bool Started() const { return static_cast<bool>(process_); }

private:
    UniqueHandle process_;
};

}  // namespace velmora::testing
