#pragma once
// How often the service writes a failure to the event log: a client can make it fail as
// often as it likes, so at most one entry per interval, the next one counting the failures
// that were not written. No Windows here.
#include <cstdint>

namespace velmora {

inline constexpr std::uint64_t kFailureLogIntervalMs = 60'000;

class FailureLogThrottle {
public:
    explicit FailureLogThrottle(std::uint64_t intervalMs = kFailureLogIntervalMs) : intervalMs_(intervalMs) {}

    struct Decision {
        bool write = false;
        std::uint64_t notWrittenBefore = 0;  // failures since the last entry that got none
    };
    // A failure at `nowMs` (a monotonic millisecond count).
    Decision OnFailure(std::uint64_t nowMs);
    // Failures that got no entry yet (for a last entry when the service stops).
    std::uint64_t Pending() const { return pending_; }

private:
    std::uint64_t intervalMs_;
    bool wroteAny_ = false;
    std::uint64_t lastWrittenMs_ = 0;
    std::uint64_t pending_ = 0;
};

}  // namespace velmora
