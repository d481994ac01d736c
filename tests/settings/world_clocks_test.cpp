// The world-clock list in the registry: one numbered subkey per clock.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "settings/settings_store.h"
#include "settings/time_zone_catalogue.h"
#include "settings/world_clocks.h"
#include "tests/settings/scratch_registry.h"

namespace velmora {
namespace {

using namespace velmora::testing;
using Names = std::vector<std::wstring>;
const HKEY kUser = HKEY_CURRENT_USER;

class WorldClocksTest : public ScratchRegistryTest {
protected:
    void SetUp() override {
        ScratchRegistryTest::SetUp();
        BuildTimeZoneCatalogue();
        ASSERT_GE(TimeZoneCatalogue.size(), 11u);
    }
    std::wstring ClockPath(const std::wstring& subkey) const { return SettingsPath() + subkey; }
    static const TimeZoneEntry* Zone(const wchar_t* keyName) {
        const TimeZoneEntry* zone = FindZoneByKeyName(keyName);
        EXPECT_NE(zone, nullptr) << keyName;
        return zone;
    }
};

TEST_F(WorldClocksTest, ElevenClocksComeBackInTheOrderTheyWereSaved) {
    for (int i = 0; i < 11; ++i)
        WorldClockList.push_back(WorldClock{&TimeZoneCatalogue[i * 7], i % 3 ? 1 : 0, L"Clock " + std::to_wstring(i + 1)});
    const std::vector<WorldClock> saved = WorldClockList;

    SaveWorldClocks();
    // The registry hands the subkeys back by name, not by number.
    EXPECT_EQ(StoredSubkeyNames(kUser, SettingsPath()),
              (Names{L"1", L"10", L"11", L"2", L"3", L"4", L"5", L"6", L"7", L"8", L"9"}));

    WorldClockList.clear();
    LoadWorldClocks();
    ASSERT_EQ(WorldClockList.size(), saved.size());
    for (std::size_t i = 0; i < saved.size(); ++i) {
        EXPECT_EQ(WorldClockList[i].name, saved[i].name) << i;
        EXPECT_EQ(WorldClockList[i].zone, saved[i].zone) << i;
        EXPECT_EQ(WorldClockList[i].enabled, saved[i].enabled) << i;
    }
}

TEST_F(WorldClocksTest, AClockIsStoredWithItsValuesTypesAndByteSizes) {
    const struct {
        std::wstring name;
        std::int32_t enabled;
        std::size_t nameBytes;
    } cases[] = {{L"Café", 1, 10}, {L"", 0, 2}};
    for (const auto& c : cases) {
        WorldClockList = {WorldClock{Zone(L"Eastern Standard Time"), c.enabled, c.name}};
        SaveWorldClocks();

        EXPECT_EQ(StoredSubkeyNames(kUser, SettingsPath()), Names{L"1"});
        EXPECT_EQ(ReadStoredDword(kUser, ClockPath(L"1"), L"enabled"), c.enabled);
        const auto zone = ReadStored(kUser, ClockPath(L"1"), L"zone");
        ASSERT_TRUE(zone);
        EXPECT_EQ(zone->type, static_cast<DWORD>(REG_SZ));
        EXPECT_EQ(zone->data.size(), 44u);
        EXPECT_EQ(ReadStoredText(kUser, ClockPath(L"1"), L"zone"), L"Eastern Standard Time");
        const auto name = ReadStored(kUser, ClockPath(L"1"), L"name");
        ASSERT_TRUE(name);
        EXPECT_EQ(name->type, static_cast<DWORD>(REG_SZ));
        EXPECT_EQ(name->data.size(), c.nameBytes);
        EXPECT_EQ(ReadStoredText(kUser, ClockPath(L"1"), L"name"), c.name);

        WorldClockList.clear();
        LoadWorldClocks();
        ASSERT_EQ(WorldClockList.size(), 1u);
        EXPECT_EQ(WorldClockList[0].name, c.name);
        EXPECT_EQ(WorldClockList[0].enabled, c.enabled);
        EXPECT_STREQ(WorldClockList[0].zone->keyName, L"Eastern Standard Time");
    }
}

TEST_F(WorldClocksTest, ClocksWhoseZoneIsNotInTheCatalogueAreDroppedAtLoad) {
    StoreText(kUser, ClockPath(L"1"), L"zone", L"eastern standard time");  // the match is case-sensitive
    StoreText(kUser, ClockPath(L"1"), L"name", L"Wrong case");
    StoreText(kUser, ClockPath(L"2"), L"zone", L"Atlantis Standard Time");  // gone from this Windows
    StoreText(kUser, ClockPath(L"2"), L"name", L"Stale");
    StoreText(kUser, ClockPath(L"3"), L"name", L"No zone");
    StoreText(kUser, ClockPath(L"4"), L"zone", L"Tokyo Standard Time");    // no "enabled", no "name"
    StoreText(kUser, ClockPath(L"5"), L"zone", L"");
    StoreText(kUser, ClockPath(L"6"), L"zone", std::wstring(150, L'x'));   // too long for a zone name

    LoadWorldClocks();

    ASSERT_EQ(WorldClockList.size(), 1u);
    EXPECT_STREQ(WorldClockList[0].zone->keyName, L"Tokyo Standard Time");
    EXPECT_EQ(WorldClockList[0].enabled, 1);
    EXPECT_EQ(WorldClockList[0].name, L"");

    // The next save leaves only what was loaded.
    SaveWorldClocks();
    EXPECT_EQ(StoredSubkeyNames(kUser, SettingsPath()), Names{L"1"});
    EXPECT_EQ(ReadStoredText(kUser, ClockPath(L"1"), L"zone"), L"Tokyo Standard Time");
}

TEST_F(WorldClocksTest, SubkeysThatAreNotNumbersFollowTheNumberedOnes) {
    const struct {
        const wchar_t* subkey;
        const wchar_t* name;
    } stored[] = {{L"b", L"B"}, {L"2", L"Two"}, {L"a", L"A"}, {L"10", L"Ten"}, {L"1", L"One"}};
    for (const auto& s : stored) {
        StoreText(kUser, ClockPath(s.subkey), L"zone", L"GMT Standard Time");
        StoreText(kUser, ClockPath(s.subkey), L"name", s.name);
    }
    LoadWorldClocks();
    Names names;
    for (const WorldClock& clock : WorldClockList) names.push_back(clock.name);
    EXPECT_EQ(names, (Names{L"One", L"Two", L"Ten", L"A", L"B"}));
}

TEST_F(WorldClocksTest, AnEmptyListDeletesEveryStoredClock) {
    StoreText(kUser, ClockPath(L"1"), L"zone", L"GMT Standard Time");
    StoreText(kUser, ClockPath(L"7"), L"zone", L"GMT Standard Time");
    StoreText(kUser, ClockPath(L"x\\below"), L"zone", L"GMT Standard Time");  // a subkey with its own subkey
    StoreSavedMarker();

    SaveWorldClocks();

    EXPECT_EQ(StoredSubkeyNames(kUser, SettingsPath()), Names{});
    EXPECT_EQ(ReadStoredDword(kUser, SettingsPath(), L"Display Tray Message"), 1) << "values are left alone";
    LoadWorldClocks();
    EXPECT_TRUE(WorldClockList.empty());
}

TEST_F(WorldClocksTest, EnabledClocksAreCountedWithoutWrapping) {
    EXPECT_EQ(CountEnabledWorldClocks(), 0);
    for (int i = 0; i < 300; ++i) WorldClockList.push_back(WorldClock{&TimeZoneCatalogue[0], 1, L""});
    WorldClockList.push_back(WorldClock{&TimeZoneCatalogue[0], 0, L"off"});
    WorldClockList.push_back(WorldClock{&TimeZoneCatalogue[0], -5, L"any non-zero is on"});
    EXPECT_EQ(CountEnabledWorldClocks(), 301);
}

// A list far longer than anyone would keep (a script, a broken import): every clock survives
// a save and a load, in order.
TEST_F(WorldClocksTest, TenThousandClocksSurviveASaveAndALoadInOrder) {
    constexpr int kClocks = 10'000;
    for (int i = 0; i < kClocks; ++i)
        WorldClockList.push_back(
            WorldClock{&TimeZoneCatalogue[static_cast<std::size_t>(i) % TimeZoneCatalogue.size()], i % 2, std::to_wstring(i)});
    const ULONGLONG saveStart = ::GetTickCount64();
    SaveWorldClocks();
    const ULONGLONG loadStart = ::GetTickCount64();
    WorldClockList.clear();
    LoadWorldClocks();
    const ULONGLONG loadEnd = ::GetTickCount64();
    WorldClockList[3].name = L"changed";
    SaveWorldClocks();
    const ULONGLONG resaveEnd = ::GetTickCount64();
    std::printf("10,000 clocks: saved in %llu ms, loaded in %llu ms, saved again with one change in %llu ms\n",
                loadStart - saveStart, loadEnd - loadStart, resaveEnd - loadEnd);
    WorldClockList.clear();
    LoadWorldClocks();
    ASSERT_EQ(WorldClockList.size(), static_cast<std::size_t>(kClocks));
    for (int i = 0; i < kClocks; i += 997) {
        EXPECT_EQ(WorldClockList[static_cast<std::size_t>(i)].name, std::to_wstring(i));
        EXPECT_EQ(WorldClockList[static_cast<std::size_t>(i)].enabled, i % 2);
    }
    EXPECT_EQ(WorldClockList.back().name, std::to_wstring(kClocks - 1));
}

// After a load, a save writes only what changed; whatever the edit, what the key holds is the
// list, in order, as "1" to "n".
TEST_F(WorldClocksTest, ASaveAfterALoadStoresExactlyTheEditedList) {
    const auto clock = [](std::size_t zone, const wchar_t* name) {
        return WorldClock{&TimeZoneCatalogue[zone], 1, name};
    };
    const std::vector<WorldClock> start = {clock(1, L"a"), clock(2, L"b"), clock(3, L"c"), clock(4, L"d")};
    struct Edit {
        const char* what;
        void (*apply)(std::vector<WorldClock>&);
    } const edits[] = {
        {"nothing", [](std::vector<WorldClock>&) {}},
        {"one renamed", [](std::vector<WorldClock>& l) { l[2].name = L"renamed"; }},
        {"one hidden", [](std::vector<WorldClock>& l) { l[0].enabled = 0; }},
        {"one zone changed", [](std::vector<WorldClock>& l) { l[3].zone = &TimeZoneCatalogue[9]; }},
        {"the second deleted", [](std::vector<WorldClock>& l) { l.erase(l.begin() + 1); }},
        {"two appended", [](std::vector<WorldClock>& l) {
             l.push_back(WorldClock{&TimeZoneCatalogue[5], 0, L"e"});
             l.push_back(WorldClock{&TimeZoneCatalogue[6], 1, L"f"});
         }},
        {"all deleted", [](std::vector<WorldClock>& l) { l.clear(); }},
    };
    for (const Edit& edit : edits) {
        SCOPED_TRACE(edit.what);
        ForgetStoredWorldClocks();
        WorldClockList = start;
        SaveWorldClocks();
        LoadWorldClocks();
        std::vector<WorldClock> expected = WorldClockList;
        edit.apply(expected);
        WorldClockList = expected;
        SaveWorldClocks();

        Names names;
        for (std::size_t i = 1; i <= expected.size(); ++i) names.push_back(std::to_wstring(i));
        Names stored = StoredSubkeyNames(kUser, SettingsPath());
        std::sort(stored.begin(), stored.end());
        std::sort(names.begin(), names.end());
        EXPECT_EQ(stored, names);
        ForgetStoredWorldClocks();
        LoadWorldClocks();
        ASSERT_EQ(WorldClockList.size(), expected.size());
        for (std::size_t i = 0; i < expected.size(); ++i) {
            EXPECT_EQ(WorldClockList[i].name, expected[i].name) << i;
            EXPECT_EQ(WorldClockList[i].zone, expected[i].zone) << i;
            EXPECT_EQ(WorldClockList[i].enabled, expected[i].enabled) << i;
        }
    }
}

}  // namespace
}  // namespace velmora
