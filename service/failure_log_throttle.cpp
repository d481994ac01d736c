#include "service/failure_log_throttle.h"

namespace velmora {

FailureLogThrottle::Decision FailureLogThrottle::OnFailure(std::uint64_t nowMs) {
    if (wroteAny_ && nowMs - lastWrittenMs_ < intervalMs_) {
        ++pending_;
        return {};
    }
    const Decision decision{true, pending_};
    wroteAny_ = true;
    lastWrittenMs_ = nowMs;
    pending_ = 0;
    return decision;
}

}  // namespace velmora
