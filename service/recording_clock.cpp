#include "service/recording_clock.h"

#include <string>

#include "framework/unique_handle.h"
#include "common/file_time.h"
#include "service/service_texts.h"

namespace velmora {

RecordingLocalClock::RecordingLocalClock(std::wstring path) : path_(std::move(path)) {}

SYSTEMTIME RecordingLocalClock::Now() {
    SYSTEMTIME real;
    ::GetLocalTime(&real);
    lastRead_ = SystemTimeToTicks(real).value_or(0) + shift_;
    return TicksToSystemTime(lastRead_).value_or(real);
}

bool RecordingLocalClock::Set(const SYSTEMTIME& time) {
    const std::uint64_t set = SystemTimeToTicks(time).value_or(lastRead_);
    const auto movedTicks = static_cast<std::int64_t>(set - lastRead_);
    const std::string line = "read=" + std::to_string(lastRead_) + " set=" + std::to_string(set) +
                             " moved=" + std::to_string(movedTicks / 10'000) + "\n";
    // Opened per line, so readers see each one as soon as it is written.
    UniqueHandle file(::CreateFileW(path_.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                    OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return false;
    DWORD written = 0;
    if (!::WriteFile(file.get(), line.data(), static_cast<DWORD>(line.size()), &written, nullptr)) return false;
    shift_ += set - lastRead_;
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
