// The real Velmora.exe, watched from outside: one copy per logon session, the close signal,
// and Exit with its save.
#include <gtest/gtest.h>

#include <chrono>

#include "tests/support/velmora_process.h"

namespace velmora {
namespace {

using namespace std::chrono_literals;
using testing::VelmoraProcess;
using testing::WaitUntil;

constexpr wchar_t kSettingsKey[] = L"Software\\Brantel\\Velmora";
constexpr DWORD kNotSaved = 2147483647;  // "no saved position": a placement save replaces it

DWORD ReadNumber(const wchar_t* name) {
    DWORD value = 0;
    DWORD size = sizeof value;
    if (::RegGetValueW(HKEY_CURRENT_USER, kSettingsKey, name, RRF_RT_REG_DWORD, nullptr, &value, &size) != ERROR_SUCCESS)
        return 0xDEADBEEF;
    return value;
}

void WriteNumber(const wchar_t* name, DWORD value) {
    ::RegSetKeyValueW(HKEY_CURRENT_USER, kSettingsKey, name, REG_DWORD, &value, sizeof value);
}

class AppProcessTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(testing::NoVelmoraRunning(30s)) << "a copy of Velmora is still running";
        // A known position that any placement save overwrites; no sync with the internet.
        WriteNumber(L"Left", kNotSaved);
        WriteNumber(L"Top", kNotSaved);
        WriteNumber(L"Sync at Start", 0);
        WriteNumber(L"Minimized", 0);
        WriteNumber(L"Skin", 0);
    }
    // A first run registers the program to start with Windows, and Wine runs that value
    // whenever the prefix boots: leave none behind for the next test run.
    void TearDown() override {
        ::RegDeleteKeyValueW(HKEY_CURRENT_USER, L"Software\\Microsoft\\Windows\\CurrentVersion\\Run", L"Velmora");
    }
};

TEST_F(AppProcessTest, ASecondCopyShowsTheFirstCopysClockAndEnds) {
    VelmoraProcess first;
    ASSERT_TRUE(first.Started());
    ASSERT_NE(first.HiddenWindow(testing::kProgramStartTimeout), nullptr) << (first.Running() ? "still starting" : "ended at once");
    const HWND clock = first.ClockWindow(10s);
    ASSERT_NE(clock, nullptr);
    ::ShowWindow(clock, SW_HIDE);
    ASSERT_FALSE(::IsWindowVisible(clock));

    VelmoraProcess second;
    DWORD exitCode = 1;
    ASSERT_TRUE(second.WaitForExit(20s, &exitCode));
    EXPECT_EQ(exitCode, 0u);
    EXPECT_TRUE(WaitUntil([&] { return ::IsWindowVisible(clock) != FALSE; }, 5s));
    EXPECT_TRUE(first.Running());
}

TEST_F(AppProcessTest, TheGlobalCloseSignalEndsTheProgramWithoutSaving) {
    VelmoraProcess app;
    ASSERT_NE(app.HiddenWindow(testing::kProgramStartTimeout), nullptr);
    HANDLE signal = nullptr;
    ASSERT_TRUE(WaitUntil([&] { return (signal = ::OpenEventW(EVENT_MODIFY_STATE, FALSE, L"Global\\VLMcloseEvent")); },
                          10s));
    ::SetEvent(signal);
    ::CloseHandle(signal);
    ASSERT_TRUE(app.WaitForExit(20s));
    EXPECT_EQ(ReadNumber(L"Left"), kNotSaved);
}

TEST_F(AppProcessTest, ExitSavesThePlacementAndEnds) {
    VelmoraProcess app;
    const HWND hidden = app.HiddenWindow(testing::kProgramStartTimeout);
    ASSERT_NE(hidden, nullptr);
    ASSERT_NE(app.ClockWindow(10s), nullptr);
    ::PostMessageW(hidden, WM_COMMAND, 32772, 0);  // tray menu "Exit"
    ASSERT_TRUE(app.WaitForExit(20s));
    EXPECT_NE(ReadNumber(L"Left"), kNotSaved);
    EXPECT_NE(ReadNumber(L"Top"), kNotSaved);
    EXPECT_EQ(ReadNumber(L"Skin"), 0u);
}

}  // namespace
}  // namespace velmora
