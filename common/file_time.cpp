#include "common/file_time.h"

#include "common/file_time_offset.h"

namespace velmora {

std::optional<std::uint64_t> SystemTimeToTicks(const SYSTEMTIME& time) {
    FILETIME file;
    if (!::SystemTimeToFileTime(&time, &file)) return std::nullopt;
    return std::uint64_t{file.dwHighDateTime} << 32 | file.dwLowDateTime;
}

std::optional<SYSTEMTIME> TicksToSystemTime(std::uint64_t ticks) {
    // Windows refuses these itself; said here so that every system agrees.
    if (ticks >> 63) return std::nullopt;
    const FILETIME file{static_cast<DWORD>(ticks), static_cast<DWORD>(ticks >> 32)};
    SYSTEMTIME time;
    if (!::FileTimeToSystemTime(&file, &time)) return std::nullopt;
    return time;
}

std::uint64_t PreciseUtcTicks() {
    using ReadClock = void(WINAPI*)(LPFILETIME);
    static const ReadClock read = [] {
        const auto precise = reinterpret_cast<ReadClock>(reinterpret_cast<void*>(
            ::GetProcAddress(::GetModuleHandleW(L"kernel32.dll"), "GetSystemTimePreciseAsFileTime")));
        return precise ? precise : &::GetSystemTimeAsFileTime;
    }();
    FILETIME now;
    read(&now);
    return std::uint64_t{now.dwHighDateTime} << 32 | now.dwLowDateTime;
}

void AddOffset(std::int64_t offsetMs, SYSTEMTIME& time) {
    const auto ticks = SystemTimeToTicks(time);
    if (!ticks) return;
    if (const auto moved = TicksToSystemTime(AddOffsetToFileTime(*ticks, offsetMs))) time = *moved;
}

}  // namespace velmora
