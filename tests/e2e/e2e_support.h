#pragma once
// What the end-to-end tests share: the installed product's places, running commands,
// reading the registry from outside.
#include <windows.h>

#include <string>

namespace velmora::testing {

inline constexpr wchar_t kUninstallKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Velmora";
inline constexpr wchar_t kSettingsKey[] = L"Software\\Brantel\\Velmora";
inline constexpr wchar_t kRunKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
inline constexpr wchar_t kServiceKey[] = L"System\\CurrentControlSet\\Services\\VLM Service";

// Where this build's installer puts the programs, and where the other architecture's does
// (Program Files (x86) seen from a 64-bit test; empty where there is no other).
std::wstring InstallDir();
std::wstring OtherInstallDir();
bool FileExists(const std::wstring& path);
// Runs a command line to its end (two minutes at most); its exit code, or -1.
long RunToEnd(std::wstring commandLine);
// This build's installer (VelmoraSetup-x86.exe or VelmoraSetup-x64.exe).
std::wstring SetupPath();
// The 32-bit build's installer, seen from the 64-bit build's tests: build/windows/bin beside
// build/windows-x64. Empty unless the test runner says 32-bit programs run here
// (VELMORA_X86_RUNS=1) and the file is there.
std::wstring X86SetupPathIfRunnable();
// An installer (by default this build's) with /S; true when it succeeded.
bool InstallProduct(const std::wstring& setup = SetupPath());
// The installed uninstaller, silently; waits until the installation folder is gone.
bool UninstallProduct();

// view: 0, or KEY_WOW64_32KEY / KEY_WOW64_64KEY for one registry view.
std::wstring ReadText(HKEY root, const wchar_t* key, const wchar_t* name, REGSAM view = 0);  // "<missing>" if absent
DWORD ReadNumber(HKEY root, const wchar_t* key, const wchar_t* name, DWORD missing = 0xDEADBEEF);
void WriteNumber(HKEY root, const wchar_t* key, const wchar_t* name, DWORD value);
void WriteText(HKEY root, const wchar_t* key, const wchar_t* name, const std::wstring& value);

// The service's state (SERVICE_RUNNING, ...), 0 when it is not installed.
DWORD ServiceState();

}  // namespace velmora::testing
