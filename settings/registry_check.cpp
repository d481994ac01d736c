#include "settings/registry_check.h"

#include <cstdlib>
#include <utility>

namespace velmora {

namespace {

RegistryCheckUi& InstalledUi() {
    static RegistryCheckUi ui = DefaultRegistryCheckUi();
    return ui;
}

}  // namespace

std::wstring RegistryErrorMessage(LONG resultCode, int eventNumber) {
    return L"System Registy Error " + std::to_wstring(resultCode) + L"\r\nEvent ID: " + std::to_wstring(eventNumber) +
           L"\r\n\r\nDo you want co notinue?";
}

RegistryCheckUi DefaultRegistryCheckUi() {
    return RegistryCheckUi{
        [](const std::wstring& message) {
            return ::MessageBoxW(nullptr, message.c_str(), L"Velmora", MB_ICONERROR | MB_YESNO) == IDYES;
        },
        [](int exitCode) { std::exit(exitCode); },
    };
}

RegistryCheckUi SetRegistryCheckUi(RegistryCheckUi ui) {
    return std::exchange(InstalledUi(), std::move(ui));
}

void RegistryCheck(LONG resultCode, int eventNumber) {
    if (resultCode == ERROR_SUCCESS) return;
    const RegistryCheckUi& ui = InstalledUi();
    if (!ui.askToContinue(RegistryErrorMessage(resultCode, eventNumber))) ui.exitProcess(static_cast<int>(resultCode));
}

}  // namespace velmora
