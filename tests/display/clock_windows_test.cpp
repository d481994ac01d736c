// The three clock windows, driven with messages as the system would drive them.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>

#include "display/main_skin_dialog.h"
#include "display/skin3.h"
#include "display/skin_geometry.h"
#include "display/smal_main.h"
#include "resources/resource_ids.h"
#include "settings/app_settings.h"
#include "settings/world_clocks.h"
#include "tests/display/display_fixture.h"
#include "tests/support/pipe_stand_in.h"

namespace velmora {
namespace {

using testing::ChildRect;
using testing::ClockWindowTest;
using testing::PipeStandIn;
using testing::PixelNear;
using testing::PremultipliedPixel;
using testing::PumpPending;
using testing::PumpUntil;
using testing::Rect;
using testing::Split;
using testing::WindowRect;

Rect Size(long width, long height) { return {0, 0, width, height}; }
Rect SizeOf(const Rect& r) { return {0, 0, r.right - r.left, r.bottom - r.top}; }

void Click(HWND dialog, int id) { ::SendMessageW(::GetDlgItem(dialog, id), BM_CLICK, 0, 0); }

// ---------------------------------------------------------------------------------------
// The full window

using FullWindowTest = ClockWindowTest;

TEST_F(FullWindowTest, TheFaceAndItsButtonsArePlacedInLogicalUnits) {
    const HWND window = Show(kFullView)->m_hWnd;
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(SizeOf(WindowRect(window)), Size(258, 321));
    EXPECT_EQ(Canvas.pixelWidth, 258);
    EXPECT_EQ(Canvas.pixelHeight, 321);
    struct Button {
        int id;
        Rect expected;
    } const buttons[] = {
        {IDC_ADJUST, {11, 211, 121, 244}},  {IDC_OPTIONS, {138, 211, 248, 244}},
        {IDC_GET, {77, 252, 187, 285}},     {IDC_MINIMISE_VIEW, {215, 0, 232, 18}},
        {IDC_CLOSE_TO_TRAY, {240, 0, 257, 18}},
    };
    for (const Button& b : buttons) EXPECT_EQ(ChildRect(window, b.id), b.expected) << b.id;
    const LONG_PTR exStyle = ::GetWindowLongPtrW(window, GWL_EXSTYLE);
    EXPECT_TRUE(exStyle & WS_EX_LAYERED);
    EXPECT_TRUE(exStyle & WS_EX_TOPMOST);
    EXPECT_TRUE(exStyle & WS_EX_TOOLWINDOW);
    EXPECT_FALSE(exStyle & WS_EX_APPWINDOW);
}

TEST_F(FullWindowTest, AButtonShowsHoverWhileTheMouseIsOverItAndPressedWhileHeld) {
    auto* full = static_cast<MainSkinDialog*>(Show(kFullView));
    const HWND adjust = ::GetDlgItem(full->m_hWnd, IDC_ADJUST);
    // A point inside the button's face, and the same point of each look's image.
    const auto showsImage = [&](int state) {
        return PixelNear(Canvas.PixelAt(11 + 55, 211 + 20), PremultipliedPixel(Canvas.GetButtonImage(IDC_ADJUST, state), 55, 20));
    };
    EXPECT_TRUE(showsImage(Normal));

    ::SendMessageW(adjust, WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
    EXPECT_EQ(full->Button(IDC_ADJUST).State(), Hover);
    EXPECT_TRUE(showsImage(Hover));
    // The button repaints a changed state on its next WM_PAINT.
    ::SendMessageW(adjust, BM_SETSTATE, TRUE, 0);
    ::UpdateWindow(adjust);
    EXPECT_EQ(full->Button(IDC_ADJUST).State(), Pressed);
    EXPECT_TRUE(showsImage(Pressed));
    ::SendMessageW(adjust, BM_SETSTATE, FALSE, 0);  // released over the button
    ::UpdateWindow(adjust);
    EXPECT_EQ(full->Button(IDC_ADJUST).State(), Hover);
    ::SendMessageW(adjust, WM_MOUSELEAVE, 0, 0);
    EXPECT_EQ(full->Button(IDC_ADJUST).State(), Normal);
    EXPECT_TRUE(showsImage(Normal));
}

// The dark dots of a focus ring along the top of a button, inset from its edges (a row
// either way: GDI+ implementations place a one-pixel line on either side of its centre).
int FocusRingDots(int x, int y, int width, int height) {
    const int inset = std::max(2, std::min(width, height) / 8);
    int most = 0;
    for (int row = y + inset - 1; row <= y + inset + 1; ++row) {
        int dots = 0;
        for (int px = x + inset + 2; px < x + width - inset - 2; ++px)
            if (const auto p = Split(Canvas.PixelAt(px, row)); p.a > 200 && p.r < 90) ++dots;
        most = std::max(most, dots);
    }
    return most;
}

TEST_F(FullWindowTest, TheKeyboardFocusShowsAsADottedRingOnTheButtonThatHasIt) {
    auto* full = static_cast<MainSkinDialog*>(Show(kFullView));
    const HWND window = full->m_hWnd;
    struct Place {
        int x, y, width, height;
    };
    const std::map<int, Place> places = {{IDC_ADJUST, {11, 211, 110, 33}},  {IDC_OPTIONS, {138, 211, 110, 33}},
                                         {IDC_GET, {77, 252, 110, 33}},     {IDC_MINIMISE_VIEW, {215, 0, 17, 18}},
                                         {IDC_CLOSE_TO_TRAY, {240, 0, 17, 18}}};
    const auto dots = [&](int id) {
        const Place& p = places.at(id);
        return FocusRingDots(p.x, p.y, p.width, p.height);
    };
    // While the window hides focus cues (on Windows, until the keyboard is used in it) a
    // mouse user sees none. Wine always shows them.
    ::SendMessageW(window, WM_CHANGEUISTATE, MAKEWPARAM(UIS_SET, UISF_HIDEFOCUS), 0);
    ::SetFocus(::GetDlgItem(window, IDC_ADJUST));
    PumpPending();
    if (::SendMessageW(window, WM_QUERYUISTATE, 0, 0) & UISF_HIDEFOCUS) {
        EXPECT_FALSE(full->Button(IDC_ADJUST).ShowsFocus());
        for (const auto& [id, place] : places) EXPECT_EQ(dots(id), 0) << id;
    }

    // The Tab key, as the program's message loop hands it to the dialog manager, moves the
    // focus on and shows it, on each button in turn, and on no other.
    std::set<int> visited;
    int previous = IDC_ADJUST;
    for (int press = 0; press < 5; ++press) {
        MSG msg{};
        msg.hwnd = ::GetFocus();
        msg.message = WM_KEYDOWN;
        msg.wParam = VK_TAB;
        ASSERT_TRUE(CDialog::IsDialogMessage(msg));
        PumpPending();  // the button that lost the focus repaints
        const int focused = ::GetDlgCtrlID(::GetFocus());
        ASSERT_TRUE(places.count(focused)) << "the focus stays on the window's buttons";
        visited.insert(focused);
        EXPECT_TRUE(full->Button(focused).ShowsFocus()) << focused;
        EXPECT_GT(dots(focused), places.at(focused).width / 8) << "a dotted ring on " << focused;
        EXPECT_FALSE(full->Button(previous).ShowsFocus()) << previous;
        EXPECT_EQ(dots(previous), 0) << "none left on " << previous;
        previous = focused;
    }
    EXPECT_EQ(visited.size(), 5u) << "Tab reaches every button";
    // Gone without a trace: the button is its image again.
    Gdiplus::Bitmap* adjust = Canvas.GetButtonImage(IDC_ADJUST, Normal);
    ::SetFocus(::GetDlgItem(window, IDC_GET));
    PumpPending();
    for (int x = 6; x < 104; x += 3)
        for (int y = 3; y <= 5; ++y)
            EXPECT_TRUE(PixelNear(Canvas.PixelAt(11 + x, 211 + y), PremultipliedPixel(adjust, x, y))) << x << ", " << y;
}

TEST_F(FullWindowTest, GetQueriesWithoutAdjustingAndAdjustHandsTheOffsetToTheService) {
    const HWND window = Show(kFullView)->m_hWnd;
    Click(window, IDC_GET);
    EXPECT_EQ(queriesStarted, std::vector<bool>{false});

    PipeStandIn service;
    ServerOffset = 250;
    Click(window, IDC_ADJUST);
    EXPECT_EQ(service.Offsets(), std::vector<std::int64_t>{250});
    EXPECT_EQ(StatusText, L"Synchronized");
    EXPECT_EQ(AppSettings.showToolTips, 0) << "pressing Adjust ends the tour even with no balloon showing";
}

TEST_F(FullWindowTest, OptionsAsksTheHiddenWindowForTheSettings) {
    const HWND window = Show(kFullView)->m_hWnd;
    Click(window, IDC_OPTIONS);
    MSG msg{};
    ASSERT_TRUE(::PeekMessageW(&msg, hidden->m_hWnd, WM_COMMAND, WM_COMMAND, PM_REMOVE));
    EXPECT_EQ(LOWORD(msg.wParam), kCommandSettings);
}

// Wine's tooltip control does not answer TTM_GETTITLE: the titles are taken from the
// TTM_SETTITLEW messages on their way to it.
class TitleRecorder {
public:
    TitleRecorder() {
        recorder_ = this;
        hook_ = ::SetWindowsHookExW(WH_CALLWNDPROC, &Record, nullptr, ::GetCurrentThreadId());
    }
    ~TitleRecorder() {
        ::UnhookWindowsHookEx(hook_);
        recorder_ = nullptr;
    }
    std::wstring Last() const { return titles_.empty() ? std::wstring() : titles_.back(); }
    WPARAM LastIcon() const { return icon_; }

private:
    static LRESULT CALLBACK Record(int code, WPARAM w, LPARAM l) {
        const auto& sent = *reinterpret_cast<const CWPSTRUCT*>(l);
        if (code == HC_ACTION && recorder_ && sent.message == TTM_SETTITLEW && sent.lParam) {
            recorder_->titles_.emplace_back(reinterpret_cast<const wchar_t*>(sent.lParam));
            recorder_->icon_ = sent.wParam;
        }
        return ::CallNextHookEx(nullptr, code, w, l);
    }
    static inline TitleRecorder* recorder_ = nullptr;
    HHOOK hook_ = nullptr;
    std::vector<std::wstring> titles_;
    WPARAM icon_ = 0;
};

std::wstring TipText(HWND tip) {
    wchar_t text[200] = {};
    TTTOOLINFOW tool{};
    tool.cbSize = TTTOOLINFOW_V2_SIZE;
    tool.lpszText = text;
    ::SendMessageW(tip, TTM_GETTEXTW, std::size(text), reinterpret_cast<LPARAM>(&tool));
    return text;
}

SntpMeasurement Offset(std::int64_t ms) {
    SntpMeasurement m;
    m.offsetMs = ms;
    m.roundTripMs = 1;
    return m;
}

TEST_F(FullWindowTest, TheTourLeadsFromGetToAdjustToTheDoubleClickAndEnds) {
    TitleRecorder titles;
    PipeStandIn service;
    AppSettings.showToolTips = 1;
    auto* full = static_cast<MainSkinDialog*>(Show(kFullView));
    ASSERT_TRUE(PumpUntil([&] { return full->TipWindow() != nullptr; })) << "the first balloon, after 500 ms";
    EXPECT_EQ(titles.Last(), L"Click Get");
    EXPECT_EQ(titles.LastIcon(), static_cast<WPARAM>(TTI_INFO));
    EXPECT_EQ(TipText(full->TipWindow()), L"Click Get to receive server time");

    Click(full->m_hWnd, IDC_GET);
    EXPECT_EQ(full->TipWindow(), nullptr) << "pressed: its balloon closes";
    EndQuery(Offset(1501));
    ASSERT_NE(full->TipWindow(), nullptr) << "the Get found a difference";
    EXPECT_EQ(titles.Last(), L"Click Adjust");
    EXPECT_EQ(TipText(full->TipWindow()), L"Click Adjust to apply time");
    EXPECT_EQ(AppSettings.showToolTips, 1);

    // Moving the window closes the balloon without ending the tour.
    ::SendMessageW(full->m_hWnd, WM_MOVING, 0, 0);
    EXPECT_EQ(full->TipWindow(), nullptr);
    EXPECT_EQ(AppSettings.showToolTips, 1);

    Click(full->m_hWnd, IDC_ADJUST);
    ASSERT_NE(full->TipWindow(), nullptr);
    EXPECT_EQ(titles.Last(), L"Change skin");
    EXPECT_EQ(TipText(full->TipWindow()), L"To switch between viewing modes, double-click here");
    EXPECT_EQ(AppSettings.showToolTips, 0);
}

TEST_F(FullWindowTest, TheAdjustBalloonComesOnlyAfterAGetThatFoundADifference) {
    TitleRecorder titles;
    AppSettings.showToolTips = 1;
    auto* full = static_cast<MainSkinDialog*>(Show(kFullView));
    ASSERT_TRUE(PumpUntil([&] { return full->TipWindow() != nullptr; }));
    struct Step {
        SntpMeasurement result;
        bool adjustBalloon;
        const char* what;
    } const steps[] = {
        {SntpMeasurement{L"Could not connect"}, false, "a failed Get"},
        {SntpMeasurement{L"Network error #1"}, false, "another failed Get"},
        {Offset(0), false, "a Get that found no difference: nothing to adjust"},
        {Offset(-250), true, "a Get with a difference"},
    };
    for (const Step& step : steps) {
        Click(full->m_hWnd, IDC_GET);
        EndQuery(step.result);
        EXPECT_EQ(full->TipWindow() != nullptr, step.adjustBalloon) << step.what;
    }
    EXPECT_EQ(titles.Last(), L"Click Adjust");
    EXPECT_EQ(AppSettings.showToolTips, 1) << "the tour is not over";
}

TEST_F(FullWindowTest, ABalloonClosesAfterAFewSecondsAndTheTourGoesOn) {
    AppSettings.showToolTips = 1;
    auto* full = static_cast<MainSkinDialog*>(Show(kFullView));
    ASSERT_TRUE(PumpUntil([&] { return full->TipWindow() != nullptr; }));
    EXPECT_TRUE(::KillTimer(full->m_hWnd, TipCloseTimer)) << "its time is counting";
    ::SendMessageW(full->m_hWnd, WM_TIMER, TipCloseTimer, 0);  // as the timer would, 8 seconds on
    EXPECT_EQ(full->TipWindow(), nullptr);
    EXPECT_EQ(AppSettings.showToolTips, 1);

    Click(full->m_hWnd, IDC_GET);
    EndQuery(Offset(700));
    ASSERT_NE(full->TipWindow(), nullptr) << "the tour still leads on to Adjust";
    EXPECT_TRUE(::KillTimer(full->m_hWnd, TipCloseTimer));
}

TEST_F(FullWindowTest, ABalloonNeverCoversTheButtonItPointsAt) {
    AppSettings.showToolTips = 1;
    const HWND window = Show(kFullView)->m_hWnd;
    auto* full = static_cast<MainSkinDialog*>(Current());
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    ::GetMonitorInfoW(::MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST), &monitor);
    const RECT work = monitor.rcWork;
    // High on the screen, where a balloon opens downwards, and low, where it has to open upwards.
    for (const int top : {static_cast<int>(work.top) + 40, static_cast<int>(work.bottom) - 300}) {
        ::SetWindowPos(window, nullptr, 300, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
        full->ShowTip(nullptr);
        ::SendMessageW(window, WM_TIMER, TipTimer, 0);
        for (const int id : {IDC_GET, IDC_ADJUST}) {
            if (id == IDC_ADJUST) {
                Click(window, IDC_GET);
                EndQuery(Offset(900));
            }
            const HWND tip = full->TipWindow();
            ASSERT_NE(tip, nullptr) << id;
            EXPECT_TRUE(::IsWindowVisible(tip));
            RECT balloon{}, button{}, common{};
            ::GetWindowRect(tip, &balloon);
            ::GetWindowRect(::GetDlgItem(window, id), &button);
            EXPECT_FALSE(::IntersectRect(&common, &balloon, &button))
                << "button " << id << " with the window at " << top << ": balloon (" << balloon.left << ", " << balloon.top
                << ", " << balloon.right << ", " << balloon.bottom << "), button (" << button.left << ", " << button.top
                << ", " << button.right << ", " << button.bottom << ")";
        }
    }
}

TEST_F(FullWindowTest, WithTheTourDoneNoBalloonIsScheduled) {
    AppSettings.showToolTips = 0;
    const HWND window = Show(kFullView)->m_hWnd;
    EXPECT_FALSE(::KillTimer(window, TipTimer));
    EXPECT_EQ(static_cast<MainSkinDialog*>(Current())->TipWindow(), nullptr);
}

TEST_F(FullWindowTest, CloseHidesToTheTrayAndTheBalloonSaysSoOnlyOnce) {
    const HWND window = Show(kFullView)->m_hWnd;
    ASSERT_TRUE(::IsWindowVisible(window));
    ASSERT_EQ(AppSettings.displayTrayMessage, 1);
    Click(window, IDC_CLOSE_TO_TRAY);
    EXPECT_FALSE(::IsWindowVisible(window));
    EXPECT_TRUE(::IsWindow(window)) << "hidden, not destroyed";
    EXPECT_EQ(AppSettings.minimized, 1);
    EXPECT_EQ(AppSettings.displayTrayMessage, 0);

    hidden->RestoreClockWindow();
    ASSERT_TRUE(::IsWindowVisible(window));
    ::SendMessageW(window, WM_CLOSE, 0, 0);
    EXPECT_FALSE(::IsWindowVisible(window));
    EXPECT_EQ(AppSettings.displayTrayMessage, 0);
}

TEST_F(FullWindowTest, EnterAndEscapeDoNothing) {
    const HWND window = Show(kFullView)->m_hWnd;
    for (const int command : {IDOK, IDCANCEL}) {
        ::SendMessageW(window, WM_COMMAND, command, 0);
        EXPECT_TRUE(::IsWindowVisible(window)) << command;
    }
    EXPECT_EQ(CurrentHandle(), window);
}

TEST_F(FullWindowTest, TheEndOfTheSessionSavesAndAllowsIt) {
    const HWND window = Show(kFullView)->m_hWnd;
    EXPECT_EQ(::SendMessageW(window, WM_QUERYENDSESSION, 0, 0), TRUE);
    EXPECT_EQ(testing::ReadStoredDword(HKEY_CURRENT_USER, SettingsPath(), L"Left"), WindowRect(window).left);
    EXPECT_EQ(testing::ReadStoredDword(HKEY_CURRENT_USER, SettingsPath(), L"Minimized"), 0);
}

// ---------------------------------------------------------------------------------------
// Placement, snapping and view switching (SkinWindow)

using PlacementTest = ClockWindowTest;

TEST_F(PlacementTest, TheFirstRunCentresTheWindowOnTheScreen) {
    AppSettings.left = NoSavedPosition;
    AppSettings.top = NoSavedPosition;
    const HWND window = Show(kFullView)->m_hWnd;
    const Rect screen = WindowRect(::GetDesktopWindow());
    const Rect at = WindowRect(window);
    EXPECT_EQ(at.left, (screen.right - screen.left) / 2 - 258 / 2);
    EXPECT_EQ(at.top, (screen.bottom - screen.top) / 2 - 321 / 2);
}

TEST_F(PlacementTest, WhileInTheTrayANewWindowStaysHidden) {
    AppSettings.minimized = 1;
    const HWND window = Show(kFullView)->m_hWnd;
    ASSERT_NE(window, nullptr);
    EXPECT_FALSE(::IsWindowVisible(window));
    ::SetWindowPos(window, nullptr, 100, 100, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_SHOWWINDOW);
    EXPECT_FALSE(::IsWindowVisible(window));
    hidden->RestoreClockWindow();
    EXPECT_TRUE(::IsWindowVisible(window));
}

// The work area's edges as the windows see them.
Rect WorkArea(HWND window) {
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    ::GetMonitorInfoW(::MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST), &monitor);
    return {monitor.rcWork.left, monitor.rcWork.top, monitor.rcWork.right, monitor.rcWork.bottom};
}

void MoveTo(HWND window, int x, int y) { ::SetWindowPos(window, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER); }

TEST_F(PlacementTest, AMoveWithinFifteenPixelsOfTheWorkAreaSnapsToIt) {
    const HWND full = Show(kFullView)->m_hWnd;
    const Rect work = WorkArea(full);
    MoveTo(full, work.left + 15, 300);
    EXPECT_EQ(WindowRect(full).left, work.left);
    MoveTo(full, work.left + 16, 300);
    EXPECT_EQ(WindowRect(full).left, work.left + 16);
    // The visible bottom 10 above the work area's bottom: it lands on it, its shadow below.
    MoveTo(full, 300, work.bottom - 296 - 10);
    EXPECT_EQ(WindowRect(full).top, work.bottom - 296);

    const HWND compact = Show(kCompactView)->m_hWnd;
    MoveTo(compact, work.left + 10, 300);  // its strip, 5 in, is 15 from the edge
    EXPECT_EQ(WindowRect(compact).left, work.left - 6);
}

TEST_F(PlacementTest, AMoveEndSavesThePlacement) {
    const HWND window = Show(kFullView)->m_hWnd;
    MoveTo(window, 320, 240);
    ::SendMessageW(window, WM_EXITSIZEMOVE, 0, 0);
    EXPECT_EQ(testing::ReadStoredDword(HKEY_CURRENT_USER, SettingsPath(), L"Left"), 320);
    EXPECT_EQ(testing::ReadStoredDword(HKEY_CURRENT_USER, SettingsPath(), L"Top"), 240);
}

TEST_F(PlacementTest, PressingTheFaceStartsTheSystemsMoveFromTheCursorsScreenPoint) {
    const HWND window = Show(kFullView)->m_hWnd;
    MoveTo(window, 320, 240);
    ::SendMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(20, 30));
    MSG drag{};
    ASSERT_TRUE(::PeekMessageW(&drag, window, WM_NCLBUTTONDOWN, WM_NCLBUTTONDOWN, PM_REMOVE));
    EXPECT_EQ(drag.wParam, static_cast<WPARAM>(HTCAPTION));
    EXPECT_EQ(LOWORD(drag.lParam), 340);
    EXPECT_EQ(HIWORD(drag.lParam), 270);
}

TEST_F(PlacementTest, DoubleClicksCycleTheViewsAndShiftTheNewWindow) {
    AddWorldClocks({L"Tokyo"});
    ::SendMessageW(Show(kFullView)->m_hWnd, WM_LBUTTONDBLCLK, 0, MAKELPARAM(100, 100));
    smal_main* compact = WaitForView<smal_main>();
    ASSERT_NE(compact, nullptr);
    EXPECT_EQ(WindowRect(compact->m_hWnd).left, 300);
    EXPECT_EQ(WindowRect(compact->m_hWnd).top, 200 + 171);

    ::SendMessageW(compact->m_hWnd, WM_LBUTTONDBLCLK, 0, MAKELPARAM(20, 10));
    Skin3* world = WaitForView<Skin3>();
    ASSERT_NE(world, nullptr);
    EXPECT_EQ(WindowRect(world->m_hWnd).top, 200);
    EXPECT_EQ(AppSettings.skin, kWorldClockView);

    ::SendMessageW(world->m_hWnd, WM_LBUTTONDBLCLK, 0, MAKELPARAM(20, 10));
    MainSkinDialog* full = WaitForView<MainSkinDialog>();
    ASSERT_NE(full, nullptr);
    EXPECT_EQ(WindowRect(full->m_hWnd).top, 200);
    EXPECT_EQ(testing::ReadStoredDword(HKEY_CURRENT_USER, SettingsPath(), L"Skin"), kFullView);
}

TEST_F(PlacementTest, WithoutAnEnabledWorldClockTheCompactViewReturnsToTheFullOne) {
    AddWorldClocks({L"Tokyo"});
    WorldClockList[0].enabled = 0;
    Click(Show(kFullView)->m_hWnd, IDC_MINIMISE_VIEW);  // "-": the same step as a double-click
    smal_main* compact = WaitForView<smal_main>();
    ASSERT_NE(compact, nullptr);
    EXPECT_EQ(WindowRect(compact->m_hWnd).top, 371);
    ::SendMessageW(compact->m_hWnd, WM_LBUTTONDBLCLK, 0, MAKELPARAM(20, 10));
    MainSkinDialog* full = WaitForView<MainSkinDialog>();
    ASSERT_NE(full, nullptr);
    EXPECT_EQ(WindowRect(full->m_hWnd).top, 200);
}

// ---------------------------------------------------------------------------------------
// The compact window

using CompactWindowTest = ClockWindowTest;

TEST_F(CompactWindowTest, TheStripIsVisibleAndTheClosedMenuIsNot) {
    auto* compact = static_cast<smal_main*>(Show(kCompactView));
    ASSERT_NE(compact, nullptr);
    EXPECT_FALSE(menuOpen) << "a new compact window shows its menu closed";
    EXPECT_EQ(SizeOf(WindowRect(compact->m_hWnd)), Size(201, 153));
    EXPECT_EQ(Canvas.pixelWidth, 201);
    EXPECT_EQ(Canvas.pixelHeight, 153);
    Gdiplus::Bitmap* strip = Canvas.LoadPngImage(IDB_COMPACT_PANEL);
    EXPECT_TRUE(PixelNear(Canvas.PixelAt(8, 33), PremultipliedPixel(strip, 8, 33)));
    EXPECT_GT(Split(Canvas.PixelAt(8, 33)).a, 100);
    EXPECT_LT(Split(Canvas.PixelAt(8, 33)).a, 150);
    EXPECT_EQ(Canvas.PixelAt(2, 20), 0u) << "left of the strip";
    EXPECT_EQ(Canvas.PixelAt(100, 100), 0u) << "where the menu opens";
    EXPECT_EQ(Canvas.PixelAt(100, 150), 0u);
    EXPECT_EQ(ChildRect(compact->m_hWnd, IDC_COMPACT_OPTIONS), (Rect{162, 0, 197, 36}));
}

TEST_F(CompactWindowTest, OptOpensAndClosesTheMenuAndStaysPressedWhileItIsOpen) {
    auto* compact = static_cast<smal_main*>(Show(kCompactView));
    const HWND window = compact->m_hWnd;
    const int items[] = {IDC_SYNCHRONIZE_NOW, IDC_EXTENDED_MODE, IDC_MINIMIZE};
    ASSERT_FALSE(menuOpen);

    Click(window, IDC_COMPACT_OPTIONS);
    EXPECT_TRUE(menuOpen);
    for (const int id : items) EXPECT_TRUE(::IsWindowVisible(::GetDlgItem(window, id))) << id;
    EXPECT_EQ(ChildRect(window, IDC_SYNCHRONIZE_NOW), (Rect{6, 36, 197, 64}));
    EXPECT_EQ(ChildRect(window, IDC_EXTENDED_MODE), (Rect{6, 63, 197, 91}));
    EXPECT_EQ(ChildRect(window, IDC_MINIMIZE), (Rect{6, 91, 197, 119}));
    EXPECT_EQ(Split(Canvas.PixelAt(8, 100)).a, 0xFE) << "the menu's light rectangle";
    // Latched: the Pressed chevron even when the mouse comes and goes.
    ::SendMessageW(::GetDlgItem(window, IDC_COMPACT_OPTIONS), WM_MOUSEMOVE, 0, MAKELPARAM(3, 3));
    EXPECT_EQ(compact->OptionsButton().State(), Pressed);
    Gdiplus::Bitmap* pressed = Canvas.GetButtonImage(IDC_COMPACT_OPTIONS, Pressed);
    EXPECT_TRUE(PixelNear(Canvas.PixelAt(162 + 17, 18), PremultipliedPixel(pressed, 17, 18)));
    ::SendMessageW(::GetDlgItem(window, IDC_COMPACT_OPTIONS), WM_MOUSELEAVE, 0, 0);

    Click(window, IDC_COMPACT_OPTIONS);
    EXPECT_FALSE(menuOpen);
    for (const int id : items) EXPECT_FALSE(::IsWindowVisible(::GetDlgItem(window, id))) << id;
    EXPECT_EQ(Canvas.PixelAt(8, 100), 0u);
    EXPECT_EQ(compact->OptionsButton().State(), Normal);
}

TEST_F(CompactWindowTest, ActivationAndPressingTheFaceOnlyEverCloseTheMenu) {
    auto* compact = static_cast<smal_main*>(Show(kCompactView));
    const HWND window = compact->m_hWnd;
    Click(window, IDC_COMPACT_OPTIONS);
    ASSERT_TRUE(menuOpen);
    ::SendMessageW(window, WM_ACTIVATE, WA_INACTIVE, 0);
    EXPECT_FALSE(menuOpen);
    ::SendMessageW(window, WM_ACTIVATE, WA_ACTIVE, 0);
    EXPECT_FALSE(menuOpen) << "close-only";

    Click(window, IDC_COMPACT_OPTIONS);
    ASSERT_TRUE(menuOpen);
    ::SendMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(20, 10));
    EXPECT_FALSE(menuOpen);
    MSG drag{};
    EXPECT_TRUE(::PeekMessageW(&drag, window, WM_NCLBUTTONDOWN, WM_NCLBUTTONDOWN, PM_REMOVE)) << "and the drag";
    ::SendMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(20, 10));
    EXPECT_FALSE(menuOpen);
    ::PeekMessageW(&drag, window, WM_NCLBUTTONDOWN, WM_NCLBUTTONDOWN, PM_REMOVE);
}

