#pragma once
// Ready-to-draw time and date texts. The clock windows only read these; the hidden main
// window's timers and a new offset refresh them, all on the user-interface thread.
#include <windows.h>

#include <cstdint>
#include <string>

#include "sync/time_arithmetic.h"

namespace velmora {

inline constexpr wchar_t kNoTimeText[] = L"--:--:--";
inline constexpr wchar_t kClockDatePicture[] = L"ddd',' dd MMMM',' yyyy";
inline constexpr wchar_t kZoneDatePicture[] = L"dddd',' dd MMMM',' yyyy";

// Whole, however long the locale's text: they are not cut to a fixed buffer.
extern std::wstring LocalTimeText;
extern std::wstring LocalDateText;
extern std::wstring ServerTimeText;
extern std::wstring ServerDateText;
extern std::wstring ZoneTimeText;
extern std::wstring ZoneDateText;

// A date text kept with the day it was made for, so that a clock ticking every second asks
// the locale for it once a day: it is made again when the day, the picture or the user's
// locale settings (ClockTextSettingsChanged) change.
class DateTextCache {
public:
    const std::wstring& For(const SYSTEMTIME& time, const wchar_t* picture);

private:
    SYSTEMTIME day_{};
    const wchar_t* picture_ = nullptr;
    std::uint64_t settings_ = 0;
    std::wstring text_;
};

// The user changed the locale's settings (WM_SETTINGCHANGE): every date text is made again.
void ClockTextSettingsChanged();

// Refreshes the local pair (true) or the server pair (false) from the PC's clock and, for
// the server pair, `serverOffset` (the synchronisation's ServerOffset); the server pair
// reads "--:--:--" and no date while no server time is known.
void FormatClockText(bool local, std::int64_t serverOffset = NoServerTime);
// The same with the PC's local time already read (`localNow`), for a tick that needed it too.
void FormatClockTextAt(bool local, std::int64_t serverOffset, SYSTEMTIME localNow);

// One world clock's time, already in its zone; `dates` keeps that clock's date text.
void FormatZoneText(const SYSTEMTIME& zoneTime, DateTextCache* dates = nullptr);

// The user's-locale texts of `time` with a time picture (null: the user's own format).
std::wstring FormatTimeText(const SYSTEMTIME& time, const wchar_t* timePicture);
std::wstring FormatDateText(const SYSTEMTIME& time, const wchar_t* datePicture);

}  // namespace velmora
