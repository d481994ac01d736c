#include "display/clock_text.h"

#include "common/file_time.h"
#include "display/clock_time_rounding.h"
#include "settings/time_format_pattern.h"
#include "sync/pc_clock.h"

namespace velmora {

std::wstring LocalTimeText = kNoTimeText;
std::wstring LocalDateText;
std::wstring ServerTimeText = kNoTimeText;
std::wstring ServerDateText;
std::wstring ZoneTimeText;
std::wstring ZoneDateText;

namespace {

// Formats into a buffer that fits every usual text in one call (this runs each second);
// only a longer text asks for its length, so no locale's text is cut. A failure gives an
// empty text.
template <typename Format>
std::wstring FormatWhole(Format format) {
    wchar_t usual[64];
    if (const int written = format(usual, 64); written > 0) return std::wstring(usual, static_cast<std::size_t>(written - 1));
    const int length = format(nullptr, 0);
    if (length <= 0) return {};
    std::wstring text(static_cast<std::size_t>(length), L'\0');
    const int written = format(text.data(), length);
    text.resize(written > 0 ? static_cast<std::size_t>(written - 1) : 0);
    return text;
}

}  // namespace

std::wstring FormatTimeText(const SYSTEMTIME& time, const wchar_t* timePicture) {
    return FormatWhole([&](wchar_t* out, int capacity) {
        return ::GetTimeFormatW(LOCALE_USER_DEFAULT, 0, &time, timePicture, out, capacity);
    });
}

std::wstring FormatDateText(const SYSTEMTIME& time, const wchar_t* datePicture) {
    return FormatWhole([&](wchar_t* out, int capacity) {
        return ::GetDateFormatW(LOCALE_USER_DEFAULT, 0, &time, datePicture, out, capacity);
    });
}

namespace {

std::uint64_t localeSettings = 1;

}  // namespace

void ClockTextSettingsChanged() { ++localeSettings; }

const std::wstring& DateTextCache::For(const SYSTEMTIME& time, const wchar_t* picture) {
    if (settings_ != localeSettings || picture_ != picture || day_.wYear != time.wYear || day_.wMonth != time.wMonth ||
        day_.wDay != time.wDay) {
        text_ = FormatDateText(time, picture);
        day_ = time;
        picture_ = picture;
        settings_ = localeSettings;
    }
    return text_;
}

void FormatClockText(bool local, std::int64_t serverOffset) { FormatClockTextAt(local, serverOffset, PcLocalTime()); }

void FormatClockTextAt(bool local, std::int64_t serverOffset, SYSTEMTIME time) {
    static DateTextCache localDates;
    static DateTextCache serverDates;
    std::wstring& timeText = local ? LocalTimeText : ServerTimeText;
    std::wstring& dateText = local ? LocalDateText : ServerDateText;
    if (!local) {
        if (serverOffset == NoServerTime) {
            timeText = kNoTimeText;
            dateText.clear();
            return;
        }
        AddOffset(serverOffset, time);
    }
    if (const auto ticks = SystemTimeToTicks(time))
        if (const auto rounded = TicksToSystemTime(
                static_cast<std::uint64_t>(RoundToComingSecond(static_cast<std::int64_t>(*ticks)))))
            time = *rounded;
    timeText = FormatTimeText(time, TimeFormatPattern);
    dateText = (local ? localDates : serverDates).For(time, kClockDatePicture);
}

void FormatZoneText(const SYSTEMTIME& zoneTime, DateTextCache* dates) {
    ZoneTimeText = FormatTimeText(zoneTime, TimeFormatPattern);
    ZoneDateText = dates ? dates->For(zoneTime, kZoneDatePicture) : FormatDateText(zoneTime, kZoneDatePicture);
}

}  // namespace velmora
