#pragma once
// The system's time zones, read once from the registry and sorted by UTC offset.
#include <windows.h>

#include <string_view>
#include <vector>

namespace velmora {

inline constexpr std::size_t kZoneNameCapacity = 100;  // characters, terminator included

struct TimeZoneEntry {
    TIME_ZONE_INFORMATION tzi;              // as GetTimeZoneInformation would report the zone
    wchar_t keyName[kZoneNameCapacity];     // subkey name: what world clocks store
    wchar_t displayName[kZoneNameCapacity]; // "(UTC-05:00) Eastern Time (US & Canada)"
};

// Filled once by BuildTimeZoneCatalogue and never changed afterwards, so references to its
// entries stay valid for the whole run.
extern const std::vector<TimeZoneEntry>& TimeZoneCatalogue;

// Reads the Time Zones key (RegistryCheck reports failures) and sorts by ZoneSortKey.
// Does nothing when the catalogue already has entries.
void BuildTimeZoneCatalogue();

// The first entry whose key name is exactly `keyName` (case-sensitive), or null.
const TimeZoneEntry* FindZoneByKeyName(std::wstring_view keyName);

// The first entry whose display text contains `text`, else the middle entry of the sorted
// catalogue; null only when the catalogue is empty.
const TimeZoneEntry* FindZoneByDisplayText(std::wstring_view text);

// Empties the catalogue, for tests. Anything that refers to its entries (the world-clock
// list) must be emptied first.
void ResetTimeZoneCatalogue();

}  // namespace velmora
