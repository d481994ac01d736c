#pragma once
// The one place where registry failures reach the user: reading the time-zone catalogue.
#include <windows.h>

#include <functional>
#include <string>

namespace velmora {

// "System Registy Error <code>\r\nEvent ID: <event>\r\n\r\nDo you want co notinue?"
std::wstring RegistryErrorMessage(LONG resultCode, int eventNumber);

// Does nothing for ERROR_SUCCESS. Otherwise asks the user whether to continue; No ends the
// process with the result code as its exit code (static clean-up runs).
void RegistryCheck(LONG resultCode, int eventNumber);

// How RegistryCheck asks and how it ends the program. The defaults are a Yes/No message box
// and std::exit; tests install recorders instead.
struct RegistryCheckUi {
    std::function<bool(const std::wstring& message)> askToContinue;
    std::function<void(int exitCode)> exitProcess;
};
RegistryCheckUi DefaultRegistryCheckUi();
// Replaces the seam; returns the previous one.
RegistryCheckUi SetRegistryCheckUi(RegistryCheckUi ui);

}  // namespace velmora
