#include "settings_dialog/sync.h"

#include "framework/trace.h"
#include "resources/resource_ids.h"
#include "settings/app_settings.h"
#include "settings/dialog_font.h"
#include "settings/settings_store.h"
#include "settings_dialog/apply_failure_notice.h"
#include "settings_dialog/dialog_texts.h"
#include "settings_dialog/screen_scale.h"
#include "settings_dialog/time_zone_layout.h"

namespace velmora {

SYNC* SettingsDialog = nullptr;

namespace {

constexpr int kServersPageIndex = 0;
constexpr int kOptionsPageIndex = 1;

}  // namespace

const MessageMap& SYNC::Map() {
    static constexpr MessageMapEntry entries[] = {
        OnCommand<&SYNC::Apply>(IDC_SETTINGS_APPLY, BN_CLICKED),
        OnCommand<&SYNC::OnCancelButton>(IDC_SETTINGS_CANCEL, BN_CLICKED),
        OnMessage<&SYNC::OnClose>(WM_CLOSE),
        OnNotify<&SYNC::OnTabChanging>(IDC_SETTINGS_TABS, TCN_SELCHANGING),
        OnNotify<&SYNC::OnTabChanged>(IDC_SETTINGS_TABS, TCN_SELCHANGE),
    };
    static const MessageMap map{&CDialogEx::Map(), entries};
    return map;
}

SYNC::SYNC(SettingsHost* host) : host_(host) {}
SYNC::~SYNC() = default;

void SYNC::BindControls() { tabs_.SubclassDlgItem(IDC_SETTINGS_TABS, *this); }

BOOL SYNC::OnInitDialog() {
    CDialogEx::OnInitDialog();
    BindControls();
    tabs_.SetFont(DialogFont());
    const int tabHeight = TabHeaderHeight(ScreenDisplayScale());
    tabs_.SendMessage(TCM_SETITEMSIZE, 0, MAKELPARAM(0, tabHeight));

    const struct {
        const wchar_t* text;
        CDialog* page;
        UINT templateId;
    } pages[] = {
        {dialog_text::kServersTab, &serversPage_, IDD_SERVERS_PAGE},
        {dialog_text::kOptionsTab, &optionsPage_, IDD_OPTIONS_PAGE},
        {dialog_text::kTimeZoneTab, &timeZonePage_, IDD_TIME_ZONE_PAGE},
    };
    for (int i = 0; i < 3; ++i) tabs_.InsertItem(i, pages[i].text, reinterpret_cast<LPARAM>(pages[i].page));

    RECT pageRect{};
    ::GetClientRect(tabs_.m_hWnd, &pageRect);
    pageRect.top = tabHeight;
    ::InflateRect(&pageRect, -::GetSystemMetrics(SM_CXDLGFRAME), -::GetSystemMetrics(SM_CYDLGFRAME));
    for (int i = 0; i < 3; ++i) {
        CDialog& page = *pages[i].page;
        if (!page.Create(pages[i].templateId, tabs_.m_hWnd)) {
            TraceLastError(L"making settings page " + std::to_wstring(pages[i].templateId));
            continue;
        }
        page.MoveWindow(pageRect, true);
        page.ShowWindow(i == 0 ? SW_SHOW : SW_HIDE);
    }
    return TRUE;
}

CDialog* SYNC::PageAt(int index) const {
    if (index < 0) return nullptr;
    return reinterpret_cast<CDialog*>(tabs_.GetItemParam(index));
}

bool SYNC::OnTabChanging(NMHDR&, LRESULT& result) {
    if (CDialog* page = PageAt(tabs_.GetCurSel()); page && page->m_hWnd) page->ShowWindow(SW_HIDE);
    result = 0;  // never refuse a change of tab
    return true;
}

bool SYNC::OnTabChanged(NMHDR&, LRESULT& result) {
    if (CDialog* page = PageAt(tabs_.GetCurSel()); page && page->m_hWnd) page->ShowWindow(SW_SHOW);
    result = 0;
    return true;
}

void SYNC::SelectPage(int index) {
    if (index == tabs_.GetCurSel()) return;
    if (CDialog* page = PageAt(tabs_.GetCurSel()); page && page->m_hWnd) page->ShowWindow(SW_HIDE);
    tabs_.SetCurSel(index);
    if (CDialog* page = PageAt(tabs_.GetCurSel()); page && page->m_hWnd) page->ShowWindow(SW_SHOW);
}

bool SYNC::PreTranslateMessage(MSG& msg) {
    if (msg.message != WM_KEYDOWN || ::GetKeyState(VK_CONTROL) >= 0 || ::GetKeyState(VK_MENU) < 0) return false;
    int step = 0;
    switch (msg.wParam) {
    case VK_TAB: step = ::GetKeyState(VK_SHIFT) < 0 ? -1 : 1; break;
    case VK_NEXT: step = 1; break;
    case VK_PRIOR: step = -1; break;
    default: return false;
    }
    const int count = tabs_.GetItemCount();
    if (count <= 0) return true;
    SelectPage(((tabs_.GetCurSel() + step) % count + count) % count);
    // Not left on a control of the page now hidden.
    CDialog* page = PageAt(tabs_.GetCurSel());
    HWND first = page && page->m_hWnd ? ::GetNextDlgTabItem(page->m_hWnd, nullptr, FALSE) : nullptr;
    if (!first || !::IsChild(page->m_hWnd, first)) first = tabs_.m_hWnd;
    SendMessage(WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(first), TRUE);
    return true;
}

void SYNC::PointAtBadNumber(int pageIndex, HWND box, const wchar_t* problem, const wchar_t* failure) {
    SelectPage(pageIndex);
    // A greyed box ("Manual" chosen) cannot take the focus; its text is still selected.
    if (::IsWindowEnabled(box)) ::SendMessageW(m_hWnd, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(box), TRUE);
    ::SendMessageW(box, EM_SETSEL, 0, -1);
    ShowApplyFailure(m_hWnd, std::wstring(problem) + L"\r\n\r\n" + failure);
}

void SYNC::Apply() {
    if (const NumberConversion port = serversPage_.PortConversion(); !port.ok()) {
        PointAtBadNumber(kServersPageIndex, serversPage_.PortBox(), dialog_text::kPortNotANumber, port.failure);
        return;
    }
    if (const NumberConversion minutes = optionsPage_.MinutesConversion(); !minutes.ok()) {
        PointAtBadNumber(kOptionsPageIndex, optionsPage_.MinutesBox(), dialog_text::kMinutesNotANumber,
                         minutes.failure);
        return;
    }
    // Both numbers convert, so neither page can stop half-way.
    serversPage_.ApplyToSettings();
    optionsPage_.ApplyToSettings();
    timeZonePage_.ApplyToSettings();
    // A shown world-clock view is rebuilt from the new list.
    if (AppSettings.skin == kWorldClockView && host_) host_->ShowClockWindow();
    SaveSettings(false);
    if (host_) host_->ApplyAutoSyncSetting();
    CloseSettingsDialog();
}

void SYNC::OnCancel() { CloseSettingsDialog(); }

bool SYNC::OnClose(Message&) {
    CloseSettingsDialog();
    return true;
}

void SYNC::PostNcDestroy() {
    if (SettingsDialog == this) SettingsDialog = nullptr;
    delete this;
}

void OpenSettingsDialog(SettingsHost* host, HWND owner) {
    if (!SettingsDialog) SettingsDialog = new SYNC(host);
    SYNC& dialog = *SettingsDialog;
    if (dialog.m_hWnd) {
        ::SetForegroundWindow(dialog.m_hWnd);
        return;
    }
    if (!dialog.Create(IDD_SETTINGS, owner)) {
        TraceLastError(L"making the settings dialog");
        CloseSettingsDialog();
        return;
    }
    dialog.ShowWindow(SW_SHOW);
}

void CloseSettingsDialog() {
    SYNC* dialog = SettingsDialog;
    if (!dialog) return;
    if (dialog->m_hWnd) {
        dialog->DestroyWindow();  // PostNcDestroy releases the object
        return;
    }
    SettingsDialog = nullptr;
    delete dialog;
}

}  // namespace velmora
