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

std::wstring InstallDir();
bool FileExists(const std::wstring& path);
// Runs a command line to its end (two minutes at most); its exit code, or -1.
long RunToEnd(std::wstring commandLine);
// VelmoraSetup.exe /S from the build; true when it succeeded.
bool InstallProduct();
// The installed uninstaller, silently; waits until the installation folder is gone.
bool UninstallProduct();

std::wstring ReadText(HKEY root, const wchar_t* key, const wchar_t* name);  // "<missing>" if absent
DWORD ReadNumber(HKEY root, const wchar_t* key, const wchar_t* name, DWORD missing = 0xDEADBEEF);
void WriteNumber(HKEY root, const wchar_t* key, const wchar_t* name, DWORD value);
void WriteText(HKEY root, const wchar_t* key, const wchar_t* name, const std::wstring& value);

// The service's state (SERVICE_RUNNING, ...), 0 when it is not installed.
DWORD ServiceState();

}  // namespace velmora::testing
