#pragma once
// The base of the settings dialog's pages: child dialogs of the tab control, drawn on white,
// their controls in the dialog font.
#include "framework/dialog.h"

namespace velmora {

class tabSheetDialog : public CDialog {
public:
    // Gives every child control DialogFont.
    BOOL OnInitDialog() override;
    // Enter inside a page does nothing.
    void OnOK() override {}
    // Escape inside a page closes the whole settings dialog, like its Cancel.
    void OnCancel() override;

    static const MessageMap& Map();

protected:
    const MessageMap* GetMessageMap() const override { return &Map(); }

private:
    bool OnCtlColor(Message& message);
};

}  // namespace velmora
