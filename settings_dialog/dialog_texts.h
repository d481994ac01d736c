#pragma once
// The settings dialog's own texts, as the user sees them. No Windows here.

namespace velmora::dialog_text {

inline constexpr wchar_t kCaption[] = L"Velmora Settings";

inline constexpr wchar_t kServersTab[] = L"Synchronization Servers";
inline constexpr wchar_t kOptionsTab[] = L"Additional Options";
inline constexpr wchar_t kTimeZoneTab[] = L"Time Zone";

inline constexpr wchar_t kShowThisClock[] = L"Show this clock";
inline constexpr wchar_t kSelectTimeZone[] = L"Select time zone:";
inline constexpr wchar_t kEnterDisplayName[] = L"Enter display name:";
inline constexpr wchar_t kDelete[] = L"Delete";
inline constexpr wchar_t kRowFrame[] = L" ";
// Below the rows when the list is longer than the page can show: the first part of the
// sentence, the counts, and the rest.
inline constexpr wchar_t kFirstClocksShown[] = L"The first ";
inline constexpr wchar_t kClocksShownOf[] = L" of ";
inline constexpr wchar_t kOtherClocksKept[] = L" world clocks are shown here; the others are kept as they are.";

// Apply's message when a number box holds no usable number; the conversion's own failure
// text follows on a line of its own.
inline constexpr wchar_t kPortNotANumber[] = L"The port could not be read as a number.";
inline constexpr wchar_t kMinutesNotANumber[] = L"The number of minutes could not be read as a number.";

}  // namespace velmora::dialog_text
