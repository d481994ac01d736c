#include "settings/dialog_font.h"

#include "framework/unique_handle.h"

namespace velmora {

HFONT DialogFont() {
    static const UniqueFont font = [] {
        LOGFONTW logFont{};
        if (!::SystemParametersInfoW(SPI_GETICONTITLELOGFONT, sizeof logFont, &logFont, 0)) return UniqueFont();
        return UniqueFont(::CreateFontIndirectW(&logFont));
    }();
    return font.get();
}

}  // namespace velmora
