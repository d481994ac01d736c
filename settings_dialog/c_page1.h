#pragma once
// "Synchronization Servers": a built-in server from the list, or a custom host and port.
#include "framework/button.h"
#include "framework/combo_box.h"
#include "settings_dialog/number_text.h"
#include "settings_dialog/tab_sheet_dialog.h"

namespace velmora {

class CPage1 : public tabSheetDialog {
public:
    BOOL OnInitDialog() override;

    // The port box's text as a number, or why it is none.
    NumberConversion PortConversion() const;
    // Copies the page into AppSettings. A port that is not a number changes nothing and
    // returns false.
    bool ApplyToSettings();

    HWND PortBox() const { return portBox_.m_hWnd; }

    static const MessageMap& Map();

protected:
    const MessageMap* GetMessageMap() const override { return &Map(); }

private:
    void BindControls();
    // The list for a built-in server, the host and port boxes for a custom one.
    void ApplyEnablingRule();

    CButton builtInServer_;
    CComboBox serverList_;
    CButton customServer_;
    CEdit hostBox_;
    CEdit portBox_;
};

}  // namespace velmora
