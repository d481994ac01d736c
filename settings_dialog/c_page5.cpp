#include "settings_dialog/c_page5.h"

#include <algorithm>
#include <string>

#include "framework/unique_handle.h"
#include "resources/resource_ids.h"
#include "settings/app_settings.h"
#include "settings/dialog_font.h"
#include "settings/world_clocks.h"
#include "settings_dialog/dialog_texts.h"
#include "settings_dialog/screen_scale.h"

namespace velmora {

const MessageMap& CPage5::Map() {
    // "Add" is matched before the ranges: its id lies in the check boxes' range.
    static constexpr MessageMapEntry entries[] = {
        OnCommand<&CPage5::OnAdd>(IDC_ADD_WORLD_CLOCK, BN_CLICKED),
        OnCommandRange<&CPage5::OnShowToggle>(kShowCheckIdBase, kShowCheckIdBase + kLastRowNumber, BN_CLICKED),
        OnCommandRange<&CPage5::OnDelete>(kDeleteButtonIdBase, kDeleteButtonIdBase + kLastRowNumber, BN_CLICKED),
        OnMessage<&CPage5::OnVScroll>(WM_VSCROLL),
        OnMessage<&CPage5::OnMouseWheel>(WM_MOUSEWHEEL),
        OnMessage<&CPage5::OnDestroy>(WM_DESTROY),
    };
    static const MessageMap map{&tabSheetDialog::Map(), entries};
    return map;
}

CPage5::CPage5() = default;
CPage5::~CPage5() = default;

BOOL CPage5::OnInitDialog() {
    // Not tabSheetDialog's: the rows get the dialog font as they are made, "Add" keeps its own.
    CDialog::OnInitDialog();
    MeasureLayout();
    addButton_ = GetDlgItem(IDC_ADD_WORLD_CLOCK);
    mostRows_ = MostRowsShown(layout_, static_cast<std::size_t>(numbers_.Capacity()));
    const std::size_t shown = std::min(WorldClockList.size(), mostRows_);
    notShown_.assign(WorldClockList.begin() + static_cast<std::ptrdiff_t>(shown), WorldClockList.end());
    if (!notShown_.empty()) {
        const std::wstring text = std::wstring(dialog_text::kFirstClocksShown) + std::to_wstring(shown) +
                                  dialog_text::kClocksShownOf + std::to_wstring(WorldClockList.size()) +
                                  dialog_text::kOtherClocksKept;
        note_.reset(::CreateWindowExW(0, L"STATIC", text.c_str(), WS_CHILD | WS_VISIBLE | SS_LEFT, 0, 0, 0, 0, m_hWnd,
                                      nullptr, ::GetModuleHandleW(nullptr), nullptr));
        if (note_) ::SendMessageW(note_.get(), WM_SETFONT, reinterpret_cast<WPARAM>(DialogFont()), FALSE);
    }
    for (std::size_t k = 0; k < shown; ++k) AddRow(WorldClockList[k]);
    UpdateScrollRange();
    if (rows_.empty()) MoveAddButton(layout_.addHome);
    UpdateScrollRange();
    return TRUE;
}

void CPage5::MeasureLayout() {
    TimeZoneMeasurements m;
    m.vScrollWidth = ::GetSystemMetrics(SM_CXVSCROLL);
    m.dialogFrameWidth = ::GetSystemMetrics(SM_CXDLGFRAME);
    m.dialogFrameHeight = ::GetSystemMetrics(SM_CYDLGFRAME);
    m.edgeWidth = ::GetSystemMetrics(SM_CXEDGE);
    m.menuCheckWidth = ::GetSystemMetrics(SM_CXMENUCHECK);
    RECT tab{};
    ::GetWindowRect(::GetParent(m_hWnd), &tab);
    m.tabWidth = tab.right - tab.left;
    m.tabHeight = tab.bottom - tab.top;
    m.displayScale = ScreenDisplayScale();
    {
        WindowDc dc(m_hWnd);
        dc.UseFont(DialogFont());
        const std::wstring_view text = dialog_text::kShowThisClock;
        SIZE size{};
        ::GetTextExtentPoint32W(dc.get(), text.data(), static_cast<int>(text.size()), &size);
        m.checkTextWidth = size.cx;
        m.checkTextHeight = size.cy;
    }
    {
        const UniqueWindow probe(::CreateWindowExW(0, L"COMBOBOX", L"", WS_CHILD | CBS_DROPDOWNLIST | WS_VSCROLL, 0, 0,
                                                   0, 0, m_hWnd, nullptr, ::GetModuleHandleW(nullptr), nullptr));
        ::SendMessageW(probe.get(), WM_SETFONT, reinterpret_cast<WPARAM>(DialogFont()), FALSE);
        RECT combo{};
        ::GetWindowRect(probe.get(), &combo);
        m.comboHeight = combo.bottom - combo.top;
    }
    layout_ = ComputeTimeZoneLayout(m);
}

bool CPage5::AddRow(const WorldClock& entry) {
    const std::optional<int> number = numbers_.Take();
    if (!number) return false;
    // A row added while the page is scrolled lands right below the previous one.
    const int top = RowTop(layout_, rows_.size(), ScrollPosition());
    rows_.push_back(std::make_unique<TimeZoneRow>(m_hWnd, *number, layout_, top, entry));
    MoveAddButton(ComputeRowBoxes(layout_, top).addButton);
    if (rows_.size() >= mostRows_) ::EnableWindow(addButton_, FALSE);
    ::UpdateWindow(m_hWnd);
    return true;
}

void CPage5::MoveAddButton(const Box& box) const {
    ::SetWindowPos(addButton_, nullptr, box.left, box.top, box.Width(), box.Height(),
                   SWP_NOZORDER | SWP_NOOWNERZORDER | SWP_NOACTIVATE);
    PlaceNote(box);
}

void CPage5::PlaceNote(const Box& add) const {
    if (!note_) return;
    const int left = add.right + layout_.margin;
    const int right = std::max(left, layout_.contentWidth - layout_.margin);
    ::SetWindowPos(note_.get(), nullptr, left, add.top, right - left, 2 * layout_.textHeight,
                   SWP_NOZORDER | SWP_NOOWNERZORDER | SWP_NOACTIVATE);
}

void CPage5::UpdateScrollRange() {
    const int before = ScrollPosition();
    if (!scrollInfoReady_) {
        scrollInfo_.cbSize = sizeof scrollInfo_;
        scrollInfo_.fMask = SIF_RANGE | SIF_PAGE;
        scrollInfo_.nMin = 0;
        scrollInfo_.nPage = static_cast<UINT>(layout_.contentHeight);
        scrollInfoReady_ = true;
    }
    scrollInfo_.nMax = ScrollMaximum(layout_, rows_.size());
    ::SetScrollInfo(m_hWnd, SB_VERT, &scrollInfo_, TRUE);
    ::ShowScrollBar(m_hWnd, SB_VERT, scrollInfo_.nMax > static_cast<int>(scrollInfo_.nPage));
    // A shorter range may have lowered the position: the controls follow it.
    const int after = ScrollPosition();
    if (before >= after) ::ScrollWindow(m_hWnd, 0, before - after, nullptr, nullptr);
}

void CPage5::ScrollTo(int position) {
    const int before = ScrollPosition();
    ::SetScrollPos(m_hWnd, SB_VERT, position, TRUE);
    ::ScrollWindow(m_hWnd, 0, before - ScrollPosition(), nullptr, nullptr);
}

TimeZoneRow* CPage5::FindRow(int number) const {
    for (const auto& row : rows_)
        if (row->number() == number) return row.get();
    return nullptr;
}

void CPage5::OnAdd() {
    const TimeZoneEntry* zone = ZoneForNewRow();
    if (!zone) return;  // no catalogue, no zone to give a clock
    if (!AddRow(WorldClock{zone, 1, L""})) return;
    UpdateScrollRange();
    // Bring the end of the list, with the new row and "Add", into view.
    ScrollTo(scrollInfo_.nMax);
}

void CPage5::OnShowToggle(UINT id) {
    if (const TimeZoneRow* row = FindRow(static_cast<int>(id) - kShowCheckIdBase)) row->FollowShowCheck();
}

void CPage5::OnDelete(UINT id) {
    const int number = static_cast<int>(id) - kDeleteButtonIdBase;
    std::size_t index = 0;
    while (index < rows_.size() && rows_[index]->number() != number) ++index;
    if (index == rows_.size()) return;

    const int pitch = layout_.Pitch();
    for (std::size_t k = index; k < rows_.size(); ++k) rows_[k]->MoveBy(-pitch);
    // The focus would go with the row's button: give it to "Add".
    if (rows_[index]->Contains(::GetFocus())) ::SetFocus(addButton_);
    rows_.erase(rows_.begin() + static_cast<std::ptrdiff_t>(index));
    numbers_.Release(number);
    ::EnableWindow(addButton_, rows_.size() < mostRows_);

    if (rows_.empty()) {
        MoveAddButton(layout_.addHome);
    } else {
        const RECT add = WindowRectInParent(addButton_);
        MoveAddButton(Box{add.left, add.top - pitch, add.right, add.bottom - pitch});
    }
    UpdateScrollRange();
}

bool CPage5::OnVScroll(Message& message) {
    if (message.lParam) return false;  // a scroll bar control, not the page's own
    SCROLLINFO info{};
    info.cbSize = sizeof info;
    info.fMask = SIF_ALL;
    ::GetScrollInfo(m_hWnd, SB_VERT, &info);
    int position = info.nPos;
    switch (LOWORD(message.wParam)) {
    case SB_LINEUP: position -= layout_.textHeight; break;
    case SB_LINEDOWN: position += layout_.textHeight; break;
    case SB_PAGEUP: position -= static_cast<int>(info.nPage); break;
    case SB_PAGEDOWN: position += static_cast<int>(info.nPage); break;
    case SB_THUMBTRACK: position = info.nTrackPos; break;
    case SB_TOP: position = info.nMin; break;
    case SB_BOTTOM: position = info.nMax; break;
    default: break;
    }
    ScrollTo(position);
    message.result = 0;
    return true;
}

bool CPage5::OnMouseWheel(Message& message) {
    const short delta = GET_WHEEL_DELTA_WPARAM(message.wParam);
    Message line{WM_VSCROLL, static_cast<WPARAM>(delta < 0 ? SB_LINEDOWN : SB_LINEUP), 0};
    OnVScroll(line);
    message.result = 0;
    return true;
}

bool CPage5::OnDestroy(Message&) {
    // While the page still exists: its rows and its note destroy their own controls.
    rows_.clear();
    note_.reset();
    return false;
}

void CPage5::ApplyToSettings() {
    WorldClockList.clear();
    for (const auto& row : rows_) {
        WorldClock clock = row->ToWorldClock();
        if (clock.zone) WorldClockList.push_back(std::move(clock));
    }
    WorldClockList.insert(WorldClockList.end(), notShown_.begin(), notShown_.end());
}

}  // namespace velmora
