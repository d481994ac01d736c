#include "display/smal_main.h"

#include "display/clock_text.h"
#include "display/skin_canvas.h"
#include "resources/resource_ids.h"
#include "settings/app_settings.h"
#include "settings/settings_store.h"

namespace velmora {

bool menuOpen = true;

namespace {

constexpr int kMenuHeight = 96;
constexpr int kMenuShadowTop = 83;  // the shadow line sits under the open menu
constexpr Gdiplus::ARGB kMenuColour = 0xFEEDEDED;
// The band that the local time and date are drawn in, repainted each second.
constexpr struct {
    int x, y, width, height;
} kTimeBand{7, 1, 154, 34};

}  // namespace

const MessageMap& smal_main::Map() {
    static constexpr MessageMapEntry entries[] = {
        OnCommand<&smal_main::OnOptions>(IDC_COMPACT_OPTIONS),
        OnCommand<&smal_main::OnSynchronizeNow>(IDC_SYNCHRONIZE_NOW),
        OnCommand<&smal_main::OnExtendedMode>(IDC_EXTENDED_MODE),
        OnCommand<&smal_main::OnMinimize>(IDC_MINIMIZE),
        OnMessage<&smal_main::OnActivate>(WM_ACTIVATE),
        OnMessage<&smal_main::OnCompactLButtonDown>(WM_LBUTTONDOWN),
    };
    static const MessageMap map{&SkinWindow::Map(), entries};
    return map;
}

smal_main::smal_main(ViewHost* host) : SkinWindow(host) {
    options_.SetLogicalPlace(162, 0);
    synchronizeNow_.SetLogicalPlace(6, 36, 191, 28);
    extendedMode_.SetLogicalPlace(6, 63, 191, 28);
    minimize_.SetLogicalPlace(6, 91, 191, 28);
}

bool smal_main::CreateView() { return Create(IDD_COMPACT_CLOCK); }

BOOL smal_main::OnInitDialog() {
    options_.SubclassDlgItem(IDC_COMPACT_OPTIONS, *this);
    synchronizeNow_.SubclassDlgItem(IDC_SYNCHRONIZE_NOW, *this);
    extendedMode_.SubclassDlgItem(IDC_EXTENDED_MODE, *this);
    minimize_.SubclassDlgItem(IDC_MINIMIZE, *this);
    MakeToolWindow();

    Canvas.Initialize();
    Gdiplus::Bitmap* panel = Canvas.LoadPngImage(IDB_COMPACT_PANEL);
    Canvas.overlayImage = Canvas.LoadPngImage(IDB_COMPACT_SHADOW);
    Canvas.backgroundImage = panel;
    if (!Canvas.menuBrush) Canvas.menuBrush = std::make_unique<Gdiplus::SolidBrush>(Gdiplus::Color(kMenuColour));
    Canvas.CreateSurface(static_cast<int>(panel->GetWidth()), static_cast<int>(panel->GetHeight()) + kMenuHeight);
    DrawCompact(false);
    PlaceWindow();
    return TRUE;
}

void smal_main::DrawTime() {
    texts_.Draw({LocalTimeText, LocalDateText});
    Canvas.Present(m_hWnd);
}

void smal_main::DrawCompact(bool closeOnly) {
    if (closeOnly && !menuOpen) return;
    menuOpen = !menuOpen;
    CustomButton* const items[] = {&synchronizeNow_, &extendedMode_, &minimize_};
    if (!menuOpen && ::GetActiveWindow() == m_hWnd) {
        // The focus goes to "Opt." first: a hidden item would hand it on to the next visible
        // one, which would draw itself as it took it.
        const HWND focus = ::GetFocus();
        for (CustomButton* item : items)
            if (item->m_hWnd == focus) SendMessage(WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(options_.m_hWnd), TRUE);
    }
    // Shown or hidden before anything is drawn: whatever the items draw while that happens
    // is painted over below.
    for (CustomButton* item : items) item->ShowWindow(menuOpen ? SW_SHOW : SW_HIDE);
    // Cleared to transparent, not filled: the rows outside the strip and the menu must stay
    // invisible on the desktop.
    Canvas.ClearSurface();
    Canvas.DrawImage(Canvas.backgroundImage, 0, 0);
    if (texts_.Captured()) {
        texts_.Invalidate();
    } else {
        Canvas.RestoreRegion(kTimeBand.x, kTimeBand.y, kTimeBand.width, kTimeBand.height);
        texts_.Capture(kTimeBand.x, kTimeBand.y, kTimeBand.width, kTimeBand.height,
                       {{26, 85, 12, true, true}, {12, 85, 28, false, false}});
    }
    DrawTime();
    Canvas.DrawImage(Canvas.overlayImage, 0, menuOpen ? kMenuShadowTop : 0);
    // At a scale where the band's last row is shared with the shadow line, that row now has
    // the shadow twice: the next time is drawn over the whole band again, as it always was.
    texts_.Invalidate();
    options_.latched = menuOpen;
    options_.DrawItem(nullptr);
    // Drawn now rather than left to the system's next paint: the surface presented below is
    // then complete.
    if (menuOpen)
        for (CustomButton* item : items) item->DrawItem(nullptr);
    Canvas.Present(m_hWnd);
}

void smal_main::OnOptions() { DrawCompact(false); }

void smal_main::OnSynchronizeNow() {
    DrawCompact(false);
    if (ViewHost* host = Host()) host->SendOffsetToService();
}

void smal_main::OnExtendedMode() {
    DrawCompact(false);
    NextView(m_hWnd);
    if (AppSettings.skin != kFullView) NextView(m_hWnd);
    PostMessage(ShowClockWindowMessage);
}

void smal_main::OnMinimize() { CloseToTray(); }

bool smal_main::OnActivate(Message&) {
    DrawCompact(true);
    return false;  // and the default processing (focus)
}

bool smal_main::OnCompactLButtonDown(Message& message) {
    DrawCompact(true);
    BeginDrag(message.lParam);
    return true;
}

}  // namespace velmora