TEST_F(CompactWindowTest, SyncronizeNowHandsOverTheLastOffsetAndNothingWithoutOne) {
    const HWND window = Show(kCompactView)->m_hWnd;
    PipeStandIn service;
    StatusText = L"unchanged";
    Click(window, IDC_COMPACT_OPTIONS);
    Click(window, IDC_SYNCHRONIZE_NOW);
    EXPECT_FALSE(menuOpen);
    EXPECT_TRUE(service.Requests().empty()) << "no offset yet";
    EXPECT_EQ(StatusText, L"unchanged");
    EXPECT_TRUE(queriesStarted.empty()) << "it starts no query";

    ServerOffset = -1200;
    Click(window, IDC_COMPACT_OPTIONS);
    Click(window, IDC_SYNCHRONIZE_NOW);
    EXPECT_EQ(service.Offsets(), std::vector<std::int64_t>{-1200});
}

TEST_F(CompactWindowTest, ExtendedModeAlwaysEndsInTheFullView) {
    struct Case {
        bool worldClock;
        int fullTop;
    } const cases[] = {{false, 200}, {true, 371}};
    for (const Case& c : cases) {
        WorldClockList.clear();
        if (c.worldClock) AddWorldClocks({L"Tokyo"});
        AppSettings.top = 371;
        const HWND window = Show(kCompactView)->m_hWnd;
        ASSERT_EQ(WindowRect(window).top, 371);
        Click(window, IDC_COMPACT_OPTIONS);
        Click(window, IDC_EXTENDED_MODE);
        MainSkinDialog* full = WaitForView<MainSkinDialog>();
        ASSERT_NE(full, nullptr) << c.worldClock;
        EXPECT_EQ(WindowRect(full->m_hWnd).top, c.fullTop) << c.worldClock;
        EXPECT_EQ(AppSettings.skin, kFullView);
    }
}

