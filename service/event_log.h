#pragma once
// Error events of the service, under the source "VLM Service".

namespace velmora {

// One error event with the insertion strings "VLM Service" and `operation`. Silent when
// the event source cannot be registered: there is nowhere else to report to.
void LogServiceError(const wchar_t* operation);

}  // namespace velmora
