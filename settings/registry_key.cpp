#include "settings/registry_key.h"

#include <algorithm>

#include "framework/trace.h"

namespace velmora {

namespace {

// Failed writes are not shown to the user (the setting simply keeps its old stored value),
// but they are worth seeing in a debugger.
LONG TraceFailure(const wchar_t* operation, const wchar_t* name, LONG status) {
    if (status != ERROR_SUCCESS)
        TraceError(std::wstring(L"registry ") + operation + L" \"" + (name ? name : L"") + L"\"",
                   static_cast<DWORD>(status));
    return status;
}

}  // namespace

RegistryKey RegistryKey::Open(HKEY parent, const std::wstring& path, REGSAM access, LONG* result) {
    HKEY key = nullptr;
    const LONG status = ::RegOpenKeyExW(parent, path.c_str(), 0, access, &key);
    if (result) *result = status;
    return RegistryKey(status == ERROR_SUCCESS ? key : nullptr);
}

RegistryKey RegistryKey::Create(HKEY parent, const std::wstring& path, REGSAM access, LONG* result) {
    HKEY key = nullptr;
    const LONG status = TraceFailure(L"create", path.c_str(),
                                     ::RegCreateKeyExW(parent, path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                                                       access, nullptr, &key, nullptr));
    if (result) *result = status;
    return RegistryKey(status == ERROR_SUCCESS ? key : nullptr);
}

LONG RegistryKey::ReadBytes(const wchar_t* name, void* buffer, DWORD size, DWORD* bytesRead) const {
    if (!key_) return ERROR_INVALID_HANDLE;
    DWORD read = size;
    const LONG status = ::RegQueryValueExW(key_.get(), name, nullptr, nullptr, static_cast<BYTE*>(buffer), &read);
    if (bytesRead) *bytesRead = status == ERROR_SUCCESS ? read : 0;
    return status;
}

LONG RegistryKey::ReadInt32(const wchar_t* name, std::int32_t& value) const {
    // Into a copy, so that a failed read (whose buffer the registry may have scribbled on)
    // leaves the field exactly as it was.
    std::int32_t scratch = value;
    const LONG status = ReadBytes(name, &scratch, sizeof scratch);
    if (status == ERROR_SUCCESS) value = scratch;
    return status;
}

LONG RegistryKey::ReadText(const wchar_t* name, std::size_t capacity, std::wstring& text) const {
    std::vector<wchar_t> buffer(capacity, L'\0');
    DWORD read = 0;
    const LONG status = ReadBytes(name, buffer.data(), static_cast<DWORD>(capacity * sizeof(wchar_t)), &read);
    if (status != ERROR_SUCCESS) return status;
    // Stored data need not be terminated: stop at the first zero or at the end of what was read.
    const auto end = buffer.begin() + std::min<std::size_t>(read / sizeof(wchar_t), capacity);
    text.assign(buffer.begin(), std::find(buffer.begin(), end, L'\0'));
    return status;
}

LONG RegistryKey::QueryValue(const wchar_t* name) const {
    if (!key_) return ERROR_INVALID_HANDLE;
    return ::RegQueryValueExW(key_.get(), name, nullptr, nullptr, nullptr, nullptr);
}

LONG RegistryKey::WriteInt32(const wchar_t* name, std::int32_t value) const {
    if (!key_) return ERROR_INVALID_HANDLE;
    return TraceFailure(L"write", name,
                        ::RegSetValueExW(key_.get(), name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value),
                                         sizeof value));
}

LONG RegistryKey::WriteText(const wchar_t* name, std::wstring_view text) const {
    if (!key_) return ERROR_INVALID_HANDLE;
    const std::wstring terminated(text);
    return TraceFailure(L"write", name,
                        ::RegSetValueExW(key_.get(), name, 0, REG_SZ, reinterpret_cast<const BYTE*>(terminated.c_str()),
                                         static_cast<DWORD>((terminated.size() + 1) * sizeof(wchar_t))));
}

LONG RegistryKey::DeleteValue(const wchar_t* name) const {
    if (!key_) return ERROR_INVALID_HANDLE;
    return ::RegDeleteValueW(key_.get(), name);
}

LONG RegistryKey::EnumSubkey(DWORD index, wchar_t* name, DWORD capacity) const {
    if (!key_) return ERROR_INVALID_HANDLE;
    DWORD length = capacity;
    return ::RegEnumKeyExW(key_.get(), index, name, &length, nullptr, nullptr, nullptr, nullptr);
}

std::vector<std::wstring> RegistryKey::SubkeyNames() const {
    std::vector<std::wstring> names;
    if (!key_) return names;
    DWORD count = 0;
    DWORD longest = 0;
    if (::RegQueryInfoKeyW(key_.get(), nullptr, nullptr, nullptr, &count, &longest, nullptr, nullptr, nullptr,
                           nullptr, nullptr, nullptr) != ERROR_SUCCESS)
        return names;
    // Key names are at most 255 characters; the buffer is sized for that whatever the key says.
    std::vector<wchar_t> buffer(std::max<DWORD>(longest, 255) + 1);
    for (DWORD index = 0;; ++index) {
        const LONG status = EnumSubkey(index, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (status == ERROR_NO_MORE_ITEMS) break;
        if (status != ERROR_SUCCESS) {
            if (status == ERROR_MORE_DATA) continue;
            break;
        }
        names.emplace_back(buffer.data());
    }
    return names;
}

LONG RegistryKey::DeleteSubkeyTree(const std::wstring& name) const {
    if (!key_) return ERROR_INVALID_HANDLE;
    return TraceFailure(L"delete", name.c_str(), ::RegDeleteTreeW(key_.get(), name.c_str()));
}

}  // namespace velmora
