#pragma once
// A stand-in for the service: owns \\.\pipe\Velmora on a thread of its own and records
// every request, answering each with its first byte as the service does.
#include <windows.h>

#include <atomic>
#include <cstdint>
#include <mutex>
#include <thread>
#include <vector>

namespace velmora::testing {

class PipeStandIn {
public:
    PipeStandIn();
    ~PipeStandIn();
    PipeStandIn(const PipeStandIn&) = delete;
    PipeStandIn& operator=(const PipeStandIn&) = delete;

    std::vector<std::vector<std::uint8_t>> Requests() const;
    // The 8-byte requests read as offsets.
    std::vector<std::int64_t> Offsets() const;

private:
    void Serve();

    std::atomic<bool> stopping_{false};
    HANDLE ready_;
    mutable std::mutex mutex_;
    std::vector<std::vector<std::uint8_t>> requests_;
    std::thread thread_;
};

}  // namespace velmora::testing
