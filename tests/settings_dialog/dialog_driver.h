#pragma once
// Drives the real settings dialog by messages, against the settings store in scratch registry
// keys, with Apply's message box replaced by a recorder.
#include <windows.h>

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "settings/world_clocks.h"
#include "settings_dialog/apply_failure_notice.h"
#include "settings_dialog/sync.h"
#include "tests/settings/scratch_registry.h"
#include "tests/support/message_pump.h"

namespace velmora::testing {

struct RecordedNotice {
    HWND owner;
    std::wstring text;
    std::wstring caption;
};

// Every value under a key and its subkeys, by "subkey\name".
using RegistrySnapshot = std::map<std::wstring, StoredValue>;
RegistrySnapshot SnapshotTree(HKEY root, const std::wstring& path);
bool operator==(const StoredValue& a, const StoredValue& b);

// A world clock reduced to what can be compared.
struct ClockView {
    std::wstring zoneKey;
    std::int32_t enabled;
    std::wstring name;
    bool operator==(const ClockView&) const = default;
};
std::vector<ClockView> ViewOf(const std::vector<WorldClock>& clocks);
void PrintTo(const ClockView& clock, std::ostream* os);

class SettingsDialogTest : public ScratchRegistryTest {
protected:
    void SetUp() override;
    void TearDown() override;

public:  // for the tables of actions in the tests

    // Opens the dialog (or brings it forward) and returns it.
    SYNC& Open();
    SYNC& Dialog() { return *SettingsDialog; }
    HWND Control(CDialog& page, int id) { return page.GetDlgItem(id); }

    // The tab control's own path: notifications to the frame, as a click on the tab does.
    void ShowTab(int index);
    int CurrentTab();
    void Click(HWND button) { ::SendMessageW(button, BM_CLICK, 0, 0); }
    void Type(HWND box, const std::wstring& text) { ::SetWindowTextW(box, text.c_str()); }
    std::wstring Text(HWND window);
    bool Checked(HWND button) { return ::SendMessageW(button, BM_GETCHECK, 0, 0) == BST_CHECKED; }
    void PressApply() { Click(Dialog().GetDlgItem(1055)); }
    // A key press as the program's message loops hand it to the dialog manager.
    bool PressKey(HWND focus, WPARAM key);

    // The settings key with its world clocks, and the Run key.
    RegistrySnapshot Stored();

    std::vector<RecordedNotice> notices;

private:
    ApplyFailureNotice previousNotice_;
};


}  // namespace velmora::testing
