#include "tests/settings_dialog/dialog_driver.h"

#include <commctrl.h>

#include <ostream>

#include "framework/dialog.h"
#include "settings/settings_store.h"

namespace velmora::testing {

namespace {

void AddTree(HKEY root, const std::wstring& path, const std::wstring& prefix, RegistrySnapshot& into) {
    for (const std::wstring& name : StoredValueNames(root, path))
        if (const auto value = ReadStored(root, path, name.c_str())) into[prefix + name] = *value;
    for (const std::wstring& subkey : StoredSubkeyNames(root, path))
        AddTree(root, path + L"\\" + subkey, prefix + subkey + L"\\", into);
}

}  // namespace

RegistrySnapshot SnapshotTree(HKEY root, const std::wstring& path) {
    RegistrySnapshot snapshot;
    AddTree(root, path, L"", snapshot);
    return snapshot;
}

bool operator==(const StoredValue& a, const StoredValue& b) { return a.type == b.type && a.data == b.data; }

std::vector<ClockView> ViewOf(const std::vector<WorldClock>& clocks) {
    std::vector<ClockView> views;
    for (const WorldClock& clock : clocks)
        views.push_back(ClockView{clock.zone ? clock.zone->keyName : L"(none)", clock.enabled, clock.name});
    return views;
}

void PrintTo(const ClockView& clock, std::ostream* os) {
    *os << ::testing::PrintToString(clock.zoneKey) << "/" << clock.enabled << "/"
        << ::testing::PrintToString(clock.name);
}

void SettingsDialogTest::SetUp() {
    ScratchRegistryTest::SetUp();
    previousNotice_ = SetApplyFailureNotice([this](HWND owner, const std::wstring& text, const wchar_t* caption) {
        notices.push_back(RecordedNotice{owner, text, caption ? caption : L""});
    });
}

void SettingsDialogTest::TearDown() {
    CloseSettingsDialog();
    EXPECT_EQ(SettingsDialog, nullptr);
    SetApplyFailureNotice(previousNotice_);
    ScratchRegistryTest::TearDown();
}

SYNC& SettingsDialogTest::Open() {
    OpenSettingsDialog();
    EXPECT_NE(SettingsDialog, nullptr);
    EXPECT_NE(SettingsDialog->m_hWnd, nullptr);
    return *SettingsDialog;
}

void SettingsDialogTest::ShowTab(int index) {
    ::SendMessageW(Dialog().Tabs().m_hWnd, TCM_SETCURFOCUS, static_cast<WPARAM>(index), 0);
}

int SettingsDialogTest::CurrentTab() { return Dialog().Tabs().GetCurSel(); }

std::wstring SettingsDialogTest::Text(HWND window) {
    wchar_t buffer[1024] = {};
    ::GetWindowTextW(window, buffer, static_cast<int>(std::size(buffer)));
    return buffer;
}

bool SettingsDialogTest::PressKey(HWND focus, WPARAM key) {
    ::SetFocus(focus);
    MSG msg{};
    msg.hwnd = focus;
    msg.message = WM_KEYDOWN;
    msg.wParam = key;
    return CDialog::IsDialogMessage(msg);
}

RegistrySnapshot SettingsDialogTest::Stored() {
    RegistrySnapshot snapshot = SnapshotTree(HKEY_CURRENT_USER, SettingsPath());
    for (auto& [name, value] : SnapshotTree(HKEY_CURRENT_USER, RunPath())) snapshot[L"(Run)\\" + name] = value;
    return snapshot;
}

}  // namespace velmora::testing
