// VelmoraSetup.exe under Wine: install, upgrade and uninstall, seen from outside (files,
// service manager, registry).
#include <windows.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <chrono>
#include <string>

#include "framework/unique_handle.h"
#include "tests/support/velmora_process.h"

namespace velmora {
namespace {

using namespace std::chrono_literals;
using testing::BuiltProgramPath;
using testing::WaitUntil;

constexpr wchar_t kUninstallKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Velmora";
constexpr wchar_t kSettingsKey[] = L"Software\\Brantel\\Velmora";
constexpr wchar_t kRunKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";

std::wstring InstallDir() {
    wchar_t programFiles[MAX_PATH] = {};
    ::SHGetFolderPathW(nullptr, CSIDL_PROGRAM_FILES, nullptr, 0, programFiles);
    return std::wstring(programFiles) + L"\\Velmora";
}

bool FileExists(const std::wstring& path) { return ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

// Runs a command line to its end; its exit code, or -1.
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

std::wstring ReadText(HKEY root, const wchar_t* key, const wchar_t* name) {
    wchar_t value[512] = {};
    DWORD size = sizeof value;
    if (::RegGetValueW(root, key, name, RRF_RT_REG_SZ, nullptr, value, &size) != ERROR_SUCCESS) return L"<missing>";
    return value;
}

DWORD ServiceState() {
    const UniqueServiceHandle manager(::OpenSCManagerW(nullptr, nullptr, SC_MANAGER_CONNECT));
    const UniqueServiceHandle service(::OpenServiceW(manager.get(), L"VLM Service", SERVICE_QUERY_STATUS));
    if (!service) return 0;
    SERVICE_STATUS status{};
    ::QueryServiceStatus(service.get(), &status);
    return status.dwCurrentState;
}

void Install() {
    ASSERT_EQ(RunToEnd(L"\"" + BuiltProgramPath(L"VelmoraSetup.exe") + L"\" /S"), 0);
}

class InstallerTest : public ::testing::Test {
protected:
    void TearDown() override {
        // Leave no service behind: it would start with every later boot of the prefix.
        if (FileExists(InstallDir() + L"\\uninstall.exe")) {
            RunToEnd(L"\"" + InstallDir() + L"\\uninstall.exe\" /S _?=" + InstallDir());
        }
    }
};

TEST_F(InstallerTest, InstallsUpgradesAndUninstallsKeepingTheSettings) {
    Install();
    for (const wchar_t* file : {L"Velmora.exe", L"Service.exe", L"DSEG-LICENSE.txt", L"uninstall.exe"})
        EXPECT_TRUE(FileExists(InstallDir() + L"\\" + file)) << file;
    EXPECT_TRUE(WaitUntil([] { return ServiceState() == SERVICE_RUNNING; }, 20s));
    EXPECT_EQ(ReadText(HKEY_LOCAL_MACHINE, L"System\\CurrentControlSet\\Services\\VLM Service", L"ImagePath"),
              L"\"" + InstallDir() + L"\\Service.exe\"");
    EXPECT_EQ(ReadText(HKEY_LOCAL_MACHINE, kUninstallKey, L"DisplayVersion"), L"1.0.0");
    EXPECT_EQ(ReadText(HKEY_LOCAL_MACHINE, kUninstallKey, L"Publisher"), L"Brantel");
    EXPECT_EQ(ReadText(HKEY_LOCAL_MACHINE, kUninstallKey, L"DisplayName"), L"Velmora");

    // The user's own settings survive an upgrade and the uninstall.
    const DWORD minutes = 42;
    ::RegSetKeyValueW(HKEY_CURRENT_USER, kSettingsKey, L"Sync Every X Minutes", REG_DWORD, &minutes, sizeof minutes);
    const std::wstring run = L"\"" + InstallDir() + L"\\Velmora.exe\" -startup";
    ::RegSetKeyValueW(HKEY_CURRENT_USER, kRunKey, L"Velmora", REG_SZ, run.c_str(),
                      static_cast<DWORD>((run.size() + 1) * sizeof(wchar_t)));

    Install();
    EXPECT_TRUE(WaitUntil([] { return ServiceState() == SERVICE_RUNNING; }, 20s)) << "after the upgrade";
    DWORD stored = 0, size = sizeof stored;
    EXPECT_EQ(::RegGetValueW(HKEY_CURRENT_USER, kSettingsKey, L"Sync Every X Minutes", RRF_RT_REG_DWORD, nullptr,
                             &stored, &size), ERROR_SUCCESS);
    EXPECT_EQ(stored, minutes);

    // The uninstaller copies itself away and returns at once: wait for its effects.
    ASSERT_EQ(RunToEnd(L"\"" + InstallDir() + L"\\uninstall.exe\" /S"), 0);
    EXPECT_TRUE(WaitUntil([] { return !FileExists(InstallDir()); }, 60s));
    EXPECT_TRUE(WaitUntil([] { return ServiceState() == 0; }, 20s)) << "the service is gone";
    EXPECT_EQ(ReadText(HKEY_CURRENT_USER, kRunKey, L"Velmora"), L"<missing>");
    EXPECT_EQ(ReadText(HKEY_LOCAL_MACHINE, kUninstallKey, L"DisplayName"), L"<missing>");
    size = sizeof stored;
    EXPECT_EQ(::RegGetValueW(HKEY_CURRENT_USER, kSettingsKey, L"Sync Every X Minutes", RRF_RT_REG_DWORD, nullptr,
                             &stored, &size), ERROR_SUCCESS) << "settings are kept unless the user asks";
}

}  // namespace
}  // namespace velmora
