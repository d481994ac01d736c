#include "settings_dialog/screen_scale.h"

#include <windows.h>

namespace velmora {

double ScreenDisplayScale() {
    static const double scale = [] {
        const HDC screen = ::GetDC(nullptr);
        const int dpi = screen ? ::GetDeviceCaps(screen, LOGPIXELSX) : 96;
        if (screen) ::ReleaseDC(nullptr, screen);
        return (dpi > 0 ? dpi : 96) / 96.0;
    }();
    return scale;
}

}  // namespace velmora
