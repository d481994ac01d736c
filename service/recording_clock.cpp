#include "service/recording_clock.h"

#include <string>

#include "framework/unique_handle.h"
#include "service/service_texts.h"

namespace velmora {
namespace {

std::int64_t ToTicks(const SYSTEMTIME& time) {
    FILETIME file{};
    ::SystemTimeToFileTime(&time, &file);
    return static_cast<std::int64_t>(std::uint64_t{file.dwHighDateTime} << 32 | file.dwLowDateTime);
}

SYSTEMTIME FromTicks(std::int64_t ticks) {
    const auto bits = static_cast<std::uint64_t>(ticks);
    const FILETIME file{static_cast<DWORD>(bits), static_cast<DWORD>(bits >> 32)};
    SYSTEMTIME time{};
    ::FileTimeToSystemTime(&file, &time);
    return time;
}

}  // namespace

RecordingLocalClock::RecordingLocalClock(std::wstring path) : path_(std::move(path)) {}

SYSTEMTIME RecordingLocalClock::Now() {
    SYSTEMTIME real;
    ::GetLocalTime(&real);
    lastReadTicks_ = ToTicks(real) + shiftTicks_;
    return FromTicks(lastReadTicks_);
}

bool RecordingLocalClock::Set(const SYSTEMTIME& time) {
    const std::int64_t setTicks = ToTicks(time);
    const std::string line = "read=" + std::to_string(lastReadTicks_) + " set=" + std::to_string(setTicks) +
                             " moved=" + std::to_string((setTicks - lastReadTicks_) / 10'000) + "\n";
    // Opened per line, so readers see each one as soon as it is written.
    UniqueHandle file(::CreateFileW(path_.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                    OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return false;
    DWORD written = 0;
    if (!::WriteFile(file.get(), line.data(), static_cast<DWORD>(line.size()), &written, nullptr)) return false;
    shiftTicks_ += setTicks - lastReadTicks_;
    return true;
}

std::unique_ptr<LocalClock> SelectServiceClock() {
    wchar_t path[MAX_PATH] = {};
    DWORD size = sizeof(path);
    const LSTATUS status = ::RegGetValueW(HKEY_LOCAL_MACHINE, kServiceParametersKey, kClockRecordValue,
                                          RRF_RT_REG_SZ, nullptr, path, &size);
    if (status == ERROR_SUCCESS && path[0] != L'\0') return std::make_unique<RecordingLocalClock>(path);
    return std::make_unique<SystemLocalClock>();
}

}  // namespace velmora
