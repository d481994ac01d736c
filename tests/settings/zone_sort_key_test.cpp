// The sort key that orders the time-zone catalogue by UTC offset.
#include <gtest/gtest.h>

#include <string>

#include "settings/zone_sort_key.h"

namespace velmora {
namespace {

TEST(ZoneSortKey, ReadsTheOffsetWithMinutesAsHundredths) {
    const struct {
        const wchar_t* display;
        float key;
    } cases[] = {
        {L"(UTC+05:30) Chennai, Kolkata, Mumbai, New Delhi", 5.30f},
        {L"(UTC+05:45) Kathmandu", 5.45f},
        {L"(UTC-03:00) Cayenne, Fortaleza", -3.00f},
        {L"(UTC-03:30) Newfoundland", -3.30f},
        {L"(UTC+14:00) Kiritimati Island", 14.00f},
        {L"(UTC-12:00) International Date Line West", -12.00f},
        {L"(UTC+00:00) Dublin, Edinburgh, Lisbon, London", 0.0f},
        // No ":" at position 7.
        {L"(UTC) Coordinated Universal Time", 0.0f},
        {L"(GMT+5:30) Somewhere", 0.0f},
        {L"", 0.0f},
        {L"(UTC+05", 0.0f},
        // ":" at position 7 but no number where the offset should be.
        {L"(UTC+ab:cd) Nowhere", 0.0f},
        {L"(UTC++5:30) Nowhere", 0.0f},
        // Shorter than the six characters of an offset: what there is counts.
        {L"(UTC+05:", 5.0f},
        {L"(UTC+05:3", 5.3f},
    };
    for (const auto& c : cases) EXPECT_FLOAT_EQ(ZoneSortKey(c.display), c.key) << std::wstring(c.display);
}

TEST(ZoneSortKey, KeepsTheOrderOfRealOffsets) {
    const wchar_t* ascending[] = {
        L"(UTC-03:30) Newfoundland", L"(UTC-03:00) Cayenne",   L"(UTC) Coordinated Universal Time",
        L"(UTC+05:30) Chennai",      L"(UTC+05:45) Kathmandu", L"(UTC+06:00) Astana",
    };
    for (std::size_t i = 1; i < std::size(ascending); ++i)
        EXPECT_LT(ZoneSortKey(ascending[i - 1]), ZoneSortKey(ascending[i])) << std::wstring(ascending[i]);
}

}  // namespace
}  // namespace velmora
