#include "display/main_skin_dialog.h"

#include <commctrl.h>

#include <iterator>

#include "display/clock_text.h"
#include "display/skin_canvas.h"
#include "resources/resource_ids.h"
#include "settings/app_settings.h"

namespace velmora {

namespace {

constexpr UINT kTipDelayMs = 500;
constexpr wchar_t kLocalLabel[] = L"local";
constexpr wchar_t kServerLabel[] = L"server";

}  // namespace

const MessageMap& MainSkinDialog::Map() {
    static constexpr MessageMapEntry entries[] = {
        OnCommand<&MainSkinDialog::OnGet>(IDC_GET),
        OnCommand<&MainSkinDialog::OnAdjust>(IDC_ADJUST),
        OnCommand<&MainSkinDialog::OnOptions>(IDC_OPTIONS),
        OnCommand<&MainSkinDialog::OnCloseButton>(IDC_CLOSE_TO_TRAY),
        OnCommand<&MainSkinDialog::OnMinimiseView>(IDC_MINIMISE_VIEW),
        OnMessage<&MainSkinDialog::OnMoving>(WM_MOVING),
        OnMessage<&MainSkinDialog::OnTimer>(WM_TIMER),
    };
    static const MessageMap map{&SkinWindow::Map(), entries};
    return map;
}

MainSkinDialog::MainSkinDialog(ViewHost* host) : SkinWindow(host) {
    adjust_.SetLogicalPlace(11, 211);
    options_.SetLogicalPlace(138, 211);
    get_.SetLogicalPlace(77, 252);
    minimise_.SetLogicalPlace(215, 0);
    close_.SetLogicalPlace(240, 0);
}

MainSkinDialog::~MainSkinDialog() {
    // The tip is owned by this window and goes with it, unless the window went first.
    if (tipWindow_ && ::IsWindow(tipWindow_)) ::DestroyWindow(tipWindow_);
}

bool MainSkinDialog::CreateView() { return Create(IDD_FULL_CLOCK); }

bool MainSkinDialog::ServerIsLocal() const { return Host() && Host()->ServerTimeIsLocalTime(); }

const CustomButton& MainSkinDialog::Button(int controlId) const {
    switch (controlId) {
    case IDC_OPTIONS: return options_;
    case IDC_MINIMISE_VIEW: return minimise_;
    case IDC_CLOSE_TO_TRAY: return close_;
    case IDC_ADJUST: return adjust_;
    default: return get_;
    }
}

BOOL MainSkinDialog::OnInitDialog() {
    options_.SubclassDlgItem(IDC_OPTIONS, *this);
    minimise_.SubclassDlgItem(IDC_MINIMISE_VIEW, *this);
    close_.SubclassDlgItem(IDC_CLOSE_TO_TRAY, *this);
    adjust_.SubclassDlgItem(IDC_ADJUST, *this);
    get_.SubclassDlgItem(IDC_GET, *this);
    MakeToolWindow();

    Canvas.Initialize();
    Gdiplus::Bitmap* face = Canvas.LoadPngImage(IDB_FULL_FACE);
    Canvas.backgroundImage = face;
    Canvas.CreateSurface(static_cast<int>(face->GetWidth()), static_cast<int>(face->GetHeight()));
    Canvas.DrawImage(face, 0, 0);
    Canvas.DrawTextAt(kLocalLabel, 12, 25, 35, false);
    Canvas.Present(m_hWnd);
    PlaceWindow();

    for (CustomButton* button : {&options_, &minimise_, &close_, &adjust_, &get_}) button->DrawItem(nullptr);
    // What lies under each band's changing texts: the face, and in the server band its label.
    Canvas.RestoreRegion(localBand_.x, localBand_.y, localBand_.width, localBand_.height);
    localTexts_.Capture(localBand_.x, localBand_.y, localBand_.width, localBand_.height,
                        {{50, localTime_.x, localTime_.y, true, true}, {17, localDate_.x, localDate_.y, false, false}});
    Canvas.RestoreRegion(serverBand_.x, serverBand_.y, serverBand_.width, serverBand_.height);
    Canvas.DrawTextAt(kServerLabel, 12, serverLabel_.x, serverLabel_.y, false);
    serverTexts_.Capture(serverBand_.x, serverBand_.y, serverBand_.width, serverBand_.height,
                         {{30, serverTime_.x, serverTime_.y, true, true}, {14, serverDate_.x, serverDate_.y, false, false}});
    DrawTime();
    DrawServer();
    DrawStatus();
    if ((!Host() || !Host()->StartedAtLogon()) && AppSettings.showToolTips) SetTimer(TipTimer, kTipDelayMs);
    return TRUE;
}

void MainSkinDialog::DrawTime() {
    localTexts_.Draw({LocalTimeText, LocalDateText});
    // With no difference the server clock is the local one and follows its ticks; one
    // Present shows both bands.
    if (ServerIsLocal()) DrawServerTexts();
    Canvas.Present(m_hWnd);
}

void MainSkinDialog::DrawServer() {
    DrawServerTexts();
    Canvas.Present(m_hWnd);
}

void MainSkinDialog::DrawServerTexts() {
    const bool same = ServerIsLocal();
    serverTexts_.Draw({same ? LocalTimeText : ServerTimeText, same ? LocalDateText : ServerDateText});
}

void MainSkinDialog::DrawStatus() {
    if (!m_hWnd) return;
    Canvas.RestoreRegion(statusBand_.x, statusBand_.y, statusBand_.width, statusBand_.height);
    static const std::wstring kNoStatus;
    Canvas.DrawTextAt(Host() ? Host()->SyncStatus() : kNoStatus, 22, status_.x, status_.y, true);
    Canvas.Present(m_hWnd);
}

void MainSkinDialog::ShowTip(HWND target) {
    if (!target) {
        KillTimer(TipCloseTimer);
        if (tipWindow_) ::DestroyWindow(tipWindow_);
        tipWindow_ = nullptr;
        return;
    }
    RECT r{};
    ::GetWindowRect(target, &r);
    if (!tipWindow_) {
        tipWindow_ = ::CreateWindowExW(0, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_BALLOON | TTS_NOPREFIX | TTS_ALWAYSTIP,
                                       0, 0, 0, 0, m_hWnd, nullptr, ::GetModuleHandleW(nullptr), nullptr);
        if (!tipWindow_) return;
    }
    const wchar_t* title = kSkinTipTitle;
    const wchar_t* text = kSkinTipText;
    const int id = ::GetDlgCtrlID(target);
    switch (id) {
    case IDC_ADJUST:
        title = kAdjustTipTitle;
        text = kAdjustTipText;
        break;
    case IDC_GET:
        title = kGetTipTitle;
        text = kGetTipText;
        break;
    default:
        AppSettings.showToolTips = 0;
        break;
    }
    TTTOOLINFOW tool{};
    tool.cbSize = TTTOOLINFOW_V2_SIZE;
    tool.uFlags = TTF_TRACK | TTF_ABSOLUTE;
    tool.uId = 0;
    // One tool at a time: the previous balloon's goes before the next is added.
    ::SendMessageW(tipWindow_, TTM_DELTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    tool.lpszText = const_cast<wchar_t*>(text);
    ::SendMessageW(tipWindow_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    ::SendMessageW(tipWindow_, TTM_SETTITLEW, TTI_INFO, reinterpret_cast<LPARAM>(title));
    if (id == IDC_ADJUST || id == IDC_GET) {
        PlaceTip(r, id, tool);
    } else {
        // Near the face's lower right corner, where a double-click changes the view.
        ::SendMessageW(tipWindow_, TTM_TRACKPOSITION, 0, MAKELPARAM(r.right - 30, r.bottom - 50));
        ::SendMessageW(tipWindow_, TTM_TRACKACTIVATE, TRUE, reinterpret_cast<LPARAM>(&tool));
    }
    SetTimer(TipCloseTimer, kTipShownMs);
}

void MainSkinDialog::PlaceTip(const RECT& target, int targetId, TTTOOLINFOW& tool) const {
    // The system decides which way a balloon opens from its point (below it, unless the
    // screen ends first), so each point is tried and the balloon's own rectangle judged.
    const int middle = (target.left + target.right) / 2;
    const POINT points[] = {{middle, target.bottom}, {middle, target.top - 1},
                            {target.right, (target.top + target.bottom) / 2}, {target.left - 1, (target.top + target.bottom) / 2}};
    const auto covered = [this](const RECT& tip, int id) {
        RECT button{};
        RECT common{};
        ::GetWindowRect(GetDlgItem(id), &button);
        return ::IntersectRect(&common, &tip, &button) != FALSE;
    };
    int best = 0;
    int bestScore = 1 << 30;
    for (int i = 0; i < static_cast<int>(std::size(points)); ++i) {
        ::SendMessageW(tipWindow_, TTM_TRACKPOSITION, 0, MAKELPARAM(points[i].x, points[i].y));
        ::SendMessageW(tipWindow_, TTM_TRACKACTIVATE, TRUE, reinterpret_cast<LPARAM>(&tool));
        RECT tip{};
        ::GetWindowRect(tipWindow_, &tip);
        int score = covered(tip, targetId) ? 100 : 0;
        for (const int id : {IDC_ADJUST, IDC_GET, IDC_OPTIONS, IDC_MINIMISE_VIEW, IDC_CLOSE_TO_TRAY})
            if (id != targetId && covered(tip, id)) ++score;
        if (score < bestScore) {
            best = i;
            bestScore = score;
        }
        if (score == 0) return;  // as good as it gets: leave it there
    }
    ::SendMessageW(tipWindow_, TTM_TRACKPOSITION, 0, MAKELPARAM(points[best].x, points[best].y));
    ::SendMessageW(tipWindow_, TTM_TRACKACTIVATE, TRUE, reinterpret_cast<LPARAM>(&tool));
}

void MainSkinDialog::QueryEnded(bool producedOffset) {
    if (!awaitingOffset_ || !producedOffset) return;
    awaitingOffset_ = false;
    ShowTip(adjust_.m_hWnd);
}

void MainSkinDialog::OnGet() {
    if (tourRunning_) {
        // Pressed: its balloon has done its work. "Adjust" comes once there is something to adjust.
        ShowTip(nullptr);
        awaitingOffset_ = true;
    }
    if (Host()) Host()->StartSync(false);
}

void MainSkinDialog::OnAdjust() {
    if (Host()) Host()->SendOffsetToService();
    if (tourRunning_) {
        awaitingOffset_ = false;
        tourRunning_ = false;
        ShowTip(m_hWnd);
    }
    AppSettings.showToolTips = 0;
}

void MainSkinDialog::OnOptions() {
    // The settings dialog belongs to the hidden main window, as the tray's "Settings" does.
    if (Host()) Host()->OpenSettings();
}

void MainSkinDialog::OnCloseButton() {
    CloseToTray();
    close_.DrawItem(nullptr);
    ShowTip(nullptr);
}

void MainSkinDialog::OnMinimiseView() { SwitchToNextView(); }

bool MainSkinDialog::OnMoving(Message&) {
    ShowTip(nullptr);
    return false;  // and the default processing
}

bool MainSkinDialog::OnTimer(Message& message) {
    if (message.wParam == TipTimer) {
        KillTimer(TipTimer);
        tourRunning_ = true;
        ShowTip(get_.m_hWnd);
    } else if (message.wParam == TipCloseTimer) {
        ShowTip(nullptr);
    }
    return true;
}

}  // namespace velmora
