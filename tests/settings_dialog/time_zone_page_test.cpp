// The Time Zone page: rows built at run time, greyed and moved, scrolled, added, deleted and
// applied, driven by messages under Wine.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "framework/wnd.h"
#include "resources/resource_ids.h"
#include "settings/settings_store.h"
#include "settings/time_zone_catalogue.h"
#include "settings/world_clocks.h"
#include "tests/settings_dialog/dialog_driver.h"

namespace velmora {
namespace {

using namespace velmora::testing;
const HKEY kUser = HKEY_CURRENT_USER;

class TimeZonePageTest : public SettingsDialogTest {
protected:
    void SetUp() override {
        SettingsDialogTest::SetUp();
        StoreSavedMarker();
        LoadSettings();  // no stored clocks: an empty list
        ASSERT_GE(TimeZoneCatalogue.size(), 10u);
    }

public:    const TimeZoneEntry* Zone(std::size_t index) { return &TimeZoneCatalogue[index]; }
    int ZoneIndex(const TimeZoneEntry* zone) { return static_cast<int>(zone - TimeZoneCatalogue.data()); }

    CPage5& OpenPage() {
        Open();
        ShowTab(2);
        return Dialog().TimeZonePage();
    }
    CPage5& Page() { return Dialog().TimeZonePage(); }
    const TimeZoneRow& Row(std::size_t index) { return *Page().Rows().at(index); }
    RECT Where(HWND control) { return WindowRectInParent(control); }
    int Top(HWND control) { return Where(control).top; }
    bool ScrollBarShown() { return ::GetWindowLongPtrW(Page().m_hWnd, GWL_STYLE) & WS_VSCROLL; }
    int SelectedZone(const TimeZoneRow& row) {
        return static_cast<int>(::SendMessageW(row.zoneList(), CB_GETCURSEL, 0, 0));
    }
    void Scroll(WORD request) { Page().SendMessage(WM_VSCROLL, MAKEWPARAM(request, 0), 0); }
    void Wheel(short delta) { Page().SendMessage(WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(delta)), 0); }
    void Add() { Click(Page().AddButton()); }
    std::vector<HWND> Controls(const TimeZoneRow& row) {
        return {row.groupBox(), row.showCheck(), row.zoneLabel(), row.zoneList(),
                row.nameLabel(), row.nameBox(), row.deleteButton()};
    }
};

TEST_F(TimeZonePageTest, RowsAreBuiltFromTheWorldClockListInOrder) {
    WorldClockList = {{Zone(3), 1, L"First"}, {Zone(7), 0, L"Second"}, {Zone(1), 5, L"Third"}};
    CPage5& page = OpenPage();
    const TimeZoneLayout& layout = page.Layout();
    ASSERT_EQ(page.Rows().size(), 3u);
    const struct {
        int zone;
        bool shown;
        const wchar_t* name;
    } expected[] = {{3, true, L"First"}, {7, false, L"Second"}, {1, true, L"Third"}};
    for (std::size_t k = 0; k < 3; ++k) {
        SCOPED_TRACE(k);
        const TimeZoneRow& row = Row(k);
        EXPECT_EQ(Checked(row.showCheck()), expected[k].shown);
        EXPECT_EQ(SelectedZone(row), expected[k].zone);
        EXPECT_EQ(::SendMessageW(row.zoneList(), CB_GETCOUNT, 0, 0), static_cast<LRESULT>(TimeZoneCatalogue.size()));
        EXPECT_EQ(Text(row.nameBox()), expected[k].name);
        EXPECT_EQ(Text(row.showCheck()), L"Show this clock");
        EXPECT_EQ(Text(row.zoneLabel()), L"Select time zone:");
        EXPECT_EQ(Text(row.nameLabel()), L"Enter display name:");
        EXPECT_EQ(Text(row.deleteButton()), L"Delete");
        EXPECT_EQ(Text(row.groupBox()), L" ");
        // A disabled clock greys its zone list and name box, never its labels.
        EXPECT_EQ(::IsWindowEnabled(row.zoneList()) != 0, expected[k].shown);
        EXPECT_EQ(::IsWindowEnabled(row.nameBox()) != 0, expected[k].shown);
        EXPECT_TRUE(::IsWindowEnabled(row.zoneLabel()));
        EXPECT_TRUE(::IsWindowEnabled(row.nameLabel()));
        EXPECT_TRUE(::IsWindowEnabled(row.deleteButton()));
        EXPECT_EQ(Top(row.groupBox()), layout.margin + static_cast<int>(k) * layout.Pitch());
        for (const HWND control : Controls(row)) {
            EXPECT_TRUE(::IsWindowVisible(control));
            EXPECT_FALSE(::GetWindowLongPtrW(control, GWL_STYLE) & WS_TABSTOP);
        }
    }
    // "Add" ends below the last row.
    EXPECT_GT(Top(page.AddButton()), Where(Row(2).groupBox()).bottom);
    EXPECT_TRUE(notices.empty());
}

TEST_F(TimeZonePageTest, TheShowCheckBoxGreysAndEnablesItsRowsFourControlsTogether) {
    WorldClockList = {{Zone(2), 0, L"Off"}, {Zone(4), 1, L"On"}};
    OpenPage();
    const TimeZoneRow& off = Row(0);
    Click(off.showCheck());
    EXPECT_TRUE(Checked(off.showCheck()));
    for (const HWND control : {off.zoneList(), off.nameBox(), off.zoneLabel(), off.nameLabel()})
        EXPECT_TRUE(::IsWindowEnabled(control));
    Click(off.showCheck());
    for (const HWND control : {off.zoneList(), off.nameBox(), off.zoneLabel(), off.nameLabel()})
        EXPECT_FALSE(::IsWindowEnabled(control));
    for (const HWND control : {off.groupBox(), off.showCheck(), off.deleteButton()})
        EXPECT_TRUE(::IsWindowEnabled(control));
    // The other row is not touched.
    EXPECT_TRUE(::IsWindowEnabled(Row(1).zoneList()));
    EXPECT_TRUE(::IsWindowEnabled(Row(1).nameBox()));
}

TEST_F(TimeZonePageTest, DeletingTheMiddleRowMovesTheRestUpAPitchAndTheLastSendsAddHome) {
    WorldClockList = {{Zone(1), 1, L"A"}, {Zone(2), 1, L"B"}, {Zone(3), 1, L"C"}};
    CPage5& page = OpenPage();
    const int pitch = page.Layout().Pitch();
    std::vector<RECT> thirdBefore;
    for (const HWND control : Controls(Row(2))) thirdBefore.push_back(Where(control));
    const RECT addBefore = Where(page.AddButton());
    const RECT firstBefore = Where(Row(0).groupBox());

    Click(Row(1).deleteButton());
    ASSERT_EQ(page.Rows().size(), 2u);
    EXPECT_EQ(Text(Row(1).nameBox()), L"C");
    const std::vector<HWND> third = Controls(Row(1));
    for (std::size_t i = 0; i < third.size(); ++i) {
        const RECT now = Where(third[i]);
        EXPECT_EQ(now.top, thirdBefore[i].top - pitch) << i;
        EXPECT_EQ(now.bottom, thirdBefore[i].bottom - pitch) << i;
        EXPECT_EQ(now.left, thirdBefore[i].left) << i;
    }
    EXPECT_EQ(Where(page.AddButton()).top, addBefore.top - pitch);
    EXPECT_EQ(Where(Row(0).groupBox()).top, firstBefore.top) << "rows above stay";

    Click(Row(0).deleteButton());
    Click(Row(0).deleteButton());
    EXPECT_TRUE(page.Rows().empty());
    const Box home = page.Layout().addHome;
    const RECT add = Where(page.AddButton());
    EXPECT_EQ(add.left, home.left);
    EXPECT_EQ(add.top, home.top);
    EXPECT_EQ(add.right, home.right);
    EXPECT_EQ(add.bottom, home.bottom);
    EXPECT_FALSE(ScrollBarShown());
    EXPECT_TRUE(::IsWindow(page.AddButton()));
    EXPECT_EQ(WorldClockList.size(), 3u) << "nothing is applied before Apply";
}

TEST_F(TimeZonePageTest, AnEmptyListShowsOnlyAddAndAddMakesACheckedRowForThePcsZone) {
    CPage5& page = OpenPage();
    EXPECT_TRUE(page.Rows().empty());
    EXPECT_FALSE(ScrollBarShown());
    const Box home = page.Layout().addHome;
    EXPECT_EQ(Where(page.AddButton()).left, home.left);
    EXPECT_EQ(Where(page.AddButton()).top, home.top);

    Add();
    ASSERT_EQ(page.Rows().size(), 1u);
    const TimeZoneRow& row = Row(0);
    EXPECT_EQ(Top(row.groupBox()), page.Layout().margin);
    EXPECT_TRUE(Checked(row.showCheck()));
    EXPECT_EQ(Text(row.nameBox()), L"");
    EXPECT_EQ(SelectedZone(row), ZoneIndex(ZoneForNewRow()));
    const RECT add = Where(page.AddButton());
    EXPECT_GT(add.top, Where(row.groupBox()).bottom);
    EXPECT_GT(add.left, Where(row.nameBox()).right) << "below the row, at the right";
    EXPECT_FALSE(ScrollBarShown());
    EXPECT_TRUE(WorldClockList.empty());
}

TEST_F(TimeZonePageTest, TheScrollBarAppearsOnlyOnceTheRowsPassTheContentHeight) {
    CPage5& page = OpenPage();
    const TimeZoneLayout& layout = page.Layout();
    for (int rows = 1; rows <= 4; ++rows) {
        Add();
        // What has to fit: the rows, then "Add" between margins.
        const int needed = Where(page.AddButton()).bottom + page.ScrollPosition() + layout.margin;
        EXPECT_EQ(ScrollBarShown(), needed > layout.contentHeight) << rows << " rows, " << needed << " pixels";
    }
    EXPECT_TRUE(ScrollBarShown()) << "four rows do not fit";
    while (!page.Rows().empty()) Click(Row(0).deleteButton());
    EXPECT_FALSE(ScrollBarShown());
    EXPECT_EQ(page.ScrollPosition(), 0);
}

TEST_F(TimeZonePageTest, ScrollingMovesTheRowsByLinePageWheelAndToTheEnds) {
    for (int i = 0; i < 5; ++i) WorldClockList.push_back({Zone(static_cast<std::size_t>(i)), 1, L"row"});
    CPage5& page = OpenPage();
    ASSERT_TRUE(ScrollBarShown());
    const int line = page.Layout().textHeight;
    SCROLLINFO info{};
    info.cbSize = sizeof info;
    info.fMask = SIF_ALL;
    ::GetScrollInfo(page.m_hWnd, SB_VERT, &info);
    const int page_ = static_cast<int>(info.nPage);
    const int last = info.nMax - page_ + 1;  // the system's largest position
    EXPECT_EQ(page_, page.Layout().contentHeight);

    const struct {
        const char* what;
        void (*act)(TimeZonePageTest&);
        int expected;
    } steps[] = {
        {"line down", [](TimeZonePageTest& t) { t.Scroll(SB_LINEDOWN); }, line},
        {"wheel down", [](TimeZonePageTest& t) { t.Wheel(-WHEEL_DELTA); }, 2 * line},
        {"a big wheel step is one line", [](TimeZonePageTest& t) { t.Wheel(-5 * WHEEL_DELTA); }, 3 * line},
        {"wheel up", [](TimeZonePageTest& t) { t.Wheel(WHEEL_DELTA); }, 2 * line},
        {"line up", [](TimeZonePageTest& t) { t.Scroll(SB_LINEUP); }, line},
        {"page down", [](TimeZonePageTest& t) { t.Scroll(SB_PAGEDOWN); }, line + page_},
        {"page up", [](TimeZonePageTest& t) { t.Scroll(SB_PAGEUP); }, line},
        {"bottom", [](TimeZonePageTest& t) { t.Scroll(SB_BOTTOM); }, last},
        {"end of scroll", [](TimeZonePageTest& t) { t.Scroll(SB_ENDSCROLL); }, last},
        {"top", [](TimeZonePageTest& t) { t.Scroll(SB_TOP); }, 0},
        {"line up at the top", [](TimeZonePageTest& t) { t.Scroll(SB_LINEUP); }, 0},
    };
    const int firstTop = Top(Row(0).groupBox());
    for (const auto& step : steps) {
        step.act(*this);
        EXPECT_EQ(page.ScrollPosition(), step.expected) << step.what;
        EXPECT_EQ(Top(Row(0).groupBox()), firstTop - step.expected) << step.what;
        EXPECT_EQ(Top(Row(4).nameBox()) - Top(Row(0).nameBox()), 4 * page.Layout().Pitch()) << step.what;
    }
}

// Windows 10 and 11 send the wheel to the control under the pointer, older systems and Wine
// to the one with the focus: either way a closed zone list passes it to the page.
TEST_F(TimeZonePageTest, TheWheelOverAClosedZoneListScrollsThePageAndNeverChangesTheZone) {
    for (int i = 0; i < 5; ++i) WorldClockList.push_back({Zone(static_cast<std::size_t>(2 * i)), 1, L"row"});
    CPage5& page = OpenPage();
    ASSERT_TRUE(ScrollBarShown());
    const int line = page.Layout().textHeight;
    const auto wheel = [](HWND target, short delta) {
        ::SendMessageW(target, WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(delta)), MAKELPARAM(10, 10));
    };
    for (std::size_t k = 0; k < 5; ++k) {
        SCOPED_TRACE(k);
        const HWND list = Row(k).zoneList();
        if (k % 2) ::SetFocus(list);
        const int before = page.ScrollPosition();
        wheel(list, -WHEEL_DELTA);
        EXPECT_EQ(SelectedZone(Row(k)), static_cast<int>(2 * k)) << "the zone stays";
        EXPECT_EQ(page.ScrollPosition(), before + line) << "the page scrolls a line";
        wheel(list, WHEEL_DELTA);
        EXPECT_EQ(SelectedZone(Row(k)), static_cast<int>(2 * k));
        EXPECT_EQ(page.ScrollPosition(), before);
        wheel(list, -WHEEL_DELTA);
    }
    // Dropped down, the list is what the user looks at: it takes the wheel, the page stays.
    const HWND list = Row(1).zoneList();
    ::SetFocus(list);
    ::SendMessageW(list, CB_SHOWDROPDOWN, TRUE, 0);
    ASSERT_TRUE(::SendMessageW(list, CB_GETDROPPEDSTATE, 0, 0));
    const int before = page.ScrollPosition();
    wheel(list, -WHEEL_DELTA);
    EXPECT_EQ(page.ScrollPosition(), before);
    ::SendMessageW(list, CB_SHOWDROPDOWN, FALSE, 0);
    PumpPending();
}

