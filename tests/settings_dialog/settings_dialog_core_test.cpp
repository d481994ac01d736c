// The settings dialog's rules that need no window: reading typed numbers, the Time Zone page's
// geometry and its rows' numbers and ids.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <set>
#include <string>
#include <vector>

#include "settings_dialog/number_text.h"
#include "settings_dialog/row_numbers.h"
#include "settings_dialog/time_zone_layout.h"

namespace velmora {
namespace {

TEST(ConvertNumberText, ReadsLikeTheStandardConversion) {
    const struct {
        const wchar_t* text;
        std::int32_t value;
    } good[] = {
        {L"0", 0},
        {L"0045", 45},
        {L"12ab", 12},
        {L"99999", 99999},
        {L"  \t\r\n\v\f7", 7},
        {L"+5", 5},
        {L"-5", -5},
        {L"-0", 0},
        {L"5 6", 5},
        {L"2147483647", 2147483647},
        {L"-2147483648", -2147483647 - 1},
        {L"000000000000000000000000001", 1},
        {L"123\u0661", 123},  // a digit of another script ends the number
    };
    for (const auto& c : good) {
        const NumberConversion r = ConvertNumberText(c.text);
        EXPECT_TRUE(r.ok()) << testing::PrintToString(std::wstring(c.text));
        EXPECT_EQ(r.value, c.value) << testing::PrintToString(std::wstring(c.text));
    }

    const struct {
        const wchar_t* text;
        const wchar_t* failure;
    } bad[] = {
        {L"", kInvalidNumberText},
        {L"   ", kInvalidNumberText},
        {L"-", kInvalidNumberText},
        {L"+-5", kInvalidNumberText},
        {L"- 5", kInvalidNumberText},
        {L"ab12", kInvalidNumberText},
        {L"\uff15", kInvalidNumberText},     // a full-width digit is not a decimal digit here
        {L"\u00a05", kInvalidNumberText},    // nor is a no-break space white space
        {L"2147483648", kNumberOutOfRangeText},
        {L"-2147483649", kNumberOutOfRangeText},
        {L"99999999999999999999999999", kNumberOutOfRangeText},
    };
    for (const auto& c : bad) {
        const NumberConversion r = ConvertNumberText(c.text);
        EXPECT_FALSE(r.ok()) << testing::PrintToString(std::wstring(c.text));
        EXPECT_EQ(r.failure, c.failure) << testing::PrintToString(std::wstring(c.text));
    }
}

TEST(ConvertNumberText, TheFailureTextsAreTheConversionsOwn) {
    EXPECT_EQ(std::wstring(ConvertNumberText(L"").failure), L"invalid stoi argument");
    EXPECT_EQ(std::wstring(ConvertNumberText(L"4294967296").failure), L"stoi argument out of range");
}

TEST(RowNumbers, StayRoutableSkipAddAndAreReused) {
    RowNumbers numbers;
    std::vector<int> taken;
    while (const auto n = numbers.Take()) taken.push_back(*n);

    EXPECT_EQ(static_cast<int>(taken.size()), numbers.Capacity());
    EXPECT_EQ(taken.front(), 1);
    EXPECT_EQ(std::count(taken.begin(), taken.end(), 41), 0) << "its check box would be \"Add\" (1041)";
    for (const int n : taken) {
        const RowControlIds ids = RowControlIdsFor(n);
        EXPECT_GE(ids.showCheck, 1000);
        EXPECT_LE(ids.showCheck, 2000);
        EXPECT_NE(ids.showCheck, kAddButtonId);
        EXPECT_GE(ids.deleteButton, 3000);
        EXPECT_LE(ids.deleteButton, 4000);
    }

    numbers.Release(500);
    numbers.Release(7);
    EXPECT_FALSE(numbers.InUse(7));
    EXPECT_EQ(numbers.Take(), 7) << "the lowest free number comes back first";
    EXPECT_EQ(numbers.Take(), 500);
    EXPECT_EQ(numbers.Take(), std::nullopt);

    numbers.Release(41);    // never handed out: stays unusable
    numbers.Release(0);
    numbers.Release(1001);
    EXPECT_EQ(numbers.Take(), std::nullopt);
}

TEST(RowNumbers, EveryControlIdOfEveryLiveRowIsDistinctAndOnlyButtonsAreRouted) {
    const auto routed = [](int id) { return (id >= 1000 && id <= 2000) || (id >= 3000 && id <= 4000); };
    RowNumbers numbers;
    std::set<int> seen{kAddButtonId, 1, 2};  // "Add", and the dialog's IDOK and IDCANCEL
    while (const auto n = numbers.Take()) {
        const RowControlIds ids = RowControlIdsFor(*n);
        for (const int id : {ids.showCheck, ids.deleteButton, ids.groupBox, ids.zoneLabel, ids.zoneList,
                             ids.nameLabel, ids.nameBox}) {
            EXPECT_TRUE(seen.insert(id).second) << "row " << *n << " id " << id;
            EXPECT_GT(id, 0);
            EXPECT_LE(id, 0xFFFF) << "ids travel in a WORD";
        }
        for (const int id : {ids.groupBox, ids.zoneLabel, ids.zoneList, ids.nameLabel, ids.nameBox})
            EXPECT_FALSE(routed(id)) << "row " << *n << " id " << id;
    }
}

// Wine's metrics at 96 DPI with its default fonts.
TimeZoneMeasurements At96Dpi() {
    TimeZoneMeasurements m;
    m.vScrollWidth = 16;
    m.dialogFrameWidth = 3;
    m.dialogFrameHeight = 3;
    m.edgeWidth = 2;
    m.menuCheckWidth = 13;
    m.tabWidth = 452;
    m.tabHeight = 293;
    m.displayScale = 1.0;
    m.checkTextWidth = 81;
    m.checkTextHeight = 13;
    m.comboHeight = 21;
    return m;
}

TEST(TimeZoneLayout, QuantitiesTruncateAtTheirOwnSteps) {
    TimeZoneMeasurements m = At96Dpi();
    m.displayScale = 1.5;
    m.vScrollWidth = 25;
    const TimeZoneLayout l = ComputeTimeZoneLayout(m);
    EXPECT_EQ(l.margin, 25);
    EXPECT_EQ(l.indent, 62);                         // 62.5
    EXPECT_EQ(l.contentWidth, 452 - 6 - 25);         // 421
    EXPECT_EQ(l.contentHeight, 254);                 // 293 - 6 - 33
    EXPECT_EQ(l.checkRight, 40 + 4 + 13 + 81);       // 1.6 x 25 = 40
    EXPECT_EQ(l.rowHeight, 75 + 39 + 42);
    EXPECT_EQ(l.Pitch(), 156 + 25);
    // h = trunc(0.2 x 421 - 25) / 2 = 59 / 2 = 29; 421 / 2 = 210; 254 / 2 = 127.
    EXPECT_EQ(l.addHome, (Box{181, 102, 239, 152}));
    EXPECT_EQ(TabHeaderHeight(1.5), 33);
    EXPECT_EQ(TabHeaderHeight(1.25), 27);  // 27.5
}

TEST(TimeZoneLayout, ARowsControlsStayInsideItsFrameAndRowsDoNotOverlap) {
    for (const double scale : {1.0, 1.5, 2.0}) {
        TimeZoneMeasurements m = At96Dpi();
        m.displayScale = scale;
        m.vScrollWidth = static_cast<int>(16 * scale);
        m.tabWidth = static_cast<int>(452 * scale);
        m.tabHeight = static_cast<int>(293 * scale);
        m.checkTextWidth = static_cast<int>(81 * scale);
        m.checkTextHeight = static_cast<int>(13 * scale);
        m.comboHeight = static_cast<int>(21 * scale);
        const TimeZoneLayout l = ComputeTimeZoneLayout(m);
        const int top = RowTop(l, 0, 0);
        const RowBoxes r = ComputeRowBoxes(l, top);
        EXPECT_EQ(top, l.margin);
        for (const Box& b : {r.showCheck, r.zoneLabel, r.zoneList, r.nameLabel, r.nameBox, r.deleteButton}) {
            EXPECT_GE(b.left, r.groupBox.left) << scale;
            EXPECT_LE(b.right, r.groupBox.right) << scale;
            EXPECT_GE(b.top, r.groupBox.top) << scale;
            EXPECT_LE(b.bottom, r.groupBox.bottom) << scale;
            EXPECT_GT(b.Width(), 0) << scale;
            EXPECT_GT(b.Height(), 0) << scale;
        }
        // Top to bottom without overlap; the name box and "Delete" share a line.
        EXPECT_LE(r.showCheck.bottom, r.zoneLabel.top);
        EXPECT_LE(r.zoneLabel.bottom, r.zoneList.top);
        EXPECT_LE(r.zoneList.bottom, r.nameLabel.top);
        EXPECT_LE(r.nameLabel.bottom, r.nameBox.top);
        EXPECT_EQ(r.nameBox.top, r.deleteButton.top);
        EXPECT_LT(r.nameBox.right, r.deleteButton.left);
        // The next row starts a margin below this one's frame; "Add" sits where it would.
        const RowBoxes next = ComputeRowBoxes(l, RowTop(l, 1, 0));
        EXPECT_EQ(next.groupBox.top, r.groupBox.bottom + l.margin);
        EXPECT_GE(r.addButton.top, r.groupBox.bottom);
        EXPECT_LE(r.addButton.right, l.contentWidth);
        // The scroll range ends below "Add" under the last row.
        EXPECT_GE(ScrollMaximum(l, 1), r.addButton.bottom);
        EXPECT_GE(ScrollMaximum(l, 2), next.addButton.bottom);
        // "Add" alone is centred.
        EXPECT_LE(std::abs(l.addHome.left + l.addHome.right - l.contentWidth), 1);
        EXPECT_EQ(l.addHome.top + l.addHome.bottom, 2 * (l.contentHeight / 2));
    }
}

// The page never places a row where a child window's 16-bit coordinates end.
TEST(TimeZoneLayout, ThePageShowsAsManyRowsAsItsScrollRangeHolds) {
    for (const double scale : {1.0, 1.5, 2.0, 3.0}) {
        TimeZoneMeasurements m = At96Dpi();
        m.displayScale = scale;
        m.comboHeight = static_cast<int>(m.comboHeight * scale);
        m.checkTextHeight = static_cast<int>(m.checkTextHeight * scale);
        const TimeZoneLayout l = ComputeTimeZoneLayout(m);
        const std::size_t most = MostRowsShown(l, 999);
        EXPECT_GT(most, 0u) << scale;
        EXPECT_LE(ScrollMaximum(l, most), kMostScrollExtent) << scale;
        EXPECT_GT(ScrollMaximum(l, most + 1), kMostScrollExtent) << scale;
        EXPECT_EQ(MostRowsShown(l, 10), 10u) << "no more than there are row numbers";
    }
}

TEST(TimeZoneLayout, ScrolledRowsMoveUpByThePosition) {
    const TimeZoneLayout l = ComputeTimeZoneLayout(At96Dpi());
    EXPECT_EQ(RowTop(l, 3, 0) - RowTop(l, 3, 40), 40);
    EXPECT_EQ(RowTop(l, 3, 0) - RowTop(l, 2, 0), l.Pitch());
    EXPECT_EQ(ScrollMaximum(l, 0), 2 * l.margin + l.comboHeight);
}

}  // namespace
}  // namespace velmora
