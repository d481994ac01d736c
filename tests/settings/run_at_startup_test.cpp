// The Run value that starts the program with Windows.
#include <windows.h>

#include <gtest/gtest.h>

#include "settings/app_settings.h"
#include "settings/run_at_startup.h"
#include "settings/settings_store.h"
#include "tests/settings/scratch_registry.h"

namespace velmora {
namespace {

using namespace velmora::testing;
const HKEY kUser = HKEY_CURRENT_USER;

class RunAtStartupTest : public ScratchRegistryTest {};

TEST_F(RunAtStartupTest, TurningItOnWritesTheQuotedPathAndTheSwitch) {
    SetRunAtStartup(true);

    const std::wstring expected = L"\"" + OwnExecutablePath() + L"\" -startup";
    const auto stored = ReadStored(kUser, RunPath(), L"Velmora");
    ASSERT_TRUE(stored);
    EXPECT_EQ(stored->type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(stored->data.size(), (expected.size() + 1) * 2);
    EXPECT_EQ(ReadStoredText(kUser, RunPath(), L"Velmora"), expected);
    EXPECT_EQ(AppSettings.runAtStartup, 1);
    EXPECT_TRUE(RunAtStartupValuePresent());
    EXPECT_EQ(ExecutablePath(), OwnExecutablePath());
}

TEST_F(RunAtStartupTest, TurningItOffRemovesTheValueEntirely) {
    SetRunAtStartup(true);
    SetRunAtStartup(false);
    EXPECT_FALSE(ReadStored(kUser, RunPath(), L"Velmora"));
    EXPECT_EQ(AppSettings.runAtStartup, 0);
    EXPECT_FALSE(RunAtStartupValuePresent());

    // Deleting a value that is not there changes nothing.
    AppSettings.runAtStartup = 1;
    SetRunAtStartup(false);
    EXPECT_EQ(AppSettings.runAtStartup, 0);
    EXPECT_TRUE(KeyExists(kUser, RunPath()));
}

TEST_F(RunAtStartupTest, AHandWrittenOrUnquotedValueCountsAndTheNextSaveRewritesItQuoted) {
    for (const wchar_t* old : {L"C:\\Program Files\\Velmora\\Velmora.exe -startup", L"anything at all", L""}) {
        ResetSettingsStore();
        StoreSavedMarker();
        StoreText(kUser, RunPath(), L"Velmora", old);

        LoadSettings();
        EXPECT_EQ(AppSettings.runAtStartup, 1) << old;

        SaveSettings(true);
        EXPECT_EQ(ReadStoredText(kUser, RunPath(), L"Velmora"), L"\"" + OwnExecutablePath() + L"\" -startup") << old;
    }
}

TEST_F(RunAtStartupTest, WithoutTheValueOrWithoutTheRunKeyItIsOff) {
    StoreSavedMarker();
    LoadSettings();
    EXPECT_EQ(AppSettings.runAtStartup, 0) << "no value";

    DeleteTree(kUser, RunPath());
    ResetSettingsStore();
    LoadSettings();
    EXPECT_EQ(AppSettings.runAtStartup, 0) << "no Run key";
    EXPECT_FALSE(KeyExists(kUser, RunPath()));

    // Turning it on creates the key.
    SetRunAtStartup(true);
    EXPECT_TRUE(RunAtStartupValuePresent());
}

}  // namespace
}  // namespace velmora
