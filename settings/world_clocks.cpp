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

// What the registry holds, as this process last read or wrote it: a save then rewrites only
// the clocks that changed (a list can be thousands long, and each registry call counts).
// Valid only for the key it was taken from, and only while that key's subkeys are exactly
// "1" to "n", each one a clock.
struct StoredClocks {
    bool known = false;
    HKEY root = nullptr;
    std::wstring key;
    std::vector<WorldClock> clocks;
};
StoredClocks stored;

bool SameClock(const WorldClock& a, const WorldClock& b) {
    return a.zone == b.zone && a.enabled == b.enabled && a.name == b.name;
}

void WriteClock(const RegistryLocations& where, std::size_t position, const WorldClock& clock) {
    const RegistryKey subkey =
        RegistryKey::Create(where.userRoot, where.settingsKey + WorldClockSubkeyName(position), KEY_ALL_ACCESS);
    subkey.WriteInt32(kEnabledValue, clock.enabled);
    subkey.WriteText(kZoneValue, clock.zone->keyName);
    subkey.WriteText(kNameValue, clock.name);
}

}  // namespace

void LoadWorldClocks() {
    WorldClockList.clear();
    stored = {};
    const RegistryLocations& where = CurrentRegistryLocations();
    const RegistryKey settings = RegistryKey::Open(where.userRoot, where.settingsKey, KEY_READ);
    if (!settings) return;

    bool canonical = true;
    std::size_t position = 0;
    for (const std::wstring& subkeyName : OrderWorldClockSubkeys(settings.SubkeyNames())) {
        canonical = canonical && subkeyName == WorldClockSubkeyName(++position);
        const RegistryKey subkey = RegistryKey::Open(settings.get(), subkeyName, KEY_READ);
        if (!subkey) {
            canonical = false;
            continue;
        }
        WorldClock clock;
        subkey.ReadInt32(kEnabledValue, clock.enabled);
        subkey.ReadText(kNameValue, kNameCapacity, clock.name);
        std::wstring zoneKeyName;
        subkey.ReadText(kZoneValue, kZoneNameCapacity, zoneKeyName);
        clock.zone = FindZoneByKeyName(zoneKeyName);
        if (clock.zone) WorldClockList.push_back(std::move(clock));
        else canonical = false;  // dropped: the next save renumbers the rest
    }
    if (canonical) stored = {true, where.userRoot, where.settingsKey, WorldClockList};
}

void SaveWorldClocks() {
    const RegistryLocations& where = CurrentRegistryLocations();
    std::vector<WorldClock> clocks;
    clocks.reserve(WorldClockList.size());
    for (const WorldClock& clock : WorldClockList)
        if (clock.zone) clocks.push_back(clock);  // not a clock without one (no catalogue to pick from)

    if (stored.known && stored.root == where.userRoot && stored.key == where.settingsKey) {
        // Only what changed; what is past the new end goes.
        for (std::size_t i = 0; i < clocks.size(); ++i)
            if (i >= stored.clocks.size() || !SameClock(clocks[i], stored.clocks[i])) WriteClock(where, i + 1, clocks[i]);
        const RegistryKey settings = RegistryKey::Open(where.userRoot, where.settingsKey, KEY_ALL_ACCESS);
        for (std::size_t i = clocks.size(); i < stored.clocks.size(); ++i)
            settings.DeleteSubkeyTree(WorldClockSubkeyName(i + 1));
    } else {
        {
            const RegistryKey settings = RegistryKey::Open(where.userRoot, where.settingsKey, KEY_ALL_ACCESS);
            // Names first, deletions after, so that deleting does not shift the enumeration.
            for (const std::wstring& subkeyName : settings.SubkeyNames()) settings.DeleteSubkeyTree(subkeyName);
        }
        for (std::size_t i = 0; i < clocks.size(); ++i) WriteClock(where, i + 1, clocks[i]);
    }
    stored = {true, where.userRoot, where.settingsKey, std::move(clocks)};
}

void ForgetStoredWorldClocks() { stored = {}; }

int CountEnabledWorldClocks() {
    int count = 0;
    for (const WorldClock& clock : WorldClockList)
        if (clock.enabled != 0) ++count;
    return count;
}

}  // namespace velmora
