#include "settings/world_clocks.h"

#include "settings/registry_key.h"
#include "settings/registry_locations.h"
#include "settings/world_clock_order.h"

namespace velmora {

std::vector<WorldClock> WorldClockList;

namespace {

constexpr wchar_t kEnabledValue[] = L"enabled";
constexpr wchar_t kZoneValue[] = L"zone";
constexpr wchar_t kNameValue[] = L"name";
constexpr std::size_t kNameCapacity = 260;  // characters, terminator included

}  // namespace

void LoadWorldClocks() {
    WorldClockList.clear();
    const RegistryLocations& where = CurrentRegistryLocations();
    const RegistryKey settings = RegistryKey::Open(where.userRoot, where.settingsKey, KEY_READ);
    if (!settings) return;

    for (const std::wstring& subkeyName : OrderWorldClockSubkeys(settings.SubkeyNames())) {
        const RegistryKey subkey = RegistryKey::Open(settings.get(), subkeyName, KEY_READ);
        if (!subkey) continue;
        WorldClock clock;
        subkey.ReadInt32(kEnabledValue, clock.enabled);
        subkey.ReadText(kNameValue, kNameCapacity, clock.name);
        std::wstring zoneKeyName;
        subkey.ReadText(kZoneValue, kZoneNameCapacity, zoneKeyName);
        clock.zone = FindZoneByKeyName(zoneKeyName);
        if (clock.zone) WorldClockList.push_back(std::move(clock));
    }
}

void SaveWorldClocks() {
    const RegistryLocations& where = CurrentRegistryLocations();
    {
        const RegistryKey settings = RegistryKey::Open(where.userRoot, where.settingsKey, KEY_ALL_ACCESS);
        // Names first, deletions after, so that deleting does not shift the enumeration.
        for (const std::wstring& subkeyName : settings.SubkeyNames()) settings.DeleteSubkeyTree(subkeyName);
    }
    std::size_t position = 0;
    for (const WorldClock& clock : WorldClockList) {
        if (!clock.zone) continue;  // not a clock (no catalogue to pick a zone from)
        const RegistryKey subkey =
            RegistryKey::Create(where.userRoot, where.settingsKey + WorldClockSubkeyName(++position), KEY_ALL_ACCESS);
        subkey.WriteInt32(kEnabledValue, clock.enabled);
        subkey.WriteText(kZoneValue, clock.zone->keyName);
        subkey.WriteText(kNameValue, clock.name);
    }
}

int CountEnabledWorldClocks() {
    int count = 0;
    for (const WorldClock& clock : WorldClockList)
        if (clock.enabled != 0) ++count;
    return count;
}

}  // namespace velmora
