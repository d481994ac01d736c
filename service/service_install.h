#pragma once
// The "install" and "uninstall" commands; both print their outcome on standard output.

namespace velmora {

// Registers "VLM Service" to start automatically as LocalSystem, with its description.
void InstallService();

// Removes the service, but only while it is stopped.
void UninstallService();

}  // namespace velmora
