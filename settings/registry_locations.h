#pragma once
// Where the desktop program keeps its settings and finds the system's time zones. Tests move
// these to scratch keys; the program always uses the defaults.
#include <windows.h>

#include <string>

namespace velmora {

struct RegistryLocations {
    HKEY userRoot = HKEY_CURRENT_USER;
    // With the trailing backslash, so that a world clock's subkey is this plus its number.
    std::wstring settingsKey = L"Software\\Brantel\\Velmora\\";
    std::wstring runKey = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run\\";
    HKEY timeZonesRoot = HKEY_LOCAL_MACHINE;
    std::wstring timeZonesKey = L"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Time Zones";
};

// The Run value's name.
inline constexpr wchar_t kRunValueName[] = L"Velmora";

const RegistryLocations& CurrentRegistryLocations();
// Replaces the locations; returns the previous ones.
RegistryLocations SetRegistryLocations(RegistryLocations locations);

}  // namespace velmora