// Whatever closed the menu, the surface below the strip shows only the strip's shadow line:
// no item of the menu is left painted there. The focus matters: a menu item that had it
// used to hand it on as it was hidden, and the next item drew itself as it took it.
TEST_F(CompactWindowTest, ClosingTheMenuByAnyRouteLeavesNothingOfItPainted) {
    enum Route { SyncronizeNow, ExtendedMode, Chevron, FaceClick, Deactivation };
    struct Case {
        Route route;
        int focused;  // 0: as the click leaves it
        const char* name;
    } const cases[] = {
        {SyncronizeNow, 0, "\"Syncronize Now\""},
        {ExtendedMode, 0, "\"Extended Mode\""},
        {Chevron, 0, "\"Opt.\""},
        {FaceClick, IDC_SYNCHRONIZE_NOW, "a click on the face, \"Syncronize Now\" focused"},
        {FaceClick, IDC_MINIMIZE, "a click on the face, \"Minimize\" focused"},
        {Deactivation, IDC_SYNCHRONIZE_NOW, "deactivation, \"Syncronize Now\" focused"},
        {Deactivation, IDC_EXTENDED_MODE, "deactivation, \"Extended Mode\" focused"},
        {Deactivation, IDC_MINIMIZE, "deactivation, \"Minimize\" focused"},
    };
    for (const Case& c : cases) {
        const HWND window = Show(kCompactView)->m_hWnd;
        ASSERT_NE(window, nullptr) << c.name;
        Gdiplus::Bitmap* shadowLine = Canvas.LoadPngImage(IDB_COMPACT_SHADOW);
        Click(window, IDC_COMPACT_OPTIONS);
        ASSERT_TRUE(menuOpen) << c.name;
        if (c.focused) ::SendMessageW(window, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(::GetDlgItem(window, c.focused)), TRUE);
        switch (c.route) {
        case SyncronizeNow: Click(window, IDC_SYNCHRONIZE_NOW); break;
        case ExtendedMode: Click(window, IDC_EXTENDED_MODE); break;
        case Chevron: Click(window, IDC_COMPACT_OPTIONS); break;
        case FaceClick: ::SendMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(20, 10)); break;
        case Deactivation: ::SendMessageW(window, WM_ACTIVATE, WA_INACTIVE, 0); break;
        }
        EXPECT_FALSE(menuOpen) << c.name;
        // Rows 36 to 56 hold the shadow line, the rest down to 153 nothing at all.
        for (int y = 36; y < 153; y += 3)
            for (int x = 0; x < 201; x += 4) {
                const std::uint32_t expected = y < 57 ? PremultipliedPixel(shadowLine, x, y) : 0u;
                ASSERT_TRUE(PixelNear(Canvas.PixelAt(x, y), expected)) << c.name << " at " << x << ", " << y;
            }
        MSG drag{};
        ::PeekMessageW(&drag, window, WM_NCLBUTTONDOWN, WM_NCLBUTTONDOWN, PM_REMOVE);  // no move loop here
        PumpPending();  // "Extended Mode" replaces the window
    }
}

