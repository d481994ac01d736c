#pragma once
// Error events of the service, under the source "VLM Service".
#include <windows.h>

#include <cstdint>
#include <string>

namespace velmora {

// One error event with the insertion strings "VLM Service" and `operation`. Silent when
// the event source cannot be registered: there is nowhere else to report to.
void LogServiceError(const wchar_t* operation);

// The same with a third string that gives the error code and how many failures before it
// got no event of their own, e.g. "error 1314; 41 earlier failures not logged".
void LogServiceError(const wchar_t* operation, DWORD error, std::uint64_t notLogged);
std::wstring FailureDetails(DWORD error, std::uint64_t notLogged);

}  // namespace velmora
