#include "settings_dialog/c_page2.h"

#include "resources/resource_ids.h"
#include "settings/app_settings.h"

namespace velmora {

namespace {

int CheckFor(bool checked) { return checked ? BST_CHECKED : BST_UNCHECKED; }

}  // namespace

const MessageMap& CPage2::Map() {
    static constexpr MessageMapEntry entries[] = {
        OnCommand<&CPage2::ApplyMinutesRule>(IDC_MANUAL_SYNC, BN_CLICKED),
        OnCommand<&CPage2::ApplyMinutesRule>(IDC_AUTOMATIC_SYNC, BN_CLICKED),
    };
    static const MessageMap map{&tabSheetDialog::Map(), entries};
    return map;
}

void CPage2::BindControls() {
    runAtStartup_.SubclassDlgItem(IDC_RUN_AT_STARTUP, *this);
    syncAtStart_.SubclassDlgItem(IDC_SYNC_AT_START, *this);
    automaticSync_.SubclassDlgItem(IDC_AUTOMATIC_SYNC, *this);
    minutesBox_.SubclassDlgItem(IDC_SYNC_MINUTES, *this);
    manualSync_.SubclassDlgItem(IDC_MANUAL_SYNC, *this);
    twelveHour_.SubclassDlgItem(IDC_TWELVE_HOUR, *this);
    twentyFourHour_.SubclassDlgItem(IDC_TWENTY_FOUR_HOUR, *this);
    systemFormat_.SubclassDlgItem(IDC_SYSTEM_TIME_FORMAT, *this);
}

BOOL CPage2::OnInitDialog() {
    tabSheetDialog::OnInitDialog();
    BindControls();
    const SettingsRecord& s = AppSettings;
    runAtStartup_.SetCheck(CheckFor(s.runAtStartup != 0));
    syncAtStart_.SetCheck(CheckFor(s.syncAtStart != 0));
    automaticSync_.SetCheck(CheckFor(s.syncAutomatically != 0));
    minutesBox_.SetWindowText(std::to_wstring(s.syncEveryMinutes));
    manualSync_.SetCheck(CheckFor(s.syncAutomatically == 0));
    // Any other stored format leaves all three clear.
    twelveHour_.SetCheck(CheckFor(s.timeFormat == 12));
    twentyFourHour_.SetCheck(CheckFor(s.timeFormat == 24));
    systemFormat_.SetCheck(CheckFor(s.timeFormat == 0));
    ApplyMinutesRule();
    return TRUE;
}

void CPage2::ApplyMinutesRule() { minutesBox_.EnableWindow(automaticSync_.GetCheck() == BST_CHECKED); }

NumberConversion CPage2::MinutesConversion() const { return ConvertNumberText(minutesBox_.GetWindowText()); }

bool CPage2::ApplyToSettings() {
    const NumberConversion minutes = MinutesConversion();
    if (!minutes.ok()) return false;
    SettingsRecord& s = AppSettings;
    s.runAtStartup = runAtStartup_.GetCheck() == BST_CHECKED ? 1 : 0;
    s.syncAtStart = syncAtStart_.GetCheck() == BST_CHECKED ? 1 : 0;
    s.syncAutomatically = automaticSync_.GetCheck() == BST_CHECKED ? 1 : 0;
    s.syncEveryMinutes = minutes.value;
    s.timeFormat = twelveHour_.GetCheck() == BST_CHECKED ? 12 : twentyFourHour_.GetCheck() == BST_CHECKED ? 24 : 0;
    return true;
}

}  // namespace velmora
