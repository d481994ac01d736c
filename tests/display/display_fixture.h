#pragma once
// In-process clock windows: a real hidden main window (queries answered by a stub), the
// settings in scratch registry keys, fixed clock texts, and helpers to read the canvas.
#include <windows.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "app/hide_main_wnd.h"
#include "display/skin_canvas.h"
#include "tests/settings/scratch_registry.h"
#include "tests/support/message_pump.h"
#include "tests/support/trusted_stand_in.h"

namespace velmora::testing {



struct Argb {
    int a, r, g, b;
};
Argb Split(std::uint32_t pixel);
// An image's pixel as the premultiplied value a surface holds for it.
std::uint32_t PremultipliedPixel(Gdiplus::Bitmap* image, int x, int y);
// Each channel within `tolerance` (GDI+ rounds premultiplication either way).
::testing::AssertionResult PixelNear(std::uint32_t actual, std::uint32_t expected, int tolerance = 2);

struct Rect {
    long left, top, right, bottom;
    bool operator==(const Rect&) const = default;
};
std::ostream& operator<<(std::ostream& out, const Rect& r);
Rect WindowRect(HWND window);
// A child's rectangle in its parent's client coordinates.
Rect ChildRect(HWND parent, int id);

class ClockWindowTest : public ScratchRegistryTest {
protected:
    void SetUp() override;
    void TearDown() override;

    // Creates the view `skin` through the hidden window, as the program does.
    SkinWindow* Show(int skin);
    SkinWindow* Current() const { return hidden->clockWindow(); }
    HWND CurrentHandle() const { return hidden->clockWindow() ? hidden->clockWindow()->m_hWnd : nullptr; }
    // Pumps until the hidden window holds a window of class T (a view switch is posted).
    template <typename T>
    T* WaitForView() {
        T* found = nullptr;
        PumpUntil([&] { return (found = dynamic_cast<T*>(hidden->clockWindow())) != nullptr && found->m_hWnd; });
        return found;
    }
    // Adds world clocks for the given zones (display-text matches), all enabled.
    void AddWorldClocks(std::initializer_list<const wchar_t*> zones);

    TrustThisProcessAsService trustStandIn;
    // Ends the query started last with `measurement`, as its worker would.
    void EndQuery(const SntpMeasurement& measurement);

    std::unique_ptr<Hide_Main_Wnd> hidden;
    std::vector<bool> queriesStarted;  // each query's adjust flag
    std::function<void()> pendingQuery;
    SntpMeasurement nextMeasurement;
};

}  // namespace velmora::testing
