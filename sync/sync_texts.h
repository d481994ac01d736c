#pragma once
// The synchronisation's own texts: shown on the status line and written to the debugger.
#include <cstdint>
#include <string>

namespace velmora {

inline constexpr wchar_t kNetworkError1[] = L"Network error #1";
inline constexpr wchar_t kNetworkError2[] = L"Network error #2";
inline constexpr wchar_t kCouldNotResolve[] = L"Could not resolve";
inline constexpr wchar_t kCouldNotConnect[] = L"Could not connect";
inline constexpr wchar_t kTimeIsCorrect[] = L"Time is correct";

inline constexpr wchar_t kTraceSocketTimeout[] = L"soket timeout\n";

// "Difference: -250 ms", or "Time is correct" for 0.
std::wstring SyncResultText(std::int64_t offsetMs);

std::wstring ConnectionTimeTrace(std::int64_t roundTripMs);  // "connection time: 37\r\n"
std::wstring DifferenceTrace(std::int64_t offsetMs);         // "difference: -250\r\n"

}  // namespace velmora
