#pragma once
// While one lives, the desktop program's service client takes this test process for the
// service, so that a PipeStandIn here gets the offsets (the client sends nothing to a
// process that is not the running "VLM Service").
#include <windows.h>

#include "app/service_client.h"

namespace velmora::testing {

class TrustThisProcessAsService {
public:
    TrustThisProcessAsService()
        : previous_(SetServiceEndpoint({.serviceProcess = [] { return std::optional<DWORD>(::GetCurrentProcessId()); }})) {}
    ~TrustThisProcessAsService() { SetServiceEndpoint(std::move(previous_)); }
    TrustThisProcessAsService(const TrustThisProcessAsService&) = delete;
    TrustThisProcessAsService& operator=(const TrustThisProcessAsService&) = delete;

private:
    ServiceEndpoint previous_;
};

}  // namespace velmora::testing
