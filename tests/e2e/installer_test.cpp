// VelmoraSetup.exe under Wine: install, upgrade and uninstall, seen from outside (files,
// service manager, registry).
#include <windows.h>

#include <gtest/gtest.h>

#include <chrono>
#include <string>

#include "tests/e2e/e2e_support.h"
#include "tests/support/velmora_process.h"

namespace velmora {
namespace {

using namespace std::chrono_literals;
using namespace testing;

class InstallerTest : public ::testing::Test {
protected:
    void TearDown() override {
        // Leave no service behind: it would start with every later boot of the prefix.
        if (FileExists(InstallDir() + L"\\uninstall.exe")) UninstallProduct();
    }
};

TEST_F(InstallerTest, InstallsUpgradesAndUninstallsKeepingTheSettings) {
    ASSERT_TRUE(InstallProduct());
    for (const wchar_t* file : {L"Velmora.exe", L"Service.exe", L"DSEG-LICENSE.txt", L"uninstall.exe"})
        EXPECT_TRUE(FileExists(InstallDir() + L"\\" + file)) << file;
    EXPECT_TRUE(WaitUntil([] { return ServiceState() == SERVICE_RUNNING; }, 20s));
    EXPECT_EQ(ReadText(HKEY_LOCAL_MACHINE, kServiceKey, L"ImagePath"), L"\"" + InstallDir() + L"\\Service.exe\"");
    EXPECT_EQ(ReadText(HKEY_LOCAL_MACHINE, kUninstallKey, L"DisplayVersion"), L"1.0.0");
    EXPECT_EQ(ReadText(HKEY_LOCAL_MACHINE, kUninstallKey, L"Publisher"), L"Brantel");
    EXPECT_EQ(ReadText(HKEY_LOCAL_MACHINE, kUninstallKey, L"DisplayName"), L"Velmora");

    // The user's own settings survive an upgrade and the uninstall.
    WriteNumber(HKEY_CURRENT_USER, kSettingsKey, L"Sync Every X Minutes", 42);
    WriteText(HKEY_CURRENT_USER, kRunKey, L"Velmora", L"\"" + InstallDir() + L"\\Velmora.exe\" -startup");

    ASSERT_TRUE(InstallProduct());
    EXPECT_TRUE(WaitUntil([] { return ServiceState() == SERVICE_RUNNING; }, 20s)) << "after the upgrade";
    EXPECT_EQ(ReadNumber(HKEY_CURRENT_USER, kSettingsKey, L"Sync Every X Minutes"), 42u);

    ASSERT_TRUE(UninstallProduct());
    EXPECT_TRUE(WaitUntil([] { return ServiceState() == 0; }, 20s)) << "the service is gone";
    EXPECT_EQ(ReadText(HKEY_CURRENT_USER, kRunKey, L"Velmora"), L"<missing>");
    EXPECT_EQ(ReadText(HKEY_LOCAL_MACHINE, kUninstallKey, L"DisplayName"), L"<missing>");
    EXPECT_EQ(ReadNumber(HKEY_CURRENT_USER, kSettingsKey, L"Sync Every X Minutes"), 42u)
        << "settings are kept unless the user asks";
}

}  // namespace
}  // namespace velmora