TEST_F(CompactWindowTest, MinimizeHidesToTheTray) {
    const HWND window = Show(kCompactView)->m_hWnd;
    Click(window, IDC_COMPACT_OPTIONS);
    Click(window, IDC_MINIMIZE);
    EXPECT_FALSE(::IsWindowVisible(window));
    EXPECT_EQ(AppSettings.minimized, 1);
}

// ---------------------------------------------------------------------------------------
// The date and world-clock window

using WorldClockWindowTest = ClockWindowTest;

TEST_F(WorldClockWindowTest, TheColumnHasOnePanelPerEnabledClockPackedFromTheTop) {
    AddWorldClocks({L"Tokyo", L"London", L"Eastern Time"});
    struct Case {
        std::vector<int> enabled;
        long height;
    } const cases[] = {{{1, 0, 0}, 160}, {{1, 1, 1}, 460}, {{1, 0, 1}, 310}, {{0, 0, 0}, 10}};
    for (const Case& c : cases) {
        for (std::size_t i = 0; i < c.enabled.size(); ++i) WorldClockList[i].enabled = c.enabled[i];
        const HWND window = Show(kWorldClockView)->m_hWnd;
        ASSERT_NE(window, nullptr);
        EXPECT_EQ(SizeOf(WindowRect(window)), Size(258, c.height));
        EXPECT_EQ(Canvas.pixelHeight, c.height);
    }

    // The last case but one again: panels at 0 and 150, nothing in the gap between them.
    WorldClockList[0].enabled = 1;
    WorldClockList[2].enabled = 1;
    Show(kWorldClockView);
    Gdiplus::Bitmap* panel = Canvas.LoadPngImage(IDB_WORLD_ROW);
    for (const int y : {2, 152})
        EXPECT_TRUE(PixelNear(Canvas.PixelAt(3, y), PremultipliedPixel(panel, 3, 2))) << y;
    EXPECT_EQ(Canvas.PixelAt(3, 142), 0u) << "the gap between the panels";
    EXPECT_GT(Split(Canvas.PixelAt(129, 300)).a, 0) << "the stand's shadow under the last panel";
    EXPECT_LT(Split(Canvas.PixelAt(129, 300)).a, 255);
}