TEST_F(TimeZonePageTest, AddWhileScrolledPutsTheRowAfterTheLastAndScrollsToTheEnd) {
    for (int i = 0; i < 4; ++i) WorldClockList.push_back({Zone(static_cast<std::size_t>(i)), 1, L"row"});
    CPage5& page = OpenPage();
    Scroll(SB_LINEDOWN);
    Scroll(SB_LINEDOWN);
    const int lastTop = Top(Row(3).groupBox());
    const int scrolled = page.ScrollPosition();

    Add();
    ASSERT_EQ(page.Rows().size(), 5u);
    // Where it was made (before the scroll to the end) is right below the last row.
    const int moved = page.ScrollPosition() - scrolled;
    EXPECT_EQ(Top(Row(4).groupBox()) + moved, lastTop + page.Layout().Pitch());
    SCROLLINFO info{};
    info.cbSize = sizeof info;
    info.fMask = SIF_ALL;
    ::GetScrollInfo(page.m_hWnd, SB_VERT, &info);
    EXPECT_EQ(page.ScrollPosition(), info.nMax - static_cast<int>(info.nPage) + 1);
    // The end of the list is in view: "Add" and its margin end at the page's bottom.
    RECT client{};
    ::GetClientRect(page.m_hWnd, &client);
    EXPECT_LE(Where(page.AddButton()).bottom, client.bottom);
    EXPECT_GE(Top(Row(4).groupBox()), 0);
}

