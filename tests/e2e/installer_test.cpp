// The installers under Wine: install, upgrade and uninstall, and the two architectures'
// installers replacing each other, seen from outside (files, service manager, registry).
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
        if (const std::wstring other = OtherInstallDir(); !other.empty() && FileExists(other + L"\\uninstall.exe")) {
            RunToEnd(L"\"" + other + L"\\uninstall.exe\" /S");
            WaitUntil([&] { return !FileExists(other); }, 60s);
        }
    }
};

// What exactly one installation in `dir` looks like from outside: its service, its single
// Programs and Features entry (in `ownView`), the Run value pointing at it, nothing of the other.
void ExpectOnlyInstallationIn(const std::wstring& dir, const std::wstring& otherDir, REGSAM ownView, REGSAM otherView) {
    EXPECT_TRUE(FileExists(dir + L"\\Velmora.exe"));
    EXPECT_FALSE(FileExists(otherDir)) << "the replaced installation's folder is left";
    EXPECT_TRUE(WaitUntil([] { return ServiceState() == SERVICE_RUNNING; }, 20s));
    EXPECT_EQ(ReadText(HKEY_LOCAL_MACHINE, kServiceKey, L"ImagePath"), L"\"" + dir + L"\\Service.exe\"");
    EXPECT_EQ(ReadText(HKEY_LOCAL_MACHINE, kUninstallKey, L"InstallLocation", ownView), dir);
    EXPECT_EQ(ReadText(HKEY_LOCAL_MACHINE, kUninstallKey, L"DisplayName", otherView), L"<missing>")
        << "two Programs and Features entries";
    EXPECT_EQ(ReadText(HKEY_CURRENT_USER, kRunKey, L"Velmora"), L"\"" + dir + L"\\Velmora.exe\" -startup");
    EXPECT_EQ(ReadNumber(HKEY_CURRENT_USER, kSettingsKey, L"Sync Every X Minutes"), 42u) << "settings lost";
}

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

// 64-bit Windows: the x64 installer replaces a 32-bit installation and the x86 installer a
// 64-bit one, keeping one service, one Run value, one entry and the settings.
TEST_F(InstallerTest, EachArchitectureReplacesTheOther) {
    const std::wstring x86Setup = X86SetupPathIfRunnable();
    if (x86Setup.empty()) GTEST_SKIP() << "needs the x86 installer and a machine that runs 32-bit programs";
    const std::wstring x64Dir = InstallDir();
    const std::wstring x86Dir = OtherInstallDir();
    ASSERT_NE(x64Dir, x86Dir);

    ASSERT_TRUE(InstallProduct(x86Setup));
    EXPECT_EQ(ReadText(HKEY_LOCAL_MACHINE, kServiceKey, L"ImagePath"), L"\"" + x86Dir + L"\\Service.exe\"");
    WriteNumber(HKEY_CURRENT_USER, kSettingsKey, L"Sync Every X Minutes", 42);
    WriteText(HKEY_CURRENT_USER, kRunKey, L"Velmora", L"\"" + x86Dir + L"\\Velmora.exe\" -startup");

    ASSERT_TRUE(InstallProduct());
    {
        SCOPED_TRACE("x64 over x86");
        ExpectOnlyInstallationIn(x64Dir, x86Dir, KEY_WOW64_64KEY, KEY_WOW64_32KEY);
    }

    ASSERT_TRUE(InstallProduct(x86Setup));
    {
        SCOPED_TRACE("x86 over x64");
        ExpectOnlyInstallationIn(x86Dir, x64Dir, KEY_WOW64_32KEY, KEY_WOW64_64KEY);
    }
}

}  // namespace
}  // namespace velmora
