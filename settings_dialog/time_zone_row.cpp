#include "settings_dialog/time_zone_row.h"

#include <cstring>
#include <iterator>

#include "framework/trace.h"
#include "framework/wnd.h"
#include "settings/dialog_font.h"
#include "settings_dialog/closed_list_wheel.h"
#include "settings_dialog/dialog_texts.h"
#include "settings_dialog/row_numbers.h"

namespace velmora {

namespace {

// A stored name longer than this would be read back as empty.
constexpr int kNameCapacity = 259;

HWND MakeControl(HWND page, const wchar_t* windowClass, const wchar_t* text, DWORD style, const Box& box, int id) {
    const HWND control =
        ::CreateWindowExW(0, windowClass, text, WS_CHILD | WS_VISIBLE | style, box.left, box.top, box.Width(),
                          box.Height(), page, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                          ::GetModuleHandleW(nullptr), nullptr);
    if (!control) {
        TraceLastError(L"making a world-clock row control");
        return nullptr;
    }
    ::SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(DialogFont()), TRUE);
    return control;
}

int CatalogueIndex(const TimeZoneEntry* zone) {
    const std::vector<TimeZoneEntry>& catalogue = TimeZoneCatalogue;
    if (!zone || catalogue.empty() || zone < catalogue.data() || zone >= catalogue.data() + catalogue.size())
        return -1;
    return static_cast<int>(zone - catalogue.data());
}

}  // namespace

TimeZoneRow::TimeZoneRow(HWND page, int number, const TimeZoneLayout& layout, int top, const WorldClock& entry)
    : number_(number) {
    const RowControlIds ids = RowControlIdsFor(number);
    const RowBoxes boxes = ComputeRowBoxes(layout, top);
    const bool enabled = entry.enabled != 0;

    groupBox_.reset(MakeControl(page, L"BUTTON", dialog_text::kRowFrame, BS_GROUPBOX, boxes.groupBox, ids.groupBox));
    showCheck_.reset(MakeControl(page, L"BUTTON", dialog_text::kShowThisClock, BS_AUTOCHECKBOX, boxes.showCheck,
                                 ids.showCheck));
    ::SendMessageW(showCheck_.get(), BM_SETCHECK, enabled ? BST_CHECKED : BST_UNCHECKED, 0);

    zoneLabel_.reset(MakeControl(page, L"STATIC", dialog_text::kSelectTimeZone, SS_LEFT, boxes.zoneLabel, ids.zoneLabel));
    zoneList_.reset(
        MakeControl(page, L"COMBOBOX", L"", CBS_DROPDOWNLIST | WS_VSCROLL, boxes.zoneList, ids.zoneList));
    PassWheelWhileClosed(zoneList_.get());
    // Every row lists the whole catalogue: room for it at once, and no drawing while it fills.
    ::SendMessageW(zoneList_.get(), WM_SETREDRAW, FALSE, 0);
    ::SendMessageW(zoneList_.get(), CB_INITSTORAGE, TimeZoneCatalogue.size(), sizeof(TimeZoneEntry::displayName));
    for (const TimeZoneEntry& zone : TimeZoneCatalogue)
        ::SendMessageW(zoneList_.get(), CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(zone.displayName));
    ::SendMessageW(zoneList_.get(), WM_SETREDRAW, TRUE, 0);
    ::EnableWindow(zoneList_.get(), enabled);
    ::SendMessageW(zoneList_.get(), CB_SETCURSEL, static_cast<WPARAM>(CatalogueIndex(entry.zone)), 0);

    nameLabel_.reset(
        MakeControl(page, L"STATIC", dialog_text::kEnterDisplayName, SS_LEFT, boxes.nameLabel, ids.nameLabel));
    nameBox_.reset(MakeControl(page, L"EDIT", L"", WS_BORDER | ES_LEFT, boxes.nameBox, ids.nameBox));
    ::SendMessageW(nameBox_.get(), EM_SETLIMITTEXT, kNameCapacity, 0);
    ::EnableWindow(nameBox_.get(), enabled);
    ::SetWindowTextW(nameBox_.get(), entry.name.c_str());

    deleteButton_.reset(
        MakeControl(page, L"BUTTON", dialog_text::kDelete, BS_PUSHBUTTON, boxes.deleteButton, ids.deleteButton));
}

void TimeZoneRow::FollowShowCheck() const {
    const bool shown = ::SendMessageW(showCheck_.get(), BM_GETCHECK, 0, 0) == BST_CHECKED;
    for (const HWND control : {zoneList_.get(), nameBox_.get(), zoneLabel_.get(), nameLabel_.get()})
        ::EnableWindow(control, shown);
}

void TimeZoneRow::MoveBy(int dy) const {
    for (const HWND control : {deleteButton_.get(), nameBox_.get(), zoneList_.get(), zoneLabel_.get(),
                               nameLabel_.get(), groupBox_.get(), showCheck_.get()}) {
        if (!control) continue;
        const RECT rect = WindowRectInParent(control);
        ::MoveWindow(control, rect.left, rect.top + dy, rect.right - rect.left, rect.bottom - rect.top, TRUE);
    }
}

bool TimeZoneRow::Contains(HWND window) const {
    for (const HWND control : {deleteButton_.get(), nameBox_.get(), zoneList_.get(), zoneLabel_.get(),
                               nameLabel_.get(), groupBox_.get(), showCheck_.get()})
        if (control && control == window) return true;
    return false;
}

WorldClock TimeZoneRow::ToWorldClock() const {
    WorldClock clock;
    clock.enabled = ::SendMessageW(showCheck_.get(), BM_GETCHECK, 0, 0) == BST_CHECKED ? 1 : 0;
    std::wstring name(static_cast<std::size_t>(::GetWindowTextLengthW(nameBox_.get())) + 1, L'\0');
    name.resize(static_cast<std::size_t>(::GetWindowTextW(nameBox_.get(), name.data(), static_cast<int>(name.size()))));
    clock.name = std::move(name);
    const LRESULT selected = ::SendMessageW(zoneList_.get(), CB_GETCURSEL, 0, 0);
    if (selected >= 0 && static_cast<std::size_t>(selected) < TimeZoneCatalogue.size())
        clock.zone = &TimeZoneCatalogue[static_cast<std::size_t>(selected)];
    return clock;
}

const TimeZoneEntry* ZoneForNewRow(const DYNAMIC_TIME_ZONE_INFORMATION& pcZone) {
    // The key name first: the names inside TIME_ZONE_INFORMATION are translated on many
    // systems, so its bytes rarely equal the registry's English ones.
    if (const TimeZoneEntry* byKey = FindZoneByKeyName(pcZone.TimeZoneKeyName)) return byKey;
    static_assert(sizeof(TIME_ZONE_INFORMATION) == 172);
    for (const TimeZoneEntry& entry : TimeZoneCatalogue)
        if (std::memcmp(&entry.tzi, &pcZone, sizeof(TIME_ZONE_INFORMATION)) == 0) return &entry;
    // No display name says "New York"; the key name is the same in every language.
    if (const TimeZoneEntry* newYork = FindZoneByKeyName(L"Eastern Standard Time")) return newYork;
    return FindZoneByDisplayText(L"New York");
}

const TimeZoneEntry* ZoneForNewRow() {
    DYNAMIC_TIME_ZONE_INFORMATION pcZone{};
    if (::GetDynamicTimeZoneInformation(&pcZone) == TIME_ZONE_ID_INVALID) pcZone = DYNAMIC_TIME_ZONE_INFORMATION{};
    return ZoneForNewRow(pcZone);
}

}  // namespace velmora