TEST_F(TimeZonePageTest, ApplyReplacesTheListInRowOrderAndStoresIt) {
    WorldClockList = {{Zone(1), 1, L"A"}, {Zone(2), 0, L"B"}, {Zone(3), 1, L"C"}};
    OpenPage();
    Click(Row(0).deleteButton());           // A goes
    Type(Row(0).nameBox(), L"B renamed");
    Click(Row(0).showCheck());              // B shown now
    ::SendMessageW(Row(1).zoneList(), CB_SETCURSEL, 5, 0);
    Add();
    Type(Row(2).nameBox(), L"New");
    const TimeZoneEntry* added = ZoneForNewRow();
    PressApply();

    const std::vector<ClockView> expected = {
        {Zone(2)->keyName, 1, L"B renamed"}, {Zone(5)->keyName, 1, L"C"}, {added->keyName, 1, L"New"}};
    EXPECT_EQ(ViewOf(WorldClockList), expected);
    for (std::size_t i = 0; i < expected.size(); ++i) {
        const std::wstring key = SettingsPath() + std::to_wstring(i + 1);
        EXPECT_EQ(ReadStoredText(kUser, key, L"name"), expected[i].name);
        EXPECT_EQ(ReadStoredText(kUser, key, L"zone"), expected[i].zoneKey);
        EXPECT_EQ(ReadStoredDword(kUser, key, L"enabled"), expected[i].enabled);
    }
    EXPECT_EQ(StoredSubkeyNames(kUser, SettingsPath()).size(), 3u);
}

