#include "settings/run_at_startup.h"

#include <windows.h>

#include <vector>

#include "settings/app_settings.h"
#include "settings/registry_key.h"
#include "settings/registry_locations.h"
#include "settings/startup_command.h"

namespace velmora {

std::wstring ExecutablePath() {
    // A path cut at MAX_PATH would register some other file: grow the buffer until it fits.
    std::vector<wchar_t> buffer(MAX_PATH);
    for (;;) {
        const DWORD length = ::GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (length == 0) return {};
        if (length < buffer.size()) return std::wstring(buffer.data(), length);
        if (buffer.size() >= 32768) return {};
        buffer.resize(buffer.size() * 2);
    }
}

void SetRunAtStartup(bool enable) {
    const RegistryLocations& where = CurrentRegistryLocations();
    const RegistryKey run = RegistryKey::Create(where.userRoot, where.runKey, KEY_ALL_ACCESS);
    if (enable) {
        const std::wstring path = ExecutablePath();
        if (!path.empty()) run.WriteText(kRunValueName, RunAtStartupCommand(path));
        AppSettings.runAtStartup = 1;
    } else {
        run.DeleteValue(kRunValueName);
        AppSettings.runAtStartup = 0;
    }
}

bool RunAtStartupValuePresent() {
    const RegistryLocations& where = CurrentRegistryLocations();
    LONG opened = ERROR_SUCCESS;
    const RegistryKey run = RegistryKey::Open(where.userRoot, where.runKey, KEY_READ, &opened);
    if (opened == ERROR_FILE_NOT_FOUND) return false;
    return run.QueryValue(kRunValueName) != ERROR_FILE_NOT_FOUND;
}

}  // namespace velmora
