#include "settings_dialog/c_page1.h"

#include "resources/resource_ids.h"
#include "settings/app_settings.h"
#include "settings/server_selection.h"
#include "settings_dialog/closed_list_wheel.h"

namespace velmora {

namespace {

// The stored address is read back into a buffer of this many characters, terminator included.
constexpr int kHostCapacity = 255;

}  // namespace

const MessageMap& CPage1::Map() {
    static constexpr MessageMapEntry entries[] = {
        OnCommand<&CPage1::ApplyEnablingRule>(IDC_BUILT_IN_SERVER, BN_CLICKED),
        OnCommand<&CPage1::ApplyEnablingRule>(IDC_CUSTOM_SERVER, BN_CLICKED),
    };
    static const MessageMap map{&tabSheetDialog::Map(), entries};
    return map;
}

void CPage1::BindControls() {
    builtInServer_.SubclassDlgItem(IDC_BUILT_IN_SERVER, *this);
    // Before the framework's subclass, which puts back the procedure it found when it goes.
    PassWheelWhileClosed(GetDlgItem(IDC_SERVER_LIST));
    serverList_.SubclassDlgItem(IDC_SERVER_LIST, *this);
    customServer_.SubclassDlgItem(IDC_CUSTOM_SERVER, *this);
    hostBox_.SubclassDlgItem(IDC_CUSTOM_HOST, *this);
    portBox_.SubclassDlgItem(IDC_CUSTOM_PORT, *this);
}

BOOL CPage1::OnInitDialog() {
    tabSheetDialog::OnInitDialog();
    BindControls();
    const SettingsRecord& s = AppSettings;
    builtInServer_.SetCheck(s.useBuiltInServer != 0 ? BST_CHECKED : BST_UNCHECKED);
    customServer_.SetCheck(s.useBuiltInServer == 0 ? BST_CHECKED : BST_UNCHECKED);
    for (const std::wstring& host : ServerList) serverList_.AddString(host);
    serverList_.SetCurSel(s.selectedServerId);
    // Longer text could not be stored whole.
    hostBox_.SetLimitText(kHostCapacity - 1);
    hostBox_.SetWindowText(s.customServerAddress);
    portBox_.SetWindowText(std::to_wstring(s.customServerPort));
    ApplyEnablingRule();
    return TRUE;
}

void CPage1::ApplyEnablingRule() {
    const bool builtIn = builtInServer_.GetCheck() == BST_CHECKED;
    serverList_.EnableWindow(builtIn);
    hostBox_.EnableWindow(!builtIn);
    portBox_.EnableWindow(!builtIn);
}

NumberConversion CPage1::PortConversion() const { return ConvertNumberText(portBox_.GetWindowText()); }

bool CPage1::ApplyToSettings() {
    const NumberConversion port = PortConversion();
    if (!port.ok()) return false;
    SettingsRecord& s = AppSettings;
    s.useBuiltInServer = builtInServer_.GetCheck() == BST_CHECKED ? 1 : 0;
    s.selectedServerId = serverList_.GetCurSel();
    std::wstring host = hostBox_.GetWindowText();
    if (host.size() > kHostCapacity - 1) host.resize(kHostCapacity - 1);
    s.customServerAddress = std::move(host);
    s.customServerPort = port.value;
    return true;
}

}  // namespace velmora
