#include "settings/server_selection.h"

#include <mutex>

namespace velmora {

std::vector<std::wstring> ServerList;

namespace {

constexpr wchar_t kBuiltInService[] = L"ntp";

std::mutex targetMutex;
// Before the settings are loaded the program would ask NIST.
SyncTargetNames currentTarget{kBuiltInServers[1], kBuiltInService};

}  // namespace

std::wstring BuiltInHostFor(int selectedServerId, const std::vector<std::wstring>& serverList) {
    if (serverList.empty()) return {};
    if (selectedServerId < 0 || static_cast<std::size_t>(selectedServerId) >= serverList.size())
        return serverList.front();
    return serverList[static_cast<std::size_t>(selectedServerId)];
}

std::wstring SyncHostFor(const SettingsRecord& settings, const std::vector<std::wstring>& serverList) {
    if (settings.useBuiltInServer != 0) return BuiltInHostFor(settings.selectedServerId, serverList);
    return settings.customServerAddress;
}

std::wstring SyncServiceFor(const SettingsRecord& settings) {
    if (settings.useBuiltInServer != 0) return kBuiltInService;
    return std::to_wstring(settings.customServerPort);
}

void SelectServer() {
    SyncTargetNames target{SyncHostFor(AppSettings, ServerList), SyncServiceFor(AppSettings)};
    std::lock_guard lock(targetMutex);
    currentTarget = std::move(target);
}

std::wstring SyncHost() {
    std::lock_guard lock(targetMutex);
    return currentTarget.host;
}

std::wstring SyncService() {
    std::lock_guard lock(targetMutex);
    return currentTarget.service;
}

SyncTargetNames CurrentSyncTargetNames() {
    std::lock_guard lock(targetMutex);
    return currentTarget;
}

void ResetSyncTarget() {
    std::lock_guard lock(targetMutex);
    currentTarget = {kBuiltInServers[1], kBuiltInService};
}

}  // namespace velmora
