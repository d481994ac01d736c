// Service.exe: installs itself, removes itself, or runs as the time-setting service.
#include "service/service_host.h"

int wmain(int argc, wchar_t** argv) {
    try {
        return velmora::RunServiceProgram(argc, argv);
    } catch (...) {
        return 0;
    }
}
