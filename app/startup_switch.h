#pragma once
// " -startup" on the command line marks a start by Windows at logon. No Windows here.
#include <string_view>

namespace velmora {

inline constexpr wchar_t kStartupSwitch[] = L" -startup";

// Case-sensitive, anywhere in the command line, with the blank before it.
bool ContainsStartupSwitch(std::wstring_view commandLine);

}  // namespace velmora
