#pragma once
// The time picture that the clock texts hand to GetTimeFormatW. No Windows here.

namespace velmora {

inline constexpr wchar_t kTwelveHourPattern[] = L"h':'mm':'ss tt";
inline constexpr wchar_t kTwentyFourHourPattern[] = L"HH':'mm':'ss";

// 12 and 24 pick their pictures; anything else (0 included) gives none, which makes
// GetTimeFormatW use the user's own time format.
const wchar_t* TimeFormatPatternFor(int timeFormat);

// The picture in force, or null for the user's format. Follows `timeFormat` after each load
// and full save (user-interface thread).
extern const wchar_t* TimeFormatPattern;

}  // namespace velmora
