#pragma once
// Move-only owners for Windows handles: one small traits struct per kind of handle.
#include <winsock2.h>
#include <ws2tcpip.h>
#include <windows.h>
#include <objbase.h>

#include <utility>

namespace velmora {

template <typename Traits>
class UniqueResource {
public:
    using Value = typename Traits::Value;

    UniqueResource() = default;
    explicit UniqueResource(Value value) : value_(value) {}
    ~UniqueResource() { reset(); }

    UniqueResource(const UniqueResource&) = delete;
    UniqueResource& operator=(const UniqueResource&) = delete;
    UniqueResource(UniqueResource&& other) noexcept : value_(other.release()) {}
    UniqueResource& operator=(UniqueResource&& other) noexcept {
        if (this != &other) reset(other.release());
        return *this;
    }

    Value get() const { return value_; }
    explicit operator bool() const { return Traits::IsValid(value_); }

    Value release() { return std::exchange(value_, Traits::Empty()); }
    void reset(Value value = Traits::Empty()) {
        Value old = std::exchange(value_, value);
        if (Traits::IsValid(old)) Traits::Close(old);
    }

    // For APIs that return the handle through a pointer. Closes what was held.
    Value* put() {
        reset();
        return &value_;
    }

private:
    Value value_ = Traits::Empty();
};

struct KernelHandleTraits {
    using Value = HANDLE;
    static Value Empty() { return nullptr; }
    // Some APIs fail with null, others with INVALID_HANDLE_VALUE: neither is owned.
    static bool IsValid(Value h) { return h != nullptr && h != INVALID_HANDLE_VALUE; }
    static void Close(Value h) { ::CloseHandle(h); }
};
using UniqueHandle = UniqueResource<KernelHandleTraits>;

struct RegistryKeyTraits {
    using Value = HKEY;
    static Value Empty() { return nullptr; }
    static bool IsValid(Value h) { return h != nullptr; }
    static void Close(Value h) { ::RegCloseKey(h); }
};
using UniqueKey = UniqueResource<RegistryKeyTraits>;

struct ServiceHandleTraits {
    using Value = SC_HANDLE;
    static Value Empty() { return nullptr; }
    static bool IsValid(Value h) { return h != nullptr; }
    static void Close(Value h) { ::CloseServiceHandle(h); }
};
using UniqueServiceHandle = UniqueResource<ServiceHandleTraits>;

struct LocalMemoryTraits {
    using Value = HLOCAL;
    static Value Empty() { return nullptr; }
    static bool IsValid(Value h) { return h != nullptr; }
    static void Close(Value h) { ::LocalFree(h); }
};
using UniqueLocalMemory = UniqueResource<LocalMemoryTraits>;

struct SocketTraits {
    using Value = SOCKET;
    static Value Empty() { return INVALID_SOCKET; }
    static bool IsValid(Value s) { return s != INVALID_SOCKET; }
    static void Close(Value s) { ::closesocket(s); }
};
using UniqueSocket = UniqueResource<SocketTraits>;

// Fonts, brushes, bitmaps, pens: anything DeleteObject releases.
template <typename GdiHandle>
struct GdiObjectTraits {
    using Value = GdiHandle;
    static Value Empty() { return nullptr; }
    static bool IsValid(Value h) { return h != nullptr; }
    static void Close(Value h) { ::DeleteObject(h); }
};
using UniqueFont = UniqueResource<GdiObjectTraits<HFONT>>;
using UniqueBrush = UniqueResource<GdiObjectTraits<HBRUSH>>;

struct IconTraits {
    using Value = HICON;
    static Value Empty() { return nullptr; }
    static bool IsValid(Value h) { return h != nullptr; }
    static void Close(Value h) { ::DestroyIcon(h); }
};
using UniqueIcon = UniqueResource<IconTraits>;

struct MenuTraits {
    using Value = HMENU;
    static Value Empty() { return nullptr; }
    static bool IsValid(Value h) { return h != nullptr; }
    static void Close(Value h) { ::DestroyMenu(h); }
};
using UniqueMenu = UniqueResource<MenuTraits>;

// GetAddrInfoW's list.
struct AddrInfoTraits {
    using Value = ADDRINFOW*;
    static Value Empty() { return nullptr; }
    static bool IsValid(Value h) { return h != nullptr; }
    static void Close(Value h) { ::FreeAddrInfoW(h); }
};
using UniqueAddrInfo = UniqueResource<AddrInfoTraits>;

// A COM interface pointer: one reference, released once.
template <typename Interface>
struct ComTraits {
    using Value = Interface*;
    static Value Empty() { return nullptr; }
    static bool IsValid(Value p) { return p != nullptr; }
    static void Close(Value p) { p->Release(); }
};
template <typename Interface>
using UniqueComPtr = UniqueResource<ComTraits<Interface>>;

// A window this code made and destroys itself (a control built at run time).
struct WindowTraits {
    using Value = HWND;
    static Value Empty() { return nullptr; }
    static bool IsValid(Value h) { return h != nullptr; }
    static void Close(Value h) { ::DestroyWindow(h); }
};
using UniqueWindow = UniqueResource<WindowTraits>;

// GetDC / ReleaseDC, with the font selected into it put back first.
class WindowDc {
public:
    explicit WindowDc(HWND window) : window_(window), dc_(::GetDC(window)) {}
    ~WindowDc() {
        if (previousFont_) ::SelectObject(dc_, previousFont_);
        if (dc_) ::ReleaseDC(window_, dc_);
    }
    WindowDc(const WindowDc&) = delete;
    WindowDc& operator=(const WindowDc&) = delete;

    HDC get() const { return dc_; }
    // Null keeps the device context's own font.
    void UseFont(HFONT font) {
        if (!dc_ || !font) return;
        const HGDIOBJ previous = ::SelectObject(dc_, font);
        if (!previousFont_) previousFont_ = previous;
    }

private:
    HWND window_;
    HDC dc_;
    HGDIOBJ previousFont_ = nullptr;
};

}  // namespace velmora
