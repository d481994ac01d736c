#pragma once
// The Run-key value "Velmora" that starts the program at logon.

#include <string>

namespace velmora {

// True writes "<this program's path>" -startup, false deletes the value; either way
// `runAtStartup` of AppSettings follows (failures are ignored).
void SetRunAtStartup(bool enable);

// Whether the value exists. Only a value (or Run key) that is not there counts as absent; a
// value that cannot be read for another reason counts as present.
bool RunAtStartupValuePresent();

// This program's full path, however long.
std::wstring ExecutablePath();

}  // namespace velmora
