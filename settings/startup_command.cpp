#include "settings/startup_command.h"

namespace velmora {

std::wstring RunAtStartupCommand(std::wstring_view executablePath) {
    std::wstring command;
    command.reserve(executablePath.size() + 2 + std::size(kStartupSwitch));
    command += L'"';
    command += executablePath;
    command += L'"';
    command += kStartupSwitch;
    return command;
}

}  // namespace velmora
