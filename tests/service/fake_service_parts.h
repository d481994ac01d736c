#pragma once
// Stand-ins for the clock, the status sink and the event log of the service, thread-safe
// because the pipe loop runs on a thread of its own.
#include <windows.h>

#include <condition_variable>
#include <cstdint>
#include <cstdio>
#include <mutex>
#include <string>
#include <vector>

#include "common/file_time.h"
#include "service/clock_adjustment.h"
#include "service/service_status.h"
#include "tests/support/system_time.h"

namespace velmora::testing {

// A clock that stands still except when it is set; it can be told to refuse, or to keep
// every Set waiting until it is released. The service's clock is UTC; the cases give and
// read its times as SYSTEMTIMEs.
class FakeClock final : public LocalClock {
public:
    explicit FakeClock(SYSTEMTIME now) : now_(Ticks(now)) {}

    std::uint64_t Now() override {
        std::lock_guard lock(mutex_);
        return now_;
    }
    bool Set(std::uint64_t time) override {
        std::unique_lock lock(mutex_);
        released_.wait(lock, [this] { return !held_; });
        sets_.push_back(time);
        if (refuseWith_ != 0) {
            ::SetLastError(refuseWith_);
            return false;
        }
        now_ = time;
        return true;
    }
    void Reset(SYSTEMTIME now) {
        std::lock_guard lock(mutex_);
        now_ = Ticks(now);
        sets_.clear();
    }
    void Hold() {
        std::lock_guard lock(mutex_);
        held_ = true;
    }
    void Release() {
        {
            std::lock_guard lock(mutex_);
            held_ = false;
        }
        released_.notify_all();
    }
    void RefuseWith(DWORD error) {
        std::lock_guard lock(mutex_);
        refuseWith_ = error;
    }
    // Whole milliseconds, as every time these cases give it is.
    std::vector<SYSTEMTIME> Sets() const {
        std::lock_guard lock(mutex_);
        std::vector<SYSTEMTIME> sets;
        for (const std::uint64_t t : sets_) sets.push_back(TicksToSystemTime(t).value_or(SYSTEMTIME{}));
        return sets;
    }
    std::vector<std::uint64_t> SetTicks() const {
        std::lock_guard lock(mutex_);
        return sets_;
    }

private:
    static std::uint64_t Ticks(const SYSTEMTIME& t) { return SystemTimeToTicks(t).value_or(0); }

    mutable std::mutex mutex_;
    std::condition_variable released_;
    bool held_ = false;
    std::uint64_t now_;
    std::vector<std::uint64_t> sets_;
    DWORD refuseWith_ = 0;
};

class StatusRecorder {
public:
    ServiceStatusReporter::Sink Sink() {
        return [this](const SERVICE_STATUS& status) {
            std::lock_guard lock(mutex_);
            reports_.push_back(status);
        };
    }
    std::vector<SERVICE_STATUS> Reports() const {
        std::lock_guard lock(mutex_);
        return reports_;
    }
    bool Reached(DWORD state) const {
        std::lock_guard lock(mutex_);
        for (const SERVICE_STATUS& s : reports_)
            if (s.dwCurrentState == state) return true;
        return false;
    }

private:
    mutable std::mutex mutex_;
    std::vector<SERVICE_STATUS> reports_;
};

// Each event as "<operation>" or "<operation>: <details>".
class ErrorRecorder {
public:
    void Log(const wchar_t* operation, DWORD error = 0, std::uint64_t notLogged = 0) {
        std::lock_guard lock(mutex_);
        std::wstring entry = operation;
        if (error != 0) entry += L" error " + std::to_wstring(error);
        if (notLogged != 0) entry += L" +" + std::to_wstring(notLogged);
        operations_.push_back(std::move(entry));
    }
    std::vector<std::wstring> Operations() const {
        std::lock_guard lock(mutex_);
        return operations_;
    }

private:
    mutable std::mutex mutex_;
    std::vector<std::wstring> operations_;
};

inline constexpr auto LocalTime = velmora::testing::MakeSystemTime;
inline constexpr auto UtcTime = velmora::testing::MakeSystemTime;

// Readable in failure messages; the day of the week, which callers do not set, is left out.
inline std::string Text(const SYSTEMTIME& t) {
    char text[32];
    std::snprintf(text, sizeof(text), "%04u-%02u-%02u %02u:%02u:%02u.%03u", t.wYear, t.wMonth, t.wDay, t.wHour,
                  t.wMinute, t.wSecond, t.wMilliseconds);
    return text;
}

}  // namespace velmora::testing
