#include "sync/sync_texts.h"

namespace velmora {

std::wstring SyncResultText(std::int64_t offsetMs) {
    if (offsetMs == 0) return kTimeIsCorrect;
    return L"Difference: " + std::to_wstring(offsetMs) + L" ms";
}

std::wstring ConnectionTimeTrace(std::int64_t roundTripMs) {
    return L"connection time: " + std::to_wstring(roundTripMs) + L"\r\n";
}

std::wstring DifferenceTrace(std::int64_t offsetMs) {
    return L"difference: " + std::to_wstring(offsetMs) + L"\r\n";
}

}  // namespace velmora
