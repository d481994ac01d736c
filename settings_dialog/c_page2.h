#pragma once
// "Additional Options": start-up, automatic synchronisation and the time format.
#include "framework/button.h"
#include "framework/combo_box.h"
#include "settings_dialog/number_text.h"
#include "settings_dialog/tab_sheet_dialog.h"

namespace velmora {

class CPage2 : public tabSheetDialog {
public:
    BOOL OnInitDialog() override;

    // The minutes box's text as a number (read also while the box is greyed), or why it is none.
    NumberConversion MinutesConversion() const;
    // Copies the page into AppSettings. Minutes that are not a number change nothing and
    // return false.
    bool ApplyToSettings();

    HWND MinutesBox() const { return minutesBox_.m_hWnd; }

    static const MessageMap& Map();

protected:
    const MessageMap* GetMessageMap() const override { return &Map(); }

private:
    void BindControls();
    // The minutes box is enabled exactly while "Automatic every" is chosen.
    void ApplyMinutesRule();

    CButton runAtStartup_;
    CButton syncAtStart_;
    CButton automaticSync_;
    CEdit minutesBox_;
    CButton manualSync_;
    CButton twelveHour_;
    CButton twentyFourHour_;
    CButton systemFormat_;
};

}  // namespace velmora
