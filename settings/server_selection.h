#pragma once
// Which time server a synchronisation asks: the built-in list and the host and service
// derived from the settings. No Windows here.
#include <string>
#include <vector>

#include "settings/app_settings.h"

namespace velmora {

// The built-in servers, in the order the settings dialog lists them (`selectedServerId`).
inline constexpr const wchar_t* kBuiltInServers[] = {
    L"time.google.com",  // Google's public time service
    L"time.nist.gov",    // NIST Internet Time Service
    L"pool.ntp.org",     // a privately operated server
};

// Filled with kBuiltInServers by LoadSettings.
extern std::vector<std::wstring> ServerList;

// The built-in host for `selectedServerId`; an index outside the list (a hand-edited value,
// or -1 stored by a dialog that had no selection) falls back to the first entry.
std::wstring BuiltInHostFor(int selectedServerId, const std::vector<std::wstring>& serverList);

// Node and service names for the resolver: a built-in host with "ntp", or the custom
// address with the custom port in decimal.
std::wstring SyncHostFor(const SettingsRecord& settings, const std::vector<std::wstring>& serverList);
std::wstring SyncServiceFor(const SettingsRecord& settings);

// Recomputes the query target from AppSettings and ServerList.
void SelectServer();

// Copies of the current target, taken under a lock: a save on the user-interface thread
// may replace them while a query is being started elsewhere.
std::wstring SyncHost();
std::wstring SyncService();
struct SyncTargetNames {
    std::wstring host;
    std::wstring service;
};
SyncTargetNames CurrentSyncTargetNames();

// Back to the state before LoadSettings (NIST host, "ntp"), for tests.
void ResetSyncTarget();

}  // namespace velmora
