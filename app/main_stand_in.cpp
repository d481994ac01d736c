// Velmora.exe. Until the application shell exists this runs one synchronisation against the
// default server and shows the result.
#include <windows.h>

#include <string>

#include "sync/sntp_query.h"
#include "sync/sync_state.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    using namespace velmora;
    const SntpTarget target{L"time.google.com", L"ntp"};
    BeginSntpQuery(false);
    CompleteSntpQuery(QuerySntpServer(target, DefaultSntpQueryOptions()), false);
    ::MessageBoxW(nullptr, StatusText.c_str(), L"Velmora", MB_OK | MB_ICONINFORMATION);
    return 0;
}
