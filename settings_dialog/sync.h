#pragma once
// The settings dialog: a modeless, topmost frame with three pages on a tab control, "Apply"
// and "Cancel". At most one exists; it is made on demand and releases itself when it closes.
#include "framework/dialog.h"
#include "framework/tab_ctrl.h"
#include "settings_dialog/c_page1.h"
#include "settings_dialog/c_page2.h"
#include "settings_dialog/c_page5.h"
#include "settings_dialog/settings_host.h"

namespace velmora {

class SYNC : public CDialogEx {
public:
    // `host`: told when the settings are applied; null for a dialog on its own (tests).
    explicit SYNC(SettingsHost* host = nullptr);
    ~SYNC() override;

    // Checks both number boxes first: if either holds no usable number nothing changes, the
    // box's page comes to the front, the box is focused and selected and the user is told.
    // Otherwise copies every page into the settings, saves them all, re-arms automatic
    // synchronisation and closes the dialog.
    void Apply();

    // Brings the page at `index` to the front, as a click on its tab would.
    void SelectPage(int index);
    // Ctrl+Tab and Ctrl+PgDn: the next page; Ctrl+Shift+Tab and Ctrl+PgUp: the one before,
    // round from the last to the first. The focus goes to the page's first control.
    bool PreTranslateMessage(MSG& msg) override;

    CTabCtrl& Tabs() { return tabs_; }
    CPage1& ServersPage() { return serversPage_; }
    CPage2& OptionsPage() { return optionsPage_; }
    CPage5& TimeZonePage() { return timeZonePage_; }

    static const MessageMap& Map();

protected:
    const MessageMap* GetMessageMap() const override { return &Map(); }
    BOOL OnInitDialog() override;
    // There is no OK command: Enter does nothing.
    void OnOK() override {}
    // Escape, like "Cancel" and the close box, closes without applying.
    void OnCancel() override;
    void PostNcDestroy() override;

private:
    void BindControls();
    CDialog* PageAt(int index) const;
    bool OnTabChanging(NMHDR& header, LRESULT& result);
    bool OnTabChanged(NMHDR& header, LRESULT& result);
    bool OnClose(Message& message);
    void OnCancelButton() { OnCancel(); }
    // Takes the user to a number box that Apply cannot read.
    void PointAtBadNumber(int pageIndex, HWND box, const wchar_t* problem, const wchar_t* failure);

    SettingsHost* host_;
    CTabCtrl tabs_;
    CPage1 serversPage_;
    CPage2 optionsPage_;
    CPage5 timeZonePage_;
};

// The one settings dialog, or null while none is open.
extern SYNC* SettingsDialog;

// Opens the settings dialog, or brings the open one to the front as it stands.
void OpenSettingsDialog(SettingsHost* host = nullptr, HWND owner = nullptr);
// Destroys the settings dialog without applying anything; SettingsDialog is null afterwards.
void CloseSettingsDialog();

}  // namespace velmora
