#include "framework/wnd.h"

#include <map>
#include <tuple>
#include <unordered_map>

#include "framework/trace.h"
#include "framework/win_app.h"

namespace velmora {
namespace {

// The objects bound to this thread's windows. Looked up on every message, so it is the
// framework's own table: a window property would cost a wineserver round trip each time, and
// another process could forge it. A window's messages all arrive on its own thread. Never
// freed: an object destroyed during the process's exit may still detach itself.
std::unordered_map<HWND, CWnd*>& BoundObjects() {
    thread_local auto* objects = new std::unordered_map<HWND, CWnd*>;
    return *objects;
}

bool Matches(const MessageMapEntry& entry, const Message& m) {
    switch (entry.kind) {
    case EntryKind::Message:
        return entry.message == m.message;
    case EntryKind::Command: {
        if (m.message != WM_COMMAND) return false;
        const UINT id = LOWORD(m.wParam);
        return id >= entry.firstId && id <= entry.lastId && (entry.code == kAnyCode || entry.code == HIWORD(m.wParam));
    }
    case EntryKind::Notify: {
        if (m.message != WM_NOTIFY || !m.lParam) return false;
        const auto& header = *reinterpret_cast<const NMHDR*>(m.lParam);
        return header.idFrom >= entry.firstId && header.idFrom <= entry.lastId &&
               (entry.code == kAnyCode || entry.code == header.code);
    }
    }
    return false;
}

// The child window a notification came from, for reflection.
HWND NotifyingChild(const Message& m) {
    switch (m.message) {
    case WM_COMMAND:
        return reinterpret_cast<HWND>(m.lParam);
    case WM_NOTIFY:
        return m.lParam ? reinterpret_cast<const NMHDR*>(m.lParam)->hwndFrom : nullptr;
    case WM_DRAWITEM:
        return m.lParam ? reinterpret_cast<const DRAWITEMSTRUCT*>(m.lParam)->hwndItem : nullptr;
    case WM_CTLCOLORBTN:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC:
        return reinterpret_cast<HWND>(m.lParam);
    default:
        return nullptr;
    }
}

}  // namespace

const MessageMap& CWnd::Map() {
    static const MessageMap map{nullptr, {}};
    return map;
}

CWnd::~CWnd() {
    if (!m_hWnd) return;
    const HWND window = m_hWnd;
    Detach();
    ::DestroyWindow(window);
}

CWnd* CWnd::FromHandle(HWND window) {
    if (!window) return nullptr;
    const auto& objects = BoundObjects();
    const auto found = objects.find(window);
    return found == objects.end() ? nullptr : found->second;
}

std::size_t CWnd::BoundObjectCount() { return BoundObjects().size(); }

void CWnd::Attach(HWND window) {
    m_hWnd = window;
    BoundObjects()[window] = this;
}

void CWnd::Detach() {
    if (!m_hWnd) return;
    BoundObjects().erase(m_hWnd);
    if (superProc_) {
        ::SetWindowLongPtrW(m_hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(superProc_));
        superProc_ = nullptr;
    }
    m_hWnd = nullptr;
}

const wchar_t* CWnd::RegisterWindowClass(UINT style, HCURSOR cursor, HBRUSH background, HICON icon) {
    // User-interface thread only, like every window operation.
    static std::map<std::tuple<UINT, HCURSOR, HBRUSH, HICON>, std::wstring> registered;
    const auto key = std::make_tuple(style, cursor, background, icon);
    if (auto found = registered.find(key); found != registered.end()) return found->second.c_str();
    std::wstring name = L"VelmoraWnd:" + std::to_wstring(registered.size());
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.style = style;
    wc.lpfnWndProc = WindowProc;
    wc.hInstance = ::GetModuleHandleW(nullptr);
    wc.hCursor = cursor;
    wc.hbrBackground = background;
    wc.hIcon = icon;
    wc.lpszClassName = name.c_str();
    if (!::RegisterClassExW(&wc)) {
        // Creating a window of this class then fails too, and its caller says so.
        TraceLastError(L"registering window class " + name);
        return nullptr;
    }
    return registered.emplace(key, std::move(name)).first->second.c_str();
}

bool CWnd::CreateEx(DWORD exStyle, const wchar_t* className, const wchar_t* title, DWORD style, int x, int y,
                    int width, int height, HWND parent, HMENU menuOrId) {
    return ::CreateWindowExW(exStyle, className, title, style, x, y, width, height, parent, menuOrId,
                             ::GetModuleHandleW(nullptr), this) != nullptr;
}

bool CWnd::SubclassDlgItem(UINT id, CWnd& parent) { return SubclassWindow(parent.GetDlgItem(static_cast<int>(id))); }

bool CWnd::SubclassWindow(HWND window) {
    if (!window || m_hWnd || FromHandle(window)) return false;
    Attach(window);
    superProc_ = reinterpret_cast<WNDPROC>(
        ::SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&CWnd::WindowProc)));
    return true;
}