TEST_F(WorldClockWindowTest, ClocksBeyondTheWorkAreasHeightContinueInFurtherColumnsAllWhole) {
    AddWorldClocks({L"Tokyo", L"London", L"Eastern Time", L"Pacific Time", L"Central Africa", L"AUS Eastern"});
    auto* world = static_cast<Skin3*>(Show(kWorldClockView));
    ASSERT_NE(world, nullptr);
    const Rect work = WorkArea(world->m_hWnd);
    const velmora::WorkArea& area = world->LaidOutFor();
    EXPECT_EQ(area.width, work.right - work.left);
    EXPECT_EQ(area.height, work.bottom - work.top);
    const WorldClockLayout layout = world->Layout();
    ASSERT_EQ(layout.clocks.size(), 6u) << "every clock has its panel";
    if (work.bottom - work.top < 910) {
        // The test display is 800 pixels high: six panels do not fit one column.
        EXPECT_EQ(layout.totalWidth, 531);
        EXPECT_EQ(layout.totalHeight, 460);
    }
    const Rect window = WindowRect(world->m_hWnd);
    EXPECT_EQ(SizeOf(window), Size(layout.totalWidth, layout.totalHeight));
    EXPECT_GE(window.left, work.left);
    EXPECT_GE(window.top, work.top);
    EXPECT_LE(window.right, work.right);
    EXPECT_LE(window.bottom, work.bottom);
    // Each panel is drawn whole, its corners included.
    Gdiplus::Bitmap* panel = Canvas.LoadPngImage(IDB_WORLD_ROW);
    for (std::size_t k = 0; k < layout.clocks.size(); ++k) {
        const int x = layout.panelLefts[k], y = layout.rowTops[k];
        for (const auto& [dx, dy] : {std::pair{3, 2}, std::pair{254, 2}, std::pair{3, 132}, std::pair{254, 132}})
            EXPECT_TRUE(PixelNear(Canvas.PixelAt(x + dx, y + dy), PremultipliedPixel(panel, dx, dy))) << k;
    }
}