TEST_F(TimeZonePageTest, ApplyAfterDeletingEveryRowEmptiesTheList) {
    WorldClockList = {{Zone(1), 1, L"A"}, {Zone(2), 1, L"B"}};
    SaveSettings(false);
    OpenPage();
    while (!Page().Rows().empty()) Click(Row(0).deleteButton());
    PressApply();
    EXPECT_TRUE(WorldClockList.empty());
    EXPECT_TRUE(StoredSubkeyNames(kUser, SettingsPath()).empty());
}

// Row ids must stay inside the routed ranges however many rows a session makes. The page is
// left hidden, so that the loop does not paint each row.
TEST_F(TimeZonePageTest, RowsStayAddressableAfterMoreThanAThousandAdditions) {
    Open();
    CPage5& page = Page();
    Add();
    for (int i = 0; i < 1200; ++i) {
        Add();
        Click(Row(0).deleteButton());
        ASSERT_EQ(page.Rows().size(), 1u) << "after " << i << " additions";
    }
    Add();
    Add();
    ASSERT_EQ(page.Rows().size(), 3u);
    Type(Row(0).nameBox(), L"zero");
    Type(Row(1).nameBox(), L"one");
    Type(Row(2).nameBox(), L"two");
    for (const auto& row : page.Rows()) {
        const int check = ::GetDlgCtrlID(row->showCheck());
        const int remove = ::GetDlgCtrlID(row->deleteButton());
        EXPECT_TRUE(check >= 1000 && check <= 2000 && check != IDC_ADD_WORLD_CLOCK) << check;
        EXPECT_TRUE(remove >= 3000 && remove <= 4000) << remove;
    }

    Click(Row(1).showCheck());
    EXPECT_FALSE(::IsWindowEnabled(Row(1).zoneList()));
    EXPECT_TRUE(::IsWindowEnabled(Row(0).zoneList()));
    EXPECT_TRUE(::IsWindowEnabled(Row(2).zoneList()));
    Click(Row(1).deleteButton());
    ASSERT_EQ(page.Rows().size(), 2u);
    EXPECT_EQ(Text(Row(0).nameBox()), L"zero");
    EXPECT_EQ(Text(Row(1).nameBox()), L"two");
    Click(page.AddButton());
    EXPECT_EQ(page.Rows().size(), 3u) << "\"Add\" still adds";
}

