#pragma once
// CWnd: a C++ object bound to one window. Messages reach the object's message map through
// one window procedure; whatever no entry handles goes to the default procedure.
#include <windows.h>

#include <cstddef>
#include <string>

#include "framework/message_map.h"

namespace velmora {

class CWnd {
public:
    CWnd() = default;
    // Detaches first, so a window outliving its object never reaches freed memory.
    virtual ~CWnd();
    CWnd(const CWnd&) = delete;
    CWnd& operator=(const CWnd&) = delete;

    HWND m_hWnd = nullptr;
    HWND GetSafeHwnd() const { return m_hWnd; }

    // The object bound to a window by this framework, or null. Only for windows of the
    // calling thread, which is where their messages arrive.
    static CWnd* FromHandle(HWND window);
    // How many windows of this thread are bound to objects (for tests and diagnostics).
    static std::size_t BoundObjectCount();

    // A window class whose procedure is the framework's. Registered once per distinct
    // combination; returns its name.
    static const wchar_t* RegisterWindowClass(UINT style = 0, HCURSOR cursor = nullptr, HBRUSH background = nullptr,
                                              HICON icon = nullptr);

    bool CreateEx(DWORD exStyle, const wchar_t* className, const wchar_t* title, DWORD style, int x, int y, int width,
                  int height, HWND parent, HMENU menuOrId);

    // Binds a control of a dialog to this object (control binding by id).
    bool SubclassDlgItem(UINT id, CWnd& parent);
    bool SubclassWindow(HWND window);

    bool DestroyWindow();

    // The window's own modal loop: returns when EndModalLoop is called (with its result)
    // or when the window is destroyed (-1).
    int RunModalLoop();
    void EndModalLoop(int result);
    bool InModalLoop() const { return modalRunning_; }

    // Thin conveniences over the window's handle.
    HWND GetDlgItem(int id) const { return ::GetDlgItem(m_hWnd, id); }
    int GetDlgCtrlID() const { return ::GetDlgCtrlID(m_hWnd); }
    bool ShowWindow(int command) const { return ::ShowWindow(m_hWnd, command); }
    bool IsWindowVisible() const { return ::IsWindowVisible(m_hWnd); }
    LRESULT SendMessage(UINT message, WPARAM w = 0, LPARAM l = 0) const { return ::SendMessageW(m_hWnd, message, w, l); }
    bool PostMessage(UINT message, WPARAM w = 0, LPARAM l = 0) const { return ::PostMessageW(m_hWnd, message, w, l); }
    UINT_PTR SetTimer(UINT_PTR id, UINT elapse) const { return ::SetTimer(m_hWnd, id, elapse, nullptr); }
    bool KillTimer(UINT_PTR id) const { return ::KillTimer(m_hWnd, id); }
    std::wstring GetWindowText() const;
    void SetWindowText(const std::wstring& text) const { ::SetWindowTextW(m_hWnd, text.c_str()); }
    bool EnableWindow(bool enable) const { return ::EnableWindow(m_hWnd, enable); }
    bool IsWindowEnabled() const { return ::IsWindowEnabled(m_hWnd); }
    bool MoveWindow(const RECT& rect, bool repaint = true) const {
        return ::MoveWindow(m_hWnd, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top, repaint);
    }
    void SetFont(HFONT font, bool redraw = true) const { SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(font), redraw); }

    // Each class's map; a derived class's map names its base class's Map() as its base.
    static const MessageMap& Map();

protected:
    virtual const MessageMap* GetMessageMap() const { return &Map(); }

    // Looks the message up in the map chain, then offers reflected notifications to the
    // child that sent them. True when something handled it.
    virtual bool OnWndMsg(Message& message);

    // A notification (WM_COMMAND, WM_NOTIFY, WM_DRAWITEM, WM_CTLCOLOR*) that the parent
    // reflects to the child object it came from.
    virtual bool OnChildNotify(Message& message);

    // After the window is gone (WM_NCDESTROY); an object that owns itself may delete itself here.
    virtual void PostNcDestroy() {}

    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM w, LPARAM l);

    void Attach(HWND window);
    void Detach();

    // Dispatches one message; returns whether it was handled and, through `message`, the result.
    // Safe when a handler destroys the window (and with it, possibly, this object).
    static bool Dispatch(CWnd* self, HWND window, Message& message);

    WNDPROC superProc_ = nullptr;  // the control's own procedure when subclassed

private:
    bool modalRunning_ = false;
    int modalResult_ = -1;
};

// A child window's rectangle in its parent's client coordinates (what MoveWindow takes).
RECT WindowRectInParent(HWND window);

}  // namespace velmora
