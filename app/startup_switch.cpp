#include "app/startup_switch.h"

namespace velmora {

bool ContainsStartupSwitch(std::wstring_view commandLine) { return commandLine.find(kStartupSwitch) != std::wstring_view::npos; }

}  // namespace velmora
