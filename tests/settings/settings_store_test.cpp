// Loading and saving the settings record against the registry of the test prefix.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <ostream>
#include <string>
#include <vector>

#include "settings/app_settings.h"
#include "settings/dialog_font.h"
#include "settings/registry_locations.h"
#include "settings/server_selection.h"
#include "settings/settings_store.h"
#include "settings/time_format_pattern.h"
#include "settings/world_clocks.h"
#include "tests/settings/scratch_registry.h"

namespace velmora {

void PrintTo(const SettingsRecord& s, std::ostream* os) {
    *os << "{tray=" << s.displayTrayMessage << " tips=" << s.showToolTips << " min=" << s.minimized
        << " skin=" << s.skin << " left=" << s.left << " top=" << s.top << " builtIn=" << s.useBuiltInServer
        << " server=" << s.selectedServerId << " address.size=" << s.customServerAddress.size()
        << " port=" << s.customServerPort << " atStart=" << s.syncAtStart << " auto=" << s.syncAutomatically
        << " every=" << s.syncEveryMinutes << " format=" << s.timeFormat << " run=" << s.runAtStartup << "}";
}

namespace {

using namespace velmora::testing;
using Names = std::vector<std::wstring>;
const HKEY kUser = HKEY_CURRENT_USER;

std::wstring ExpectedRunCommand() {
    return L"\"" + OwnExecutablePath() + L"\" -startup";
}

class SettingsStoreTest : public ScratchRegistryTest {};

TEST_F(SettingsStoreTest, AFirstRunKeepsEveryDefaultAddsTwoClocksAndRegistersTheProgram) {
    LoadSettings();

    SettingsRecord expected;
    expected.displayTrayMessage = 1;
    expected.showToolTips = 1;
    expected.minimized = 0;
    expected.skin = 0;
    expected.left = 2147483647;
    expected.top = 2147483647;
    expected.useBuiltInServer = 1;
    expected.selectedServerId = 0;
    expected.customServerAddress = L"";
    expected.customServerPort = 123;
    expected.syncAtStart = 0;
    expected.syncAutomatically = 1;
    expected.syncEveryMinutes = 60;
    expected.timeFormat = 0;
    expected.runAtStartup = 1;
    EXPECT_EQ(AppSettings, expected);
    EXPECT_EQ(AppSettings.left, NoSavedPosition) << "the first clock window is centred";

    ASSERT_EQ(WorldClockList.size(), 2u);
    EXPECT_EQ(WorldClockList[0].name, L"London");
    EXPECT_EQ(WorldClockList[0].enabled, 1);
    EXPECT_NE(std::wstring(WorldClockList[0].zone->displayName).find(L"London"), std::wstring::npos);
    EXPECT_EQ(WorldClockList[1].name, L"New York");
    EXPECT_EQ(WorldClockList[1].enabled, 1);
    EXPECT_NE(std::wstring(WorldClockList[1].zone->displayName).find(L"Eastern Time"), std::wstring::npos);

    EXPECT_EQ(ServerList, (Names{L"time.google.com", L"time.nist.gov", L"pool.ntp.org"}));
    EXPECT_EQ(SyncHost(), L"time.google.com");
    EXPECT_EQ(SyncService(), L"ntp");
    EXPECT_EQ(TimeFormatPattern, nullptr);
    EXPECT_NE(DialogFont(), nullptr);
    EXPECT_EQ(DialogFont(), DialogFont()) << "made once";

    // The Run value is the only thing a first run writes.
    const auto run = ReadStored(kUser, RunPath(), L"Velmora");
    ASSERT_TRUE(run);
    EXPECT_EQ(run->type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(ReadStoredText(kUser, RunPath(), L"Velmora"), ExpectedRunCommand());
    EXPECT_EQ(run->data.size(), (ExpectedRunCommand().size() + 1) * 2);
    EXPECT_FALSE(KeyExists(kUser, SettingsPath()));
}

TEST_F(SettingsStoreTest, NumbersAreReadFromTheirFirstFourBytesWhateverTheStoredType) {
    StoreSavedMarker();
    const BYTE textOne[] = {'1', 0, 0, 0};  // REG_SZ "1" with its terminator
    const BYTE twoBytes[] = {0x05, 0x00};
    const BYTE eightBytes[] = {1, 2, 3, 4, 5, 6, 7, 8};
    const BYTE dword[] = {0x03, 0x14, 0x00, 0x00};
    Store(kUser, SettingsPath(), L"Skin", REG_SZ, textOne, sizeof textOne);
    Store(kUser, SettingsPath(), L"Custom Server Port", REG_BINARY, twoBytes, sizeof twoBytes);
    Store(kUser, SettingsPath(), L"Sync Every X Minutes", REG_QWORD, eightBytes, sizeof eightBytes);
    Store(kUser, SettingsPath(), L"Time Format", REG_DWORD, dword, sizeof dword);
    Store(kUser, SettingsPath(), L"Left", REG_DWORD_BIG_ENDIAN, dword, sizeof dword);

    LoadSettings();

    EXPECT_EQ(AppSettings.skin, 49);
    // Two bytes replace the low half of the default 123 (0x7B).
    EXPECT_EQ(AppSettings.customServerPort, 0x00000005);
    // Too long for four bytes: the default stays.
    EXPECT_EQ(AppSettings.syncEveryMinutes, 60);
    EXPECT_EQ(AppSettings.timeFormat, 0x1403);
    EXPECT_EQ(AppSettings.left, 0x1403);
}

TEST_F(SettingsStoreTest, ACustomServerGivesTheQueryItsAddressAndPort) {
    StoreSavedMarker();
    StoreDword(kUser, SettingsPath(), L"Utilize NIST server", 0);
    StoreDword(kUser, SettingsPath(), L"Custom Server Port", 5123);
    StoreText(kUser, SettingsPath(), L"Custom Server Address", L"10.0.0.1");

    LoadSettings();

    EXPECT_EQ(SyncHost(), L"10.0.0.1");
    EXPECT_EQ(SyncService(), L"5123");
    const SyncTargetNames target = CurrentSyncTargetNames();
    EXPECT_EQ(target.host, L"10.0.0.1");
    EXPECT_EQ(target.service, L"5123");
}

TEST_F(SettingsStoreTest, AStoredServerChoiceOutsideTheListAsksTheFirstServerAndIsKept) {
    for (std::int32_t stored : {-1, 3}) {
        ResetSettingsStore();
        StoreSavedMarker();
        StoreDword(kUser, SettingsPath(), L"Selected Server Id", stored);
        LoadSettings();
        EXPECT_EQ(SyncHost(), L"time.google.com") << stored;
        EXPECT_EQ(AppSettings.selectedServerId, stored);
        SaveSettings(false);
        EXPECT_EQ(ReadStoredDword(kUser, SettingsPath(), L"Selected Server Id"), stored);
    }
}

TEST_F(SettingsStoreTest, TheCustomAddressIsReadUpToItsTerminatorWithin255Characters) {
    const std::wstring long254(254, L'a');
    const std::wstring long255(255, L'b');
    const struct {
        const char* what;
        std::wstring stored;  // raw characters, terminator not added
        std::wstring loaded;
    } cases[] = {
        {"plain", std::wstring(L"ntp.example\0", 12), L"ntp.example"},
        {"extra zeros after the text", std::wstring(L"ntp.example\0\0\0\0", 15), L"ntp.example"},
        {"254 characters and a terminator", long254 + L'\0', long254},
        {"255 characters and a terminator: too long", long255 + L'\0', L""},
        {"254 characters without a terminator", long254, long254},
        {"empty", std::wstring(L"\0", 1), L""},
    };
    for (const auto& c : cases) {
        ResetSettingsStore();
        StoreSavedMarker();
        Store(kUser, SettingsPath(), L"Custom Server Address", REG_SZ, c.stored.data(),
              static_cast<DWORD>(c.stored.size() * 2));
        LoadSettings();
        EXPECT_EQ(AppSettings.customServerAddress, c.loaded) << c.what;
    }
}

TEST_F(SettingsStoreTest, AnExitSaveWritesOnlyWhatChangesWhileTheProgramRuns) {
    LoadSettings();
    AppSettings.displayTrayMessage = 0;
    AppSettings.minimized = 1;
    AppSettings.useBuiltInServer = 0;
    AppSettings.customServerAddress = L"changed.example";
    AppSettings.syncEveryMinutes = 5;
    AppSettings.timeFormat = 12;
    AppSettings.skin = 2;

    SaveSettings(true);

    Names names = StoredValueNames(kUser, SettingsPath());
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (Names{L"Display Tray Message", L"Minimized"}));
    EXPECT_EQ(ReadStoredDword(kUser, SettingsPath(), L"Display Tray Message"), 0);
    EXPECT_EQ(ReadStoredDword(kUser, SettingsPath(), L"Minimized"), 1);
    EXPECT_EQ(StoredSubkeyNames(kUser, SettingsPath()), (Names{L"1", L"2"})) << "the first run's default clocks";
    EXPECT_EQ(ReadStoredText(kUser, RunPath(), L"Velmora"), ExpectedRunCommand());
    EXPECT_EQ(TimeFormatPattern, nullptr) << "only a full save derives the picture again";
    EXPECT_EQ(SyncHost(), L"time.google.com");
}

TEST_F(SettingsStoreTest, AFirstRunsDefaultClocksSurviveExitWhileLaterExitsLeaveTheClocksToApply) {
    LoadSettings();
    SaveSettings(true);
    ResetSettingsStore();
    LoadSettings();
    ASSERT_EQ(WorldClockList.size(), 2u);
    EXPECT_EQ(WorldClockList[0].name, L"London");
    EXPECT_EQ(WorldClockList[1].name, L"New York");

    WorldClockList.pop_back();  // an edit that only Apply stores
    SaveSettings(true);
    ResetSettingsStore();
    LoadSettings();
    EXPECT_EQ(WorldClockList.size(), 2u);
}

TEST_F(SettingsStoreTest, AFullSaveWritesEveryValueWithItsTypeAndSizeAndLoadsBack) {
    LoadSettings();
    SettingsRecord edited = AppSettings;
    edited.displayTrayMessage = 0;
    edited.minimized = 1;
    edited.useBuiltInServer = 0;
    edited.selectedServerId = 2;
    edited.customServerAddress = L"ntp.example.org";
    edited.customServerPort = -7;
    edited.syncAtStart = 1;
    edited.syncAutomatically = 0;
    edited.syncEveryMinutes = 1440;
    edited.timeFormat = 24;
    edited.runAtStartup = 0;
    AppSettings = edited;

    SaveSettings(false);

    const struct {
        const wchar_t* name;
        std::int32_t value;
    } dwords[] = {
        {L"Display Tray Message", 0}, {L"Minimized", 1},     {L"Utilize NIST server", 0},
        {L"Selected Server Id", 2},   {L"Custom Server Port", -7}, {L"Sync at Start", 1},
        {L"Sync Automatocally", 0},   {L"Sync Every X Minutes", 1440}, {L"Time Format", 24},
    };
    for (const auto& d : dwords) EXPECT_EQ(ReadStoredDword(kUser, SettingsPath(), d.name), d.value) << d.name;
    const auto address = ReadStored(kUser, SettingsPath(), L"Custom Server Address");
    ASSERT_TRUE(address);
    EXPECT_EQ(address->type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(address->data.size(), (15u + 1) * 2);
    EXPECT_EQ(ReadStoredText(kUser, SettingsPath(), L"Custom Server Address"), L"ntp.example.org");
    // Placement values belong to SaveWindowPlacement.
    for (const wchar_t* name : {L"Left", L"Top", L"Skin", L"ToolTip"})
        EXPECT_FALSE(ReadStored(kUser, SettingsPath(), name)) << name;
    EXPECT_FALSE(ReadStored(kUser, RunPath(), L"Velmora")) << "start-up turned off";
    EXPECT_STREQ(TimeFormatPattern, L"HH':'mm':'ss");
    EXPECT_EQ(SyncHost(), L"ntp.example.org");
    EXPECT_EQ(SyncService(), L"-7");

    ResetSettingsStore();
    LoadSettings();
    EXPECT_EQ(AppSettings, edited);
    EXPECT_STREQ(TimeFormatPattern, L"HH':'mm':'ss");
    EXPECT_EQ(SyncHost(), L"ntp.example.org");
    ASSERT_EQ(WorldClockList.size(), 2u) << "the first run's clocks were stored by the full save";
    EXPECT_EQ(WorldClockList[0].name, L"London");
    EXPECT_EQ(WorldClockList[1].name, L"New York");
}

TEST_F(SettingsStoreTest, TheTwelveHourSettingSelectsItsPictureAtLoad) {
    StoreSavedMarker();
    StoreDword(kUser, SettingsPath(), L"Time Format", 12);
    LoadSettings();
    EXPECT_STREQ(TimeFormatPattern, L"h':'mm':'ss tt");
}

// A plain top-level window standing in for a clock window.
class TestWindow {
public:
    TestWindow(int x, int y)
        : hwnd_(::CreateWindowExW(0, L"STATIC", L"", WS_POPUP, x, y, 60, 40, nullptr, nullptr, nullptr, nullptr)) {}
    ~TestWindow() {
        if (hwnd_) ::DestroyWindow(hwnd_);
    }
    TestWindow(const TestWindow&) = delete;
    TestWindow& operator=(const TestWindow&) = delete;
    HWND get() const { return hwnd_; }

private:
    HWND hwnd_;
};

TEST_F(SettingsStoreTest, NextViewSavesTheLeftWindowShiftedForTheNewView) {
    LoadSettings();
    TestWindow window(120, 400);
    ASSERT_NE(window.get(), nullptr);
    RECT rect{};
    ASSERT_TRUE(::GetWindowRect(window.get(), &rect));

    const struct {
        const char* what;
        std::int32_t skin;
        bool anyClockEnabled;
        std::int32_t nextSkin;
        int shift;
    } cases[] = {
        {"full to compact", 0, true, 1, +171},
        {"compact to world clocks", 1, true, 2, -171},
        {"compact to full when no clock is enabled", 1, false, 0, -171},
        {"world clocks to full", 2, true, 0, 0},
        {"an unknown view stays", 5, true, 5, 0},
    };
    for (const auto& c : cases) {
        AppSettings.skin = c.skin;
        AppSettings.showToolTips = 0;
        for (WorldClock& clock : WorldClockList) clock.enabled = c.anyClockEnabled ? 1 : 0;
        NextView(window.get());
        EXPECT_EQ(AppSettings.skin, c.nextSkin) << c.what;
        EXPECT_EQ(AppSettings.left, rect.left) << c.what;
        EXPECT_EQ(AppSettings.top, rect.top + c.shift) << c.what;
        EXPECT_EQ(ReadStoredDword(kUser, SettingsPath(), L"Skin"), c.nextSkin) << c.what;
        EXPECT_EQ(ReadStoredDword(kUser, SettingsPath(), L"Left"), rect.left) << c.what;
        EXPECT_EQ(ReadStoredDword(kUser, SettingsPath(), L"Top"), rect.top + c.shift) << c.what;
        EXPECT_EQ(ReadStoredDword(kUser, SettingsPath(), L"ToolTip"), 0) << c.what;
    }
}

TEST_F(SettingsStoreTest, WithoutAWindowNoPlacementIsRecorded) {
    LoadSettings();
    SaveWindowPlacement(nullptr, 0);
    TestWindow gone(10, 10);
    const HWND stale = gone.get();
    ::DestroyWindow(stale);
    SaveWindowPlacement(stale, 0);
    EXPECT_EQ(AppSettings.left, NoSavedPosition);
    EXPECT_FALSE(KeyExists(kUser, SettingsPath()));
}

// The real program's keys, which no other test here touches; it removes what it wrote.
TEST(SettingsStoreRealKeys, AFirstRunRegistersTheProgramUnderTheUsersRunKey) {
    const std::wstring settingsKey = L"Software\\Brantel\\Velmora";
    const std::wstring runKey = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
    DeleteTree(kUser, settingsKey);
    HKEY run = nullptr;
    if (::RegOpenKeyExW(kUser, runKey.c_str(), 0, KEY_ALL_ACCESS, &run) == ERROR_SUCCESS) {
        ::RegDeleteValueW(run, L"Velmora");
        ::RegCloseKey(run);
    }
    ResetSettingsStore();

    LoadSettings();
    EXPECT_EQ(ReadStoredText(kUser, runKey, L"Velmora"), ExpectedRunCommand());
    EXPECT_EQ(AppSettings.runAtStartup, 1);
    EXPECT_FALSE(KeyExists(kUser, settingsKey));

    SaveSettings(true);
    EXPECT_EQ(ReadStoredDword(kUser, settingsKey, L"Display Tray Message"), 1);

    AppSettings.runAtStartup = 0;
    SaveSettings(true);
    EXPECT_FALSE(ReadStored(kUser, runKey, L"Velmora"));
    ResetSettingsStore();
    DeleteTree(kUser, settingsKey);
}

}  // namespace
}  // namespace velmora
