#include "settings/settings_store.h"

#include "settings/app_settings.h"
#include "settings/dialog_font.h"
#include "settings/next_view.h"
#include "settings/registry_key.h"
#include "settings/registry_locations.h"
#include "settings/run_at_startup.h"
#include "settings/server_selection.h"
#include "settings/time_format_pattern.h"
#include "settings/time_zone_catalogue.h"
#include "settings/world_clocks.h"

namespace velmora {

namespace {

constexpr std::size_t kCustomAddressCapacity = 255;  // characters, terminator included

// A first run's default clocks exist only in memory until a save stores them; the exit-time
// save does, so they are not lost when the user never opens the settings.
bool defaultClocksUnsaved = false;

void AddDefaultWorldClock(const wchar_t* name, std::wstring_view zoneText) {
    // With an empty catalogue there is no zone to give the clock: it is left out.
    if (const TimeZoneEntry* zone = FindZoneByDisplayText(zoneText))
        WorldClockList.push_back(WorldClock{zone, 1, name});
}

}  // namespace

void LoadSettings() {
    using namespace settings_value;
    BuildTimeZoneCatalogue();
    DialogFont();
    ServerList.assign(std::begin(kBuiltInServers), std::end(kBuiltInServers));

    const RegistryLocations& where = CurrentRegistryLocations();
    {
        const RegistryKey key = RegistryKey::Open(where.userRoot, where.settingsKey, KEY_READ);
        SettingsRecord& s = AppSettings;
        // Numbers are read whatever type is stored; an unreadable value keeps its default.
        key.ReadInt32(kDisplayTrayMessage, s.displayTrayMessage);
        key.ReadInt32(kToolTip, s.showToolTips);
        key.ReadInt32(kMinimized, s.minimized);
        key.ReadInt32(kSkin, s.skin);
        key.ReadInt32(kLeft, s.left);
        key.ReadInt32(kTop, s.top);
        key.ReadInt32(kUseBuiltInServer, s.useBuiltInServer);
        key.ReadInt32(kSelectedServerId, s.selectedServerId);
        key.ReadInt32(kCustomServerPort, s.customServerPort);
        // An address too long for the buffer is not taken in part: it loads as empty.
        std::wstring address;
        key.ReadText(kCustomServerAddress, kCustomAddressCapacity, address);
        s.customServerAddress = std::move(address);
        key.ReadInt32(kSyncAtStart, s.syncAtStart);
        key.ReadInt32(kSyncAutomatically, s.syncAutomatically);
        key.ReadInt32(kSyncEveryMinutes, s.syncEveryMinutes);
        key.ReadInt32(kTimeFormat, s.timeFormat);
        s.runAtStartup = RunAtStartupValuePresent() ? 1 : 0;

        // Every save writes "Display Tray Message": without it nothing was ever saved.
        const bool firstRun = !key || key.QueryValue(kDisplayTrayMessage) == ERROR_FILE_NOT_FOUND;
        // Clocks stored without the rest of the settings (an imported file) are the user's:
        // only a key without any gets the default ones.
        LoadWorldClocks();
        if (firstRun) {
            if (WorldClockList.empty()) {
                AddDefaultWorldClock(L"London", L"London");
                AddDefaultWorldClock(L"New York", L"Eastern Time");
                defaultClocksUnsaved = true;
            }
            SetRunAtStartup(true);
        }
    }
    TimeFormatPattern = TimeFormatPatternFor(AppSettings.timeFormat);
    SelectServer();
}

void SaveSettings(bool exitOnly) {
    using namespace settings_value;
    const RegistryLocations& where = CurrentRegistryLocations();
    const RegistryKey key = RegistryKey::Create(where.userRoot, where.settingsKey, KEY_ALL_ACCESS);
    const SettingsRecord& s = AppSettings;
    key.WriteInt32(kDisplayTrayMessage, s.displayTrayMessage);
    key.WriteInt32(kMinimized, s.minimized);
    SetRunAtStartup(s.runAtStartup != 0);
    if (exitOnly && !defaultClocksUnsaved) return;
    SaveWorldClocks();
    defaultClocksUnsaved = false;
    if (exitOnly) return;

    TimeFormatPattern = TimeFormatPatternFor(s.timeFormat);
    SelectServer();
    key.WriteInt32(kUseBuiltInServer, s.useBuiltInServer);
    key.WriteInt32(kSelectedServerId, s.selectedServerId);
    key.WriteText(kCustomServerAddress, s.customServerAddress);
    key.WriteInt32(kCustomServerPort, s.customServerPort);
    key.WriteInt32(kSyncAtStart, s.syncAtStart);
    key.WriteInt32(kSyncAutomatically, s.syncAutomatically);
    key.WriteInt32(kSyncEveryMinutes, s.syncEveryMinutes);
    key.WriteInt32(kTimeFormat, s.timeFormat);
}

void SaveWindowPlacement(HWND window, int shift) {
    using namespace settings_value;
    if (!window || !::IsWindow(window)) return;
    RECT rect{};
    if (!::GetWindowRect(window, &rect)) return;
    AppSettings.left = rect.left;
    AppSettings.top = rect.top + shift;

    const RegistryLocations& where = CurrentRegistryLocations();
    const RegistryKey key = RegistryKey::Create(where.userRoot, where.settingsKey, KEY_ALL_ACCESS);
    key.WriteInt32(kLeft, AppSettings.left);
    key.WriteInt32(kTop, AppSettings.top);
    key.WriteInt32(kSkin, AppSettings.skin);
    key.WriteInt32(kToolTip, AppSettings.showToolTips);
}

void NextView(HWND window) {
    const ViewStep step = NextViewStep(AppSettings.skin, CountEnabledWorldClocks() > 0);
    AppSettings.skin = step.skin;
    SaveWindowPlacement(window, step.shift);
}

void ResetSettingsStore() {
    AppSettings = SettingsRecord{};
    ServerList.clear();
    WorldClockList.clear();
    ForgetStoredWorldClocks();
    defaultClocksUnsaved = false;
    ResetTimeZoneCatalogue();
    TimeFormatPattern = nullptr;
    ResetSyncTarget();
}

}  // namespace velmora
