// Settings that a hand edit, another program or a damaged hive left broken: values of the
// wrong type or size, huge strings, missing values, garbage world-clock subkeys. The
// program loads something it can work with and writes back only well-formed values.
#include <windows.h>

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <vector>

#include "app/clock_timing.h"
#include "settings/app_settings.h"
#include "settings/server_selection.h"
#include "settings/settings_store.h"
#include "settings/time_format_pattern.h"
#include "settings/world_clocks.h"
#include "tests/settings/scratch_registry.h"
#include "tests/support/velmora_process.h"

namespace velmora {
namespace {

using namespace std::chrono_literals;
using namespace velmora::testing;
const HKEY kUser = HKEY_CURRENT_USER;

const wchar_t* const kNumberValues[] = {
    L"Display Tray Message", L"ToolTip", L"Minimized", L"Skin", L"Left", L"Top", L"Utilize NIST server",
    L"Selected Server Id", L"Custom Server Port", L"Sync at Start", L"Sync Automatocally", L"Sync Every X Minutes",
    L"Time Format"};

// One way a stored value can be broken.
struct Damage {
    const char* what;
    DWORD type;
    std::vector<BYTE> data;
};

std::vector<BYTE> Utf16(const std::wstring& text) {
    const auto* bytes = reinterpret_cast<const BYTE*>(text.c_str());
    return {bytes, bytes + (text.size() + 1) * sizeof(wchar_t)};
}

std::vector<Damage> Damages() {
    return {
        {"text", REG_SZ, Utf16(L"sixty")},
        {"one-character text", REG_SZ, Utf16(L"7")},
        {"two bytes", REG_BINARY, {0xFF, 0xFF}},
        {"no bytes", REG_BINARY, {}},
        {"a 64-bit number", REG_QWORD, {1, 2, 3, 4, 5, 6, 7, 8}},
        {"a huge text", REG_SZ, Utf16(std::wstring(100'000, L'9'))},
        {"a list of texts", REG_MULTI_SZ, {'1', 0, 0, 0, 0, 0}},
        {"a negative number", REG_DWORD, {0x00, 0x00, 0x00, 0x80}},
    };
}

// Every value in the key is of the type and size the program writes.
void ExpectWellFormed(const std::wstring& path) {
    for (const std::wstring& name : StoredValueNames(kUser, path)) {
        const auto stored = ReadStored(kUser, path, name.c_str());
        ASSERT_TRUE(stored);
        if (name == L"Custom Server Address" || name == L"zone" || name == L"name") {
            EXPECT_EQ(stored->type, DWORD{REG_SZ}) << std::string(name.begin(), name.end());
            EXPECT_TRUE(ReadStoredText(kUser, path, name.c_str()).has_value());
            EXPECT_EQ(stored->data.size() % 2, 0u);
            EXPECT_EQ(stored->data.end()[-1] | stored->data.end()[-2], 0) << "terminated";
        } else {
            EXPECT_TRUE(ReadStoredDword(kUser, path, name.c_str()).has_value()) << std::string(name.begin(), name.end());
        }
    }
}

// What the program derives from the record is usable whatever the record holds.
void ExpectUsable(const char* what) {
    const SettingsRecord& s = AppSettings;
    if (s.useBuiltInServer != 0) {
        EXPECT_NE(std::find(ServerList.begin(), ServerList.end(), SyncHost()), ServerList.end()) << what;
        EXPECT_EQ(SyncService(), L"ntp") << what;
    } else {
        EXPECT_EQ(SyncHost(), s.customServerAddress) << what;
        EXPECT_EQ(SyncService(), std::to_wstring(s.customServerPort)) << what;
    }
    const std::uint32_t period = AutoSyncPeriodMs(s.syncEveryMinutes);
    EXPECT_GE(period, 60'000u) << what;
    EXPECT_LE(s.customServerAddress.size(), 254u) << what;
    for (const WorldClock& clock : WorldClockList) EXPECT_NE(clock.zone, nullptr) << what;
}

class BrokenSettingsTest : public ScratchRegistryTest {
protected:
    // Apply in the settings dialog, then the placement save of a moved clock window: between
    // them every settings value is written.
    static void SaveEverything() {
        SaveSettings(false);
        const HWND window = ::CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 10, 20, 30, 40, nullptr, nullptr, nullptr, nullptr);
        ASSERT_NE(window, nullptr);
        SaveWindowPlacement(window, 0);
        ::DestroyWindow(window);
    }
};

TEST_F(BrokenSettingsTest, EveryNumberStoredWrongLoadsUsablyAndIsWrittenBackAsANumber) {
    for (const Damage& damage : Damages()) {
        for (const wchar_t* name : kNumberValues) {
            DeleteTree(kUser, SettingsPath());
            StoreSavedMarker();
            Store(kUser, SettingsPath(), name, damage.type, damage.data.data(), static_cast<DWORD>(damage.data.size()));
            ResetSettingsStore();
            LoadSettings();
            const std::string what = damage.what + std::string(" in ") + std::string(name, name + wcslen(name));
            ExpectUsable(what.c_str());

            SaveEverything();
            SCOPED_TRACE(what);
            ExpectWellFormed(SettingsPath());
        }
    }
}

TEST_F(BrokenSettingsTest, AServerAddressStoredWrongLoadsAsTextOrEmpty) {
    const Damage damages[] = {
        {"a huge text", REG_SZ, Utf16(std::wstring(100'000, L'a'))},
        {"a number", REG_DWORD, {1, 0, 0, 0}},
        {"an odd byte count", REG_BINARY, {'h', 0, 'o'}},
        {"no terminator", REG_BINARY, {'h', 0, 'o', 0}},
        {"no bytes", REG_SZ, {}},
    };
    for (const Damage& damage : damages) {
        DeleteTree(kUser, SettingsPath());
        StoreSavedMarker();
        StoreDword(kUser, SettingsPath(), L"Utilize NIST server", 0);
        Store(kUser, SettingsPath(), L"Custom Server Address", damage.type, damage.data.data(),
              static_cast<DWORD>(damage.data.size()));
        ResetSettingsStore();
        LoadSettings();
        ExpectUsable(damage.what);
        EXPECT_EQ(AppSettings.customServerAddress.find(L'\0'), std::wstring::npos) << damage.what;

        SaveEverything();
        SCOPED_TRACE(damage.what);
        ExpectWellFormed(SettingsPath());
    }
}

TEST_F(BrokenSettingsTest, GarbageWorldClockSubkeysAreDroppedAndTheRestRenumbered) {
    StoreSavedMarker();
    const std::wstring base = SettingsPath();
    const std::wstring zone = L"GMT Standard Time";
    auto clock = [&](const std::wstring& subkey) { return base + subkey; };
    // Two good clocks among garbage.
    StoreText(kUser, clock(L"1"), L"zone", zone);
    StoreText(kUser, clock(L"1"), L"name", L"good one");
    StoreDword(kUser, clock(L"1"), L"enabled", 1);
    StoreText(kUser, clock(L"2"), L"zone", std::wstring(10'000, L'Z'));
    StoreDword(kUser, clock(L"3"), L"zone", 42);
    StoreText(kUser, clock(L"4"), L"zone", L"No Such Zone");
    StoreText(kUser, clock(L"5"), L"zone", zone);
    StoreText(kUser, clock(L"5"), L"name", std::wstring(5'000, L'n'));
    Store(kUser, clock(L"5"), L"enabled", REG_SZ, L"0", 4);
    StoreText(kUser, clock(L"5\\nested"), L"zone", zone);
    StoreText(kUser, clock(L"99999999999999999999999"), L"zone", L"");
    StoreText(kUser, clock(L"garbage"), L"anything", L"at all");
    ResetSettingsStore();
    LoadSettings();

    ASSERT_EQ(WorldClockList.size(), 2u);
    EXPECT_EQ(WorldClockList[0].name, L"good one");
    EXPECT_EQ(WorldClockList[0].zone->keyName, zone);
    // A name too long for its buffer is not taken in part.
    EXPECT_EQ(WorldClockList[1].name, L"");
    EXPECT_EQ(WorldClockList[1].zone->keyName, zone);
    ExpectUsable("world clocks");

    SaveSettings(false);
    EXPECT_EQ(StoredSubkeyNames(kUser, base), (std::vector<std::wstring>{L"1", L"2"}));
    for (const wchar_t* subkey : {L"1", L"2"}) {
        SCOPED_TRACE(std::string(subkey, subkey + 1));
        ExpectWellFormed(clock(subkey));
        EXPECT_EQ(ReadStoredText(kUser, clock(subkey), L"zone"), zone);
    }
}

// The real program on the real settings key, with every number broken at once.
TEST(BrokenSettingsProgram, StartsAndWritesWellFormedValuesAtExit) {
    const std::wstring key = L"Software\\Brantel\\Velmora\\";
    ASSERT_TRUE(NoVelmoraRunning(30s));
    DeleteTree(kUser, key);
    const std::vector<BYTE> huge = Utf16(std::wstring(100'000, L'x'));
    for (const wchar_t* name : kNumberValues) Store(kUser, key, name, REG_SZ, huge.data(), static_cast<DWORD>(huge.size()));
    const std::vector<BYTE> skin = Utf16(L"7");  // read as the number 55: no such view
    Store(kUser, key, L"Skin", REG_SZ, skin.data(), static_cast<DWORD>(skin.size()));
    StoreDword(kUser, key, L"Sync at Start", 0);  // no query to the internet

    {
        VelmoraProcess app;
        const HWND hidden = app.HiddenWindow(testing::kProgramStartTimeout);
        ASSERT_NE(hidden, nullptr) << (app.Running() ? "still starting" : "ended at once");
        ASSERT_NE(app.ClockWindow(10s), nullptr) << "no clock window for an unknown view";
        ::PostMessageW(hidden, WM_COMMAND, 32772, 0);  // tray menu "Exit"
        ASSERT_TRUE(app.WaitForExit(20s));
    }
    // The values an exit writes are numbers again, and the view is a real one.
    for (const wchar_t* name : {L"Display Tray Message", L"Minimized", L"Left", L"Top", L"Skin", L"ToolTip"})
        EXPECT_TRUE(ReadStoredDword(kUser, key, name).has_value()) << std::string(name, name + wcslen(name));
    EXPECT_EQ(ReadStoredDword(kUser, key, L"Skin"), 0);
    DeleteTree(kUser, key);
}

}  // namespace
}  // namespace velmora
