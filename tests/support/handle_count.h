#pragma once
// How many kernel handles a process holds, as the system's handle list says: under Wine,
// GetProcessHandleCount reads 0, but the server's list has every handle with its owner.
#include <windows.h>

#include <algorithm>
#include <optional>
#include <vector>

namespace velmora::testing {

inline std::optional<DWORD> ProcessHandleCount(DWORD processId) {
    struct HandleEntry {
        ULONG ownerPid;
        BYTE objectType;
        BYTE flags;
        USHORT value;
        PVOID object;
        ACCESS_MASK access;
    };
    using QuerySystemInformation = LONG(WINAPI*)(ULONG, PVOID, ULONG, PULONG);
    constexpr ULONG kSystemHandleInformation = 16;
    constexpr LONG kInfoLengthMismatch = static_cast<LONG>(0xC0000004);
    const auto query = reinterpret_cast<QuerySystemInformation>(
        reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleW(L"ntdll.dll"), "NtQuerySystemInformation")));
    if (!query) return std::nullopt;
    std::vector<BYTE> buffer(1 << 16);
    LONG result = 0;
    for (int attempt = 0; attempt < 8; ++attempt) {
        ULONG needed = 0;
        result = query(kSystemHandleInformation, buffer.data(), static_cast<ULONG>(buffer.size()), &needed);
        if (result != kInfoLengthMismatch) break;
        buffer.resize(std::max<std::size_t>(buffer.size() * 2, needed + 4096));
    }
    if (result != 0) return std::nullopt;
    const ULONG entries = *reinterpret_cast<const ULONG*>(buffer.data());
    const auto* entry = reinterpret_cast<const HandleEntry*>(buffer.data() + sizeof(ULONG_PTR));
    DWORD count = 0;
    for (ULONG i = 0; i < entries; ++i)
        if (entry[i].ownerPid == processId) ++count;
    return count;
}

}  // namespace velmora::testing
