#include "tests/e2e/e2e_support.h"

#include <shlobj.h>

#include <chrono>
#include <filesystem>

#include "framework/unique_handle.h"
#include "tests/support/velmora_process.h"

namespace velmora::testing {

namespace {

std::wstring ProgramFilesVelmora(int folder) {
    wchar_t programFiles[MAX_PATH] = {};
    if (FAILED(::SHGetFolderPathW(nullptr, folder, nullptr, 0, programFiles))) return {};
    return std::wstring(programFiles) + L"\\Velmora";
}

}  // namespace

std::wstring InstallDir() { return ProgramFilesVelmora(CSIDL_PROGRAM_FILES); }

std::wstring OtherInstallDir() {
    if constexpr (sizeof(void*) == 8) return ProgramFilesVelmora(CSIDL_PROGRAM_FILESX86);
    return {};
}

std::wstring SetupPath() {
    return BuiltProgramPath(sizeof(void*) == 8 ? L"VelmoraSetup-x64.exe" : L"VelmoraSetup-x86.exe");
}

std::wstring X86SetupPathIfRunnable() {
    if constexpr (sizeof(void*) == 4) return {};
    wchar_t runs[8] = {};
    if (::GetEnvironmentVariableW(L"VELMORA_X86_RUNS", runs, 8) == 0 || std::wstring(runs) != L"1") return {};
    // build\windows-x64\bin\ -> build\windows\bin\VelmoraSetup-x86.exe
    const std::filesystem::path bin = std::filesystem::path(BuiltProgramPath(L"")).parent_path();
    const std::wstring path = (bin.parent_path().parent_path() / L"windows" / L"bin" / L"VelmoraSetup-x86.exe").wstring();
    return FileExists(path) ? path : std::wstring();
}

bool FileExists(const std::wstring& path) { return ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

long RunToEnd(std::wstring commandLine) {
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    if (!::CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info))
        return -1;
    const UniqueHandle process(info.hProcess);
    const UniqueHandle thread(info.hThread);
    if (::WaitForSingleObject(process.get(), 120'000) != WAIT_OBJECT_0) return -1;
    DWORD code = 0;
    ::GetExitCodeProcess(process.get(), &code);
    return static_cast<long>(code);
}

bool InstallProduct(const std::wstring& setup) { return RunToEnd(L"\"" + setup + L"\" /S") == 0; }

bool UninstallProduct() {
    using namespace std::chrono_literals;
    // The uninstaller copies itself away and returns at once: wait for its effects.
    if (RunToEnd(L"\"" + InstallDir() + L"\\uninstall.exe\" /S") != 0) return false;
    return WaitUntil([] { return !FileExists(InstallDir()); }, 60s);
}

std::wstring ReadText(HKEY root, const wchar_t* key, const wchar_t* name, REGSAM view) {
    HKEY opened = nullptr;
    if (::RegOpenKeyExW(root, key, 0, KEY_QUERY_VALUE | view, &opened) != ERROR_SUCCESS) return L"<missing>";
    wchar_t value[512] = {};
    DWORD size = sizeof value;
    const LSTATUS status = ::RegGetValueW(opened, nullptr, name, RRF_RT_REG_SZ, nullptr, value, &size);
    ::RegCloseKey(opened);
    return status == ERROR_SUCCESS ? value : L"<missing>";
}

DWORD ReadNumber(HKEY root, const wchar_t* key, const wchar_t* name, DWORD missing) {
    DWORD value = 0;
    DWORD size = sizeof value;
    if (::RegGetValueW(root, key, name, RRF_RT_REG_DWORD, nullptr, &value, &size) != ERROR_SUCCESS) return missing;
    return value;
}

void WriteNumber(HKEY root, const wchar_t* key, const wchar_t* name, DWORD value) {
    ::RegSetKeyValueW(root, key, name, REG_DWORD, &value, sizeof value);
}

void WriteText(HKEY root, const wchar_t* key, const wchar_t* name, const std::wstring& value) {
    ::RegSetKeyValueW(root, key, name, REG_SZ, value.c_str(), static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
}

DWORD ServiceState() {
    const UniqueServiceHandle manager(::OpenSCManagerW(nullptr, nullptr, SC_MANAGER_CONNECT));
    const UniqueServiceHandle service(::OpenServiceW(manager.get(), L"VLM Service", SERVICE_QUERY_STATUS));
    if (!service) return 0;
    SERVICE_STATUS status{};
    ::QueryServiceStatus(service.get(), &status);
    return status.dwCurrentState;
}

}  // namespace velmora::testing
