#pragma once
// The one way the programs report a failure that the user does not see: a line to the
// debugger output, "Velmora: <what>", with the system's own text for an error code.
#include <windows.h>

#include <string>
#include <string_view>

namespace velmora {

void Trace(std::wstring_view what);
// "Velmora: <what> failed: <the system's message> (error <code>)". Takes the error before
// anything else can change it.
void TraceError(std::wstring_view what, DWORD error);
inline void TraceLastError(std::wstring_view what) { TraceError(what, ::GetLastError()); }

// The system's message for an error code, without the trailing line break; empty when the
// system has none.
std::wstring SystemErrorText(DWORD error);

}  // namespace velmora
