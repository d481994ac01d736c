#pragma once
// Waits for the program's end or for an outside party's close signal.
#include <windows.h>

namespace velmora {

inline constexpr wchar_t kPrivateCloseEventName[] = L"VLMcloseEvent";
inline constexpr wchar_t kGlobalCloseEventName[] = L"Global\\VLMcloseEvent";
// Guests and anonymous logons denied; authenticated users may read, write and wait;
// administrators have full access.
inline constexpr wchar_t kCloseEventSecurity[] =
    L"D:(D;OICI;GA;;;BG)(D;OICI;GA;;;AN)(A;OICI;GRGWGX;;;AU)(A;OICI;GA;;;BA)";

// Thread routine: returns when `privateEvent` or Global\VLMcloseEvent is signalled; on the
// global one it has the hidden main window destroyed (no save). Takes nothing it must free.
void CloseWatcher(HANDLE privateEvent);

}  // namespace velmora
