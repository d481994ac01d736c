#pragma once
// Per-class message maps: plain tables of entries, chained to the base class's table.
// An entry names a message (or a command id range, or a notification) and a member
// function; the helpers below turn the member function into a typed thunk.
#include <windows.h>

#include <span>

namespace velmora {

class CWnd;

struct Message {
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    LRESULT result = 0;
};

// Returns true when it handled the message; the answer to the system is then Message::result.
using MessageHandler = bool (*)(CWnd& window, Message& message);

enum class EntryKind { Message, Command, Notify };

struct MessageMapEntry {
    EntryKind kind;
    UINT message;     // the message; WM_COMMAND / WM_NOTIFY for the other kinds
    UINT firstId;     // control or command id range, inclusive
    UINT lastId;
    UINT code;        // notification code; kAnyCode matches any
    MessageHandler handler;
};

inline constexpr UINT kAnyCode = 0xFFFFFFFF;

struct MessageMap {
    const MessageMap* base;
    std::span<const MessageMapEntry> entries;
};

namespace detail {
template <typename>
struct MemberOf;
template <typename C, typename R, typename... A>
struct MemberOf<R (C::*)(A...)> {
    using Class = C;
};
template <auto Method>
using ClassOf = typename MemberOf<decltype(Method)>::Class;
}  // namespace detail

// bool Class::Handler(Message&): any window message.
template <auto Method>
constexpr MessageMapEntry OnMessage(UINT message) {
    return {EntryKind::Message, message, 0, 0, kAnyCode, [](CWnd& w, Message& m) -> bool {
                return (static_cast<detail::ClassOf<Method>&>(w).*Method)(m);
            }};
}

// void Class::Handler(): WM_COMMAND from one id (a menu item, or a button's BN_CLICKED).
template <auto Method>
constexpr MessageMapEntry OnCommand(UINT id, UINT code = kAnyCode) {
    return {EntryKind::Command, WM_COMMAND, id, id, code, [](CWnd& w, Message&) -> bool {
                (static_cast<detail::ClassOf<Method>&>(w).*Method)();
                return true;
            }};
}

// void Class::Handler(UINT id): WM_COMMAND from any id in [first, last].
template <auto Method>
constexpr MessageMapEntry OnCommandRange(UINT first, UINT last, UINT code = kAnyCode) {
    return {EntryKind::Command, WM_COMMAND, first, last, code, [](CWnd& w, Message& m) -> bool {
                (static_cast<detail::ClassOf<Method>&>(w).*Method)(LOWORD(m.wParam));
                return true;
            }};
}

// bool Class::Handler(NMHDR&, LRESULT&): WM_NOTIFY from one control with one code.
template <auto Method>
constexpr MessageMapEntry OnNotify(UINT id, UINT code) {
    return {EntryKind::Notify, WM_NOTIFY, id, id, code, [](CWnd& w, Message& m) -> bool {
                return (static_cast<detail::ClassOf<Method>&>(w).*Method)(*reinterpret_cast<NMHDR*>(m.lParam),
                                                                          m.result);
            }};
}

}  // namespace velmora