TEST_F(TimeZonePageTest, ANewRowTakesThePcsZoneByKeyOrByRulesElseNewYork) {
    DYNAMIC_TIME_ZONE_INFORMATION pc{};
    const TimeZoneEntry& tokyo = *FindZoneByKeyName(L"Tokyo Standard Time");
    wcscpy_s(pc.TimeZoneKeyName, tokyo.keyName);
    EXPECT_EQ(ZoneForNewRow(pc), &tokyo) << "by key name";

    // No key name (an older system): the first entry with the same rules and names.
    pc = DYNAMIC_TIME_ZONE_INFORMATION{};
    std::memcpy(&pc, &tokyo.tzi, sizeof tokyo.tzi);
    const TimeZoneEntry* byRules = ZoneForNewRow(pc);
    ASSERT_NE(byRules, nullptr);
    EXPECT_EQ(std::memcmp(&byRules->tzi, &tokyo.tzi, sizeof tokyo.tzi), 0);
    EXPECT_LE(byRules, &tokyo);

    pc = DYNAMIC_TIME_ZONE_INFORMATION{};
    pc.Bias = 12345;
    wcscpy_s(pc.TimeZoneKeyName, L"Nowhere Standard Time");
    const TimeZoneEntry* fallback = ZoneForNewRow(pc);
    ASSERT_NE(fallback, nullptr);
    EXPECT_STREQ(fallback->keyName, L"Eastern Standard Time");
    EXPECT_NE(std::wstring(fallback->displayName).find(L"Eastern Time"), std::wstring::npos);
}