TEST_F(WorldClockWindowTest, AWorkAreaThatHoldsTheColumnKeepsItExactlyAsItWas) {
    AddWorldClocks({L"Tokyo", L"London", L"Eastern Time"});
    auto* world = static_cast<Skin3*>(Show(kWorldClockView));
    ASSERT_NE(world, nullptr);
    ASSERT_GE(world->LaidOutFor().height, 460);
    EXPECT_EQ(SizeOf(WindowRect(world->m_hWnd)), Size(258, 460));
    EXPECT_EQ(world->Layout().rowTops, (std::vector<int>{0, 150, 300}));
    EXPECT_EQ(world->Layout().panelLefts, (std::vector<int>{0, 0, 0}));
}

// The extent of the light pixels in a band of rows.
std::pair<int, int> LightColumns(int top, int bottom) {
    int left = 1 << 30, right = -1;
    for (int y = top; y < bottom; ++y)
        for (int x = 0; x < Canvas.pixelWidth; ++x)
            if (const auto p = Split(Canvas.PixelAt(x, y)); p.a > 200 && p.r > 200) {
                left = std::min(left, x);
                right = std::max(right, x);
            }
    return {left, right};
}

TEST_F(WorldClockWindowTest, ALabelTooLongForThePanelEndsInAnEllipsisInsideIt) {
    AddWorldClocks({L"Tokyo", L"Central Africa"});
    WorldClockList[0].name = L"Tokyo";
    WorldClockList[1].name = L"Central Africa Standard Time, the long way round";
    ASSERT_NE(Show(kWorldClockView), nullptr);
    // The label's rows: size 20 centred 20 below the panel's top.
    const auto [shortLeft, shortRight] = LightColumns(11, 30);
    const auto [longLeft, longRight] = LightColumns(150 + 11, 150 + 30);
    ASSERT_GE(shortRight, 0);
    ASSERT_GE(longRight, 0);
    EXPECT_GE(longLeft, 8) << "not cut at the left edge";
    EXPECT_LE(longRight, 258 - 8) << "not cut at the right edge";
    EXPECT_NEAR((longLeft + longRight) / 2.0, 130.0, 2.0);
    EXPECT_GT(longRight - longLeft, 200) << "as much of it as fits";
    // It ends in the ellipsis: the right-most ink is a dot on the baseline, with no stroke
    // of a letter above it.
    for (int y = 150 + 11; y < 150 + 23; ++y) {
        const auto p = Split(Canvas.PixelAt(longRight, y));
        EXPECT_FALSE(p.a > 200 && p.r > 200) << "a letter's stroke at the end, row " << y;
    }
    // A label that fits is drawn whole and centred, as before.
    EXPECT_NEAR((shortLeft + shortRight) / 2.0, 130.0, 2.0);
    EXPECT_LT(shortRight - shortLeft, 100);
}

}  // namespace
}  // namespace velmora
