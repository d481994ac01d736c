#include "service/recording_clock.h"

#include <string>

#include "common/clock_tick.h"
#include "common/file_time.h"
#include "framework/unique_handle.h"
#include "service/service_texts.h"

namespace velmora {

RecordingLocalClock::RecordingLocalClock(std::wstring path, std::uint64_t tick, std::function<std::uint64_t()> pcClock)
    : path_(std::move(path)), tick_(tick), pcClock_(pcClock ? std::move(pcClock) : PreciseUtcTicks) {}

std::uint64_t RecordingLocalClock::Now() {
    // The steps are the PC's, not the recorded clock's: a system tick comes from the timer
    // interrupt, whatever time the clock was set to. A stepped read is a SYSTEMTIME's, in
    // whole milliseconds.
    lastRead_ = AtLastTick(pcClock_(), tick_) + shift_;
    if (tick_ != 0) lastRead_ = TruncateToMillisecond(lastRead_);
    return lastRead_;
}

bool RecordingLocalClock::Set(std::uint64_t utcTicks) {
    const std::uint64_t pc = pcClock_();
    const std::uint64_t at = pc + shift_;
    const auto movedTicks = static_cast<std::int64_t>(utcTicks - lastRead_);
    const std::string line = "read=" + std::to_string(lastRead_) + " set=" + std::to_string(utcTicks) +
                             " moved=" + std::to_string(movedTicks / 10'000) + " at=" + std::to_string(at) + "\n";
    // Opened per line, so readers see each one as soon as it is written.
    UniqueHandle file(::CreateFileW(path_.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                    OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return false;
    DWORD written = 0;
    if (!::WriteFile(file.get(), line.data(), static_cast<DWORD>(line.size()), &written, nullptr)) return false;
    shift_ = utcTicks - pc;
    return true;
}

std::unique_ptr<LocalClock> SelectServiceClock() {
    wchar_t path[MAX_PATH] = {};
    DWORD size = sizeof(path);
    const LSTATUS status = ::RegGetValueW(HKEY_LOCAL_MACHINE, kServiceParametersKey, kClockRecordValue,
                                          RRF_RT_REG_SZ, nullptr, path, &size);
    if (status != ERROR_SUCCESS || path[0] == L'\0') return std::make_unique<SystemClock>();
    DWORD tick = 0;
    size = sizeof(tick);
    if (::RegGetValueW(HKEY_LOCAL_MACHINE, kServiceParametersKey, kClockRecordTickValue, RRF_RT_REG_DWORD, nullptr,
                       &tick, &size) != ERROR_SUCCESS)
        tick = 0;
    return std::make_unique<RecordingLocalClock>(path, tick);
}

}  // namespace velmora