// A list longer than the page can place (child windows end at a 16-bit coordinate): the page
// shows what it can, says so, and Apply keeps every clock it did not show, in order.
TEST_F(TimeZonePageTest, ALongerListThanThePageHoldsIsShownInPartAndKeptWhole) {
    const std::size_t most = MostRowsShown(OpenPage().Layout(), kLastRowNumber - 1);
    CloseSettingsDialog();
    ASSERT_GT(most, 20u);
    const std::size_t stored = most + 25;
    for (std::size_t i = 0; i < stored; ++i)
        WorldClockList.push_back(WorldClock{Zone(i % 10), 1, L"clock " + std::to_wstring(i)});

    CPage5& page = OpenPage();
    ASSERT_EQ(page.Rows().size(), most);
    EXPECT_EQ(page.ClocksNotShown(), 25u);
    ASSERT_NE(page.NotShownNote(), nullptr);
    EXPECT_EQ(Text(page.NotShownNote()), L"The first " + std::to_wstring(most) + L" of " + std::to_wstring(stored) +
                                             L" world clocks are shown here; the others are kept as they are.");
    EXPECT_FALSE(::IsWindowEnabled(page.AddButton())) << "no room for another row";
    // The last row is where it belongs once the page is scrolled to its end.
    Scroll(SB_BOTTOM);
    RECT client{};
    ::GetClientRect(page.m_hWnd, &client);
    const RECT last = Where(Row(most - 1).groupBox());
    EXPECT_GT(last.top, client.top);
    EXPECT_LT(last.bottom, client.bottom);
    const RECT add = Where(page.AddButton());
    EXPECT_GT(add.top, last.top);
    EXPECT_LE(add.bottom, client.bottom) << "and \"Add\" below it";

    Click(Row(0).deleteButton());
    EXPECT_TRUE(::IsWindowEnabled(page.AddButton()));
    PressApply();
    ASSERT_EQ(WorldClockList.size(), stored - 1);
    for (std::size_t i = 0; i < WorldClockList.size(); ++i)
        EXPECT_EQ(WorldClockList[i].name, L"clock " + std::to_wstring(i + 1)) << i;
    LoadSettings();
    EXPECT_EQ(WorldClockList.size(), stored - 1) << "what was stored";
}

TEST_F(TimeZonePageTest, AListThePageHoldsHasNoNote) {
    WorldClockList = {{Zone(3), 1, L"First"}};
    EXPECT_EQ(OpenPage().NotShownNote(), nullptr);
}

}  // namespace
}  // namespace velmora
