#pragma once
// The command line that the Run key starts the program with. No Windows here.
#include <string>
#include <string_view>

namespace velmora {

// The switch by which the program knows that Windows started it.
inline constexpr wchar_t kStartupSwitch[] = L" -startup";

// "<path>" -startup. The quotation marks matter: an unquoted path with spaces would let
// Windows try "C:\Program.exe" first at every logon.
std::wstring RunAtStartupCommand(std::wstring_view executablePath);

}  // namespace velmora