bool CWnd::DestroyWindow() { return m_hWnd && ::DestroyWindow(m_hWnd); }

std::wstring CWnd::GetWindowText() const {
    std::wstring text(static_cast<std::size_t>(::GetWindowTextLengthW(m_hWnd)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(::GetWindowTextW(m_hWnd, text.data(), static_cast<int>(text.size()))));
    return text;
}

RECT WindowRectInParent(HWND window) {
    RECT rect{};
    ::GetWindowRect(window, &rect);
    // Two points: MapWindowPoints with a RECT would swap left and right in a mirrored parent.
    ::MapWindowPoints(nullptr, ::GetParent(window), reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

int CWnd::RunModalLoop() {
    const HWND window = m_hWnd;
    modalRunning_ = true;
    modalResult_ = -1;
    MSG msg;
    // IsWindow first: once the window is gone, this object may be gone too.
    while (::IsWindow(window) && modalRunning_) {
        const BOOL got = ::GetMessageW(&msg, nullptr, 0, 0);
        if (got == -1) break;
        if (got == 0) {
            ::PostQuitMessage(static_cast<int>(msg.wParam));  // leave WM_QUIT for the outer loop
            break;
        }
        if (!CWinApp::PreTranslateMessage(msg)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageW(&msg);
        }
    }
    if (!::IsWindow(window)) return -1;
    modalRunning_ = false;
    return modalResult_;
}

void CWnd::EndModalLoop(int result) {
    modalResult_ = result;
    modalRunning_ = false;
    ::PostMessageW(m_hWnd, WM_NULL, 0, 0);  // wake GetMessage
}

bool CWnd::OnWndMsg(Message& message) {
    for (const MessageMap* map = GetMessageMap(); map; map = map->base)
        for (const MessageMapEntry& entry : map->entries)
            if (Matches(entry, message) && entry.handler(*this, message)) return true;
    if (CWnd* child = FromHandle(NotifyingChild(message)); child && child != this) return child->OnChildNotify(message);
    return false;
}

bool CWnd::OnChildNotify(Message&) { return false; }

bool CWnd::Dispatch(CWnd* self, HWND window, Message& message) {
    const bool wasModal = self->modalRunning_;
    bool handled = false;
    try {
        handled = self->OnWndMsg(message);
    } catch (...) {
        // Nothing may unwind through the system's window procedure.
        handled = false;
    }
    // A handler may have destroyed the window and with it this object: touch it only if
    // it is still bound to the window.
    if (message.message == WM_NCDESTROY && FromHandle(window) == self) {
        self->Detach();
        // A window destroyed by a sent message leaves GetMessage waiting: wake the loop.
        if (wasModal) ::PostThreadMessageW(::GetCurrentThreadId(), WM_NULL, 0, 0);
        self->PostNcDestroy();
    }
    return handled;
}

LRESULT CALLBACK CWnd::WindowProc(HWND window, UINT msg, WPARAM w, LPARAM l) {
    CWnd* self = FromHandle(window);
    if (!self && msg == WM_NCCREATE) {
        self = static_cast<CWnd*>(reinterpret_cast<CREATESTRUCTW*>(l)->lpCreateParams);
        if (self) self->Attach(window);
    }
    if (!self) return ::DefWindowProcW(window, msg, w, l);
    const WNDPROC super = self->superProc_;  // captured: the object may not survive the dispatch
    Message message{msg, w, l};
    if (Dispatch(self, window, message)) return message.result;
    return super ? ::CallWindowProcW(super, window, msg, w, l) : ::DefWindowProcW(window, msg, w, l);
}

}  // namespace velmora
