#pragma once
// The service's names and the texts it prints or registers, kept in one place.

namespace velmora {

inline constexpr wchar_t kServiceName[] = L"VLM Service";
inline constexpr wchar_t kEventSourceName[] = L"VLM Service";
inline constexpr wchar_t kServiceDescription[] =
    L"Services time synchronization. Velmora uses National Institute of Standards and Technology "
    L"Atomic Clock servers to synchronize your computer with most accurate clock on the planet.";

// Denies guests and anonymous logons, lets every authenticated user send offsets.
inline constexpr wchar_t kPipeSecurity[] =
    L"D:(D;OICI;GA;;;BG)(D;OICI;GA;;;AN)(A;OICI;GRGWGX;;;AU)(A;OICI;GA;;;BA)";

// Command-line outcomes; %d is the last-error code.
inline constexpr char kCannotInstall[] = "Cannot install service (%d)\n";
inline constexpr char kOpenScManagerFailed[] = "OpenSCManager failed (%d)\n";
inline constexpr char kCreateServiceFailed[] = "CreateService failed (%d)\n";
inline constexpr char kInstalled[] = "Service installed successfully\n";
inline constexpr char kOpenServiceFailed[] = "OpenService failed (%d)\n";
inline constexpr char kQueryStatusFailed[] = "QueryServiceStatus failed (%d)\n";
inline constexpr char kUninstalled[] = "The service uninstalled successfully(%d)\n";
inline constexpr char kDeleteServiceFailed[] = "DeleteService failed (%d)\n";

// Operations named in error events.
inline constexpr wchar_t kDispatcherOperation[] = L"StartServiceCtrlDispatcher";
inline constexpr wchar_t kRegisterHandlerOperation[] = L"RegisterServiceCtrlHandler";
inline constexpr wchar_t kSetClockOperation[] = L"SetSystemTime";

// Test and diagnosis switches, under the service's own key where only administrators may
// write: when "Clock Record File" (REG_SZ) names a file, the service records each clock change
// it would make there instead of setting the clock. "Clock Record Tick" (REG_DWORD, 100 ns
// units, 0 or missing for none) then makes that clock's reads advance in steps, as Windows'
// ordinary clock reads do (156250: its 15.625 ms tick). Both are read when the service starts.
inline constexpr wchar_t kServiceParametersKey[] = L"System\\CurrentControlSet\\Services\\VLM Service\\Parameters";
inline constexpr wchar_t kClockRecordValue[] = L"Clock Record File";
inline constexpr wchar_t kClockRecordTickValue[] = L"Clock Record Tick";

}  // namespace velmora
