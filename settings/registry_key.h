#pragma once
// One open registry key with the few typed reads and writes the settings need. Every
// operation returns the registry's result code; the callers decide which ones matter.
#include <windows.h>

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "framework/unique_handle.h"

namespace velmora {

class RegistryKey {
public:
    RegistryKey() = default;

    // RegOpenKeyExW: an existing key only. `result` receives the registry's code.
    static RegistryKey Open(HKEY parent, const std::wstring& path, REGSAM access, LONG* result = nullptr);
    // RegCreateKeyExW: opens the key, creating it (and its parents) when missing.
    static RegistryKey Create(HKEY parent, const std::wstring& path, REGSAM access = KEY_ALL_ACCESS,
                              LONG* result = nullptr);

    explicit operator bool() const { return static_cast<bool>(key_); }
    HKEY get() const { return key_.get(); }

    // Reads at most 4 bytes straight over `value`, whatever type is stored: a shorter value
    // replaces only its own bytes (a REG_SZ "1" reads as 49), a longer or missing one leaves
    // `value` as it was.
    LONG ReadInt32(const wchar_t* name, std::int32_t& value) const;

    // Reads a text of at most `capacity` characters including its terminator. On success
    // `text` is the data up to its first zero (never past the data read); on failure,
    // including a text too long for the capacity, `text` is left alone.
    LONG ReadText(const wchar_t* name, std::size_t capacity, std::wstring& text) const;

    // Reads raw bytes into `buffer` (which keeps what it held beyond the data read).
    LONG ReadBytes(const wchar_t* name, void* buffer, DWORD size, DWORD* bytesRead = nullptr) const;

    // Asks for the value without reading it: ERROR_FILE_NOT_FOUND when it does not exist.
    LONG QueryValue(const wchar_t* name) const;

    LONG WriteInt32(const wchar_t* name, std::int32_t value) const;
    // REG_SZ: the text and its terminating zero, (length + 1) x 2 bytes.
    LONG WriteText(const wchar_t* name, std::wstring_view text) const;
    LONG DeleteValue(const wchar_t* name) const;

    // The subkey at `index` into a buffer of `capacity` characters including the terminator;
    // ERROR_MORE_DATA when the name does not fit, ERROR_NO_MORE_ITEMS past the last.
    LONG EnumSubkey(DWORD index, wchar_t* name, DWORD capacity) const;
    // All subkey names in the order the registry enumerates them.
    std::vector<std::wstring> SubkeyNames() const;
    // Deletes the subkey with everything below it.
    LONG DeleteSubkeyTree(const std::wstring& name) const;

private:
    explicit RegistryKey(HKEY key) : key_(key) {}
    UniqueKey key_;
};

}  // namespace velmora
