#pragma once
// The user's world clocks and their place in the registry: one numbered subkey per clock
// under the settings key, holding "enabled", "zone" and "name".
#include <cstdint>
#include <string>
#include <vector>

#include "settings/time_zone_catalogue.h"

namespace velmora {

struct WorldClock {
    const TimeZoneEntry* zone = nullptr;  // an entry of TimeZoneCatalogue; never null in the list
    std::int32_t enabled = 1;             // non-zero: the world-clock window shows it
    std::wstring name;                    // the user's label; may be empty
};

// The process-wide list, in the user's order.
extern std::vector<WorldClock> WorldClockList;

// Replaces WorldClockList with the stored clocks, in the order they were saved. Clocks whose
// zone is missing or not in the catalogue are dropped.
void LoadWorldClocks();

// Replaces the stored clocks with WorldClockList, as subkeys "1" to "n". After a load or a
// save in this process, only the clocks that differ from what the key holds are written.
void SaveWorldClocks();
// Assume nothing about what the key holds: the next save rewrites it whole (tests, and
// whoever changes the key behind the store's back).
void ForgetStoredWorldClocks();

// Clocks with a non-zero `enabled`.
int CountEnabledWorldClocks();

}  // namespace velmora
