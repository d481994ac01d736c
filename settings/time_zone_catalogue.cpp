#include "settings/time_zone_catalogue.h"

#include <algorithm>
#include <cstring>

#include "settings/registry_check.h"
#include "settings/registry_key.h"
#include "settings/registry_locations.h"
#include "settings/zone_sort_key.h"

namespace velmora {

namespace {

std::vector<TimeZoneEntry> catalogue;

// The "TZI" value's layout (the system's REG_TZI_FORMAT).
struct StoredTzi {
    LONG bias;
    LONG standardBias;
    LONG daylightBias;
    SYSTEMTIME standardDate;
    SYSTEMTIME daylightDate;
};
static_assert(sizeof(StoredTzi) == 44);

// Reads a text value into a fixed array, which stays zero-terminated whatever is stored.
template <std::size_t N>
LONG ReadIntoArray(const RegistryKey& key, const wchar_t* name, wchar_t (&target)[N]) {
    wchar_t buffer[N] = {};
    const LONG status = key.ReadBytes(name, buffer, sizeof buffer);
    if (status == ERROR_SUCCESS) {
        buffer[N - 1] = L'\0';
        std::memcpy(target, buffer, sizeof buffer);
    }
    return status;
}

}  // namespace

const std::vector<TimeZoneEntry>& TimeZoneCatalogue = catalogue;

void BuildTimeZoneCatalogue() {
    if (!catalogue.empty()) return;

    const RegistryLocations& where = CurrentRegistryLocations();
    LONG status = ERROR_SUCCESS;
    const RegistryKey zones = RegistryKey::Open(where.timeZonesRoot, where.timeZonesKey, KEY_READ, &status);
    RegistryCheck(status, 1);
    // Without the key there is nothing to enumerate (and every index would fail alike).
    if (!zones) return;

    int eventBase = 2;
    for (DWORD index = 0;; ++index) {
        TimeZoneEntry entry{};
        const LONG enumerated = zones.EnumSubkey(index, entry.keyName, kZoneNameCapacity);
        if (enumerated == ERROR_NO_MORE_ITEMS) break;
        entry.keyName[kZoneNameCapacity - 1] = L'\0';
        RegistryCheck(enumerated, eventBase);
        // A name too long for the entry is one bad zone; any other failure means the key
        // itself has gone, and going on would repeat the same failure for ever.
        if (enumerated != ERROR_SUCCESS && enumerated != ERROR_MORE_DATA) break;

        const RegistryKey zone = RegistryKey::Open(zones.get(), entry.keyName, KEY_READ, &status);
        RegistryCheck(status, eventBase + 1);
        RegistryCheck(ReadIntoArray(zone, L"Display", entry.displayName), eventBase + 2);
        StoredTzi stored{};
        RegistryCheck(zone.ReadBytes(L"TZI", &stored, sizeof stored), eventBase + 3);
        eventBase += 4;

        entry.tzi.Bias = stored.bias;
        entry.tzi.StandardBias = stored.standardBias;
        entry.tzi.DaylightBias = stored.daylightBias;
        entry.tzi.StandardDate = stored.standardDate;
        entry.tzi.DaylightDate = stored.daylightDate;
        ReadIntoArray(zone, L"Dlt", entry.tzi.DaylightName);
        ReadIntoArray(zone, L"Std", entry.tzi.StandardName);
        catalogue.push_back(entry);
    }

    // Stable, so that zones with the same key (all of UTC+00:00) keep the registry's order.
    std::stable_sort(catalogue.begin(), catalogue.end(), [](const TimeZoneEntry& a, const TimeZoneEntry& b) {
        return ZoneSortKey(a.displayName) < ZoneSortKey(b.displayName);
    });
}

const TimeZoneEntry* FindZoneByKeyName(std::wstring_view keyName) {
    // An empty name is no zone, even if a damaged registry left an entry without one.
    if (keyName.empty()) return nullptr;
    for (const TimeZoneEntry& entry : catalogue)
        if (keyName == entry.keyName) return &entry;
    return nullptr;
}

const TimeZoneEntry* FindZoneByDisplayText(std::wstring_view text) {
    if (catalogue.empty()) return nullptr;
    for (const TimeZoneEntry& entry : catalogue)
        if (std::wstring_view(entry.displayName).find(text) != std::wstring_view::npos) return &entry;
    return &catalogue[catalogue.size() / 2];
}

void ResetTimeZoneCatalogue() {
    catalogue.clear();
}

}  // namespace velmora
