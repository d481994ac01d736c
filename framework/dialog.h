#pragma once
// CDialog: a modeless dialog from a resource template or a template built in memory.
// CDialogEx adds a background colour.
#include <windows.h>

#include <cstddef>
#include <string>
#include <vector>

#include "framework/unique_handle.h"
#include "framework/wnd.h"

namespace velmora {

class CDialog : public CWnd {
public:
    // Creates the dialog from template `templateId` of this program's resources.
    bool Create(UINT templateId, HWND parent = nullptr);
    // Creates it from a template in memory (see DialogTemplate).
    bool CreateIndirect(const DLGTEMPLATE* dialogTemplate, HWND parent = nullptr);

    // Called once the controls exist; return TRUE to let the system set the focus.
    virtual BOOL OnInitDialog() { return TRUE; }
    // Enter and Escape (IDOK, IDCANCEL). A modeless dialog is destroyed by default.
    virtual void OnOK() { DestroyWindow(); }
    virtual void OnCancel() { DestroyWindow(); }

    // Modeless dialogs get keyboard navigation from the message loops.
    static bool IsDialogMessage(MSG& msg);
    // A key for the dialog or one of its controls, before the dialog manager sees it; true
    // when it was handled (a key the dialog gives a meaning of its own).
    virtual bool PreTranslateMessage(MSG&) { return false; }
    // How many modeless dialogs are open (for tests and diagnostics).
    static std::size_t OpenDialogCount();

    static const MessageMap& Map();

protected:
    const MessageMap* GetMessageMap() const override { return &Map(); }

private:
    static INT_PTR CALLBACK DialogProc(HWND window, UINT message, WPARAM w, LPARAM l);
    bool HandleInitDialog(Message& message);
    void HandleOk() { OnOK(); }
    void HandleCancel() { OnCancel(); }
};

class CDialogEx : public CDialog {
public:
    void SetBackgroundColor(COLORREF color);

    static const MessageMap& Map();

protected:
    const MessageMap* GetMessageMap() const override { return &Map(); }

private:
    bool OnCtlColorDialog(Message& message);
    UniqueBrush background_;
};

// Builds a DLGTEMPLATE with no controls in memory (WORD-aligned, as the system wants it).
class DialogTemplate {
public:
    DialogTemplate(DWORD style, DWORD exStyle, short x = 0, short y = 0, short width = 0, short height = 0,
                   const std::wstring& title = {});
    const DLGTEMPLATE* Get() const { return reinterpret_cast<const DLGTEMPLATE*>(words_.data()); }

private:
    std::vector<WORD> words_;
};

}  // namespace velmora
