#pragma once
// A stand-in for the service: owns \\.\pipe\Velmora on a thread of its own and records
// every request, answering each with its first byte as the service does when it has set the
// clock; or as it does when the clock refused the change; or never.
#include <windows.h>

#include <atomic>
#include <cstdint>
#include <mutex>
#include <thread>
#include <vector>

namespace velmora::testing {

struct StandInBehaviour {
    DWORD refuseWith = 0;     // not 0: the reply of an offset the clock refused, with this code
    bool neverReply = false;  // keeps each client waiting until it gives up
};

class PipeStandIn {
public:
    using Behaviour = StandInBehaviour;
    PipeStandIn() : PipeStandIn(Behaviour{}) {}
    explicit PipeStandIn(Behaviour behaviour);
    ~PipeStandIn();
    PipeStandIn(const PipeStandIn&) = delete;
    PipeStandIn& operator=(const PipeStandIn&) = delete;

    std::vector<std::vector<std::uint8_t>> Requests() const;
    // The 8-byte requests read as offsets.
    std::vector<std::int64_t> Offsets() const;

private:
    void Serve();

    Behaviour behaviour_;
    std::atomic<bool> stopping_{false};
    HANDLE ready_;
    mutable std::mutex mutex_;
    std::vector<std::vector<std::uint8_t>> requests_;
    std::thread thread_;
};

}  // namespace velmora::testing
