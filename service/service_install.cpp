#include "service/service_install.h"

#include <windows.h>

#include <cstdio>
#include <string>

#include "framework/unique_handle.h"
#include "service/service_texts.h"

namespace velmora {
namespace {

// Prints a message whose %d is the last-error code at this moment.
void PrintWithLastError(const char* format) {
    std::printf(format, static_cast<int>(::GetLastError()));
    std::fflush(stdout);
}

}  // namespace

void InstallService() {
    wchar_t path[MAX_PATH];
    const DWORD length = ::GetModuleFileNameW(nullptr, path, MAX_PATH);
    // A truncated path would register some other program.
    if (length == 0 || length == MAX_PATH) {
        PrintWithLastError(kCannotInstall);
        return;
    }
    // Quoted: the SCM would otherwise try "C:\Program.exe" and the like for a path with spaces.
    const std::wstring binaryPath = L"\"" + std::wstring(path, length) + L"\"";

    const UniqueServiceHandle manager(::OpenSCManagerW(nullptr, nullptr, SC_MANAGER_ALL_ACCESS));
    if (!manager) {
        PrintWithLastError(kOpenScManagerFailed);
        return;
    }
    const UniqueServiceHandle service(::CreateServiceW(manager.get(), kServiceName, kServiceName, SERVICE_ALL_ACCESS,
                                                       SERVICE_WIN32_OWN_PROCESS, SERVICE_AUTO_START,
                                                       SERVICE_ERROR_NORMAL, binaryPath.c_str(), nullptr, nullptr,
                                                       nullptr, nullptr, nullptr));
    if (!service) {
        PrintWithLastError(kCreateServiceFailed);
        return;
    }
    std::printf("%s", kInstalled);
    std::fflush(stdout);

    std::wstring description = kServiceDescription;
    SERVICE_DESCRIPTIONW info{description.data()};
    ::ChangeServiceConfig2W(service.get(), SERVICE_CONFIG_DESCRIPTION, &info);
}

void UninstallService() {
    const UniqueServiceHandle manager(::OpenSCManagerW(nullptr, nullptr, SC_MANAGER_CONNECT));
    if (!manager) {
        PrintWithLastError(kOpenScManagerFailed);
        return;
    }
    const UniqueServiceHandle service(::OpenServiceW(manager.get(), kServiceName, DELETE | SERVICE_QUERY_STATUS));
    if (!service) {
        PrintWithLastError(kOpenServiceFailed);
        return;
    }
    SERVICE_STATUS status{};
    if (!::QueryServiceStatus(service.get(), &status)) PrintWithLastError(kQueryStatusFailed);
    if (status.dwCurrentState != SERVICE_STOPPED) return;
    PrintWithLastError(::DeleteService(service.get()) ? kUninstalled : kDeleteServiceFailed);
}

}  // namespace velmora
