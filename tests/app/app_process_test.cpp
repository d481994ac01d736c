// The real Velmora.exe, watched from outside: one copy per logon session, the close signal,
// Exit with its save, and messages forged by another process.
#include <gtest/gtest.h>

#include <windows.h>
#include <shellapi.h>

#include <chrono>
#include <memory>
#include <string>

#include "tests/support/installed_service.h"
#include "tests/support/pipe_stand_in.h"
#include "tests/support/sntp_test_server.h"
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

void WriteText(const wchar_t* name, const std::wstring& value) {
    ::RegSetKeyValueW(HKEY_CURRENT_USER, kSettingsKey, name, REG_SZ, value.c_str(),
                      static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
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
        for (const wchar_t* name : {L"Utilize NIST server", L"Custom Server Address", L"Custom Server Port"})
            ::RegDeleteKeyValueW(HKEY_CURRENT_USER, kSettingsKey, name);
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

std::wstring TempPath(const wchar_t* name) {
    wchar_t temp[MAX_PATH];
    ::GetTempPathW(MAX_PATH, temp);
    return std::wstring(temp) + name;
}

// With the real service installed (its recording clock takes the changes) and the program
// pointed at a local SNTP server `offsetMs` ahead.
class AppWithServiceTest : public AppProcessTest {
protected:
    void UseServer(const testing::SntpTestServer& server) {
        WriteNumber(L"Utilize NIST server", 0);
        WriteText(L"Custom Server Address", L"127.0.0.1");
        WriteNumber(L"Custom Server Port", server.Port());
    }
    // Answered only once the program has handled everything sent or posted before.
    static bool Responds(HWND window, UINT timeoutMs = 5000) {
        DWORD_PTR answer = 0;
        return ::SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_BLOCK, timeoutMs, &answer) != 0;
    }

    // Installs and starts a fresh service: its recording clock starts from the PC's clock.
    testing::InstalledService& StartService() {
        service.reset();  // the earlier one goes first: one "VLM Service" at a time
        service = std::make_unique<testing::InstalledService>(testing::WindowsPathOf(VELMORA_SERVICE_EXE),
                                                              TempPath(L"velmora-app-clock.txt"));
        EXPECT_TRUE(service->Installed());
        EXPECT_TRUE(service->Start());
        return *service;
    }

    std::unique_ptr<testing::InstalledService> service;
};

constexpr UINT kCommandSynchronize = 32775;
constexpr UINT kAdjustButton = 1043;

// The hidden window "Velmora" can be found and sent to by any process of the session. A
// forged "result" message, with a null or a garbage parameter, must change nothing; the next
// synchronisation still reaches the service.
TEST_F(AppWithServiceTest, ForgedResultMessagesFromAnotherProcessDoNothing) {
    testing::SntpTestServer server(R"("offset_ms": 1500)");
    ASSERT_TRUE(server.Started());
    UseServer(server);
    testing::InstalledService& service = StartService();

    VelmoraProcess app;
    const HWND hidden = app.HiddenWindow(testing::kProgramStartTimeout);
    ASSERT_NE(hidden, nullptr);
    constexpr UINT kResultMessage = WM_APP + 1;
    const std::pair<WPARAM, LPARAM> forged[] = {
        {0, 0}, {1, 0}, {0, static_cast<LPARAM>(0xDEADBEEF)}, {1, static_cast<LPARAM>(0x7FFF0010)}, {~WPARAM{0}, -1}};
    for (const auto& [w, l] : forged) ASSERT_TRUE(::PostMessageW(hidden, kResultMessage, w, l));
    ASSERT_TRUE(Responds(hidden));
    EXPECT_TRUE(app.Running());

    ::PostMessageW(hidden, WM_COMMAND, kCommandSynchronize, 0);
    ASSERT_TRUE(WaitUntil([&] { return !service.Records().empty(); }, 20s)) << "no offset reached the service";
    EXPECT_NEAR(static_cast<double>(service.Records()[0].moved), 1500, 100);
    EXPECT_TRUE(app.Running());
}

// A time server ten years ahead, at start-up: nothing is sent without asking; "Adjust"
// sends it, as the user decided. Ten years back (1970) the service itself refuses.
TEST_F(AppWithServiceTest, AFarOffServerAtStartUpSetsNothingUntilTheUserAdjusts) {
    struct Case {
        const char* what;
        long long offsetMs;
        bool setByAdjust;
    } const cases[] = {
        {"ten years ahead", 315'576'000'000LL, true},
        {"ten years back", -315'576'000'000LL, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        testing::InstalledService& service = StartService();
        testing::SntpTestServer server("\"offset_ms\": " + std::to_string(c.offsetMs));
        ASSERT_TRUE(server.Started());
        UseServer(server);
        WriteNumber(L"Sync at Start", 1);
        const std::size_t before = service.Records().size();

        VelmoraProcess app;
        const HWND hidden = app.HiddenWindow(testing::kProgramStartTimeout);
        ASSERT_NE(hidden, nullptr);
        const HWND clock = app.ClockWindow(10s);
        ASSERT_NE(clock, nullptr);
        ASSERT_TRUE(WaitUntil([&] { return server.Requests() >= 1; }, 20s)) << "no synchronisation at start";
        // The answer is in within moments; nothing may follow it.
        ::Sleep(3000);
        ASSERT_TRUE(Responds(hidden));
        EXPECT_EQ(service.Records().size(), before) << "sent without asking";

        ::PostMessageW(clock, WM_COMMAND, MAKEWPARAM(kAdjustButton, BN_CLICKED), 0);
        ASSERT_TRUE(Responds(clock));
        if (c.setByAdjust) {
            ASSERT_TRUE(WaitUntil([&] { return service.Records().size() == before + 1; }, 10s));
            EXPECT_NEAR(static_cast<double>(service.Records().back().moved), static_cast<double>(c.offsetMs), 1000);
        } else {
            ::Sleep(1000);
            EXPECT_EQ(service.Records().size(), before) << "a time before the program's own build was set";
        }
        ::PostMessageW(hidden, WM_COMMAND, 32772, 0);  // "Exit"
        ASSERT_TRUE(app.WaitForExit(20s));
    }
}

// Someone else holds the pipe name (the service is not running): whether it answers or not,
// the program sends it nothing and stays responsive.
TEST_F(AppProcessTest, ASquatterOnThePipeGetsNothing) {
    testing::SntpTestServer server(R"("offset_ms": 1500)");
    ASSERT_TRUE(server.Started());
    WriteNumber(L"Utilize NIST server", 0);
    WriteText(L"Custom Server Address", L"127.0.0.1");
    WriteNumber(L"Custom Server Port", server.Port());
    for (const testing::StandInBehaviour behaviour : {testing::StandInBehaviour{}, testing::StandInBehaviour{.neverReply = true}}) {
        SCOPED_TRACE(behaviour.neverReply ? "never answers" : "answers");
        testing::PipeStandIn squatter(behaviour);
        VelmoraProcess app;
        const HWND hidden = app.HiddenWindow(testing::kProgramStartTimeout);
        ASSERT_NE(hidden, nullptr);
        const int before = server.Requests();
        ::PostMessageW(hidden, WM_COMMAND, kCommandSynchronize, 0);
        ASSERT_TRUE(WaitUntil([&] { return server.Requests() > before; }, 20s));
        ::Sleep(2000);
        DWORD_PTR answer = 0;
        EXPECT_NE(::SendMessageTimeoutW(hidden, WM_NULL, 0, 0, SMTO_BLOCK, 3000, &answer), 0) << "not responding";
        EXPECT_TRUE(squatter.Requests().empty()) << "the squatter was sent an offset";
        ::PostMessageW(hidden, WM_COMMAND, 32772, 0);
        ASSERT_TRUE(app.WaitForExit(20s));
    }
}

// The real program in the tray, Explorer restarting under it: the icon is gone with the old
// notification area, and the broadcast of the new one brings it back.
TEST_F(AppProcessTest, AfterExplorerStartsAgainTheTrayIconIsAddedAgain) {
    VelmoraProcess app;
    const HWND hidden = app.HiddenWindow(testing::kProgramStartTimeout);
    ASSERT_NE(hidden, nullptr);
    NOTIFYICONDATAW icon{};
    icon.cbSize = sizeof icon;
    icon.hWnd = hidden;
    icon.uID = 0;
    ASSERT_TRUE(WaitUntil([&] { return ::Shell_NotifyIconW(NIM_MODIFY, &icon) != FALSE; }, 20s)) << "no tray icon";
    ASSERT_TRUE(::Shell_NotifyIconW(NIM_DELETE, &icon));
    ASSERT_FALSE(::Shell_NotifyIconW(NIM_MODIFY, &icon));
    ASSERT_TRUE(::PostMessageW(HWND_BROADCAST, ::RegisterWindowMessageW(L"TaskbarCreated"), 0, 0));
    EXPECT_TRUE(WaitUntil([&] { return ::Shell_NotifyIconW(NIM_MODIFY, &icon) != FALSE; }, 20s)) << "not added again";
    ::PostMessageW(hidden, WM_COMMAND, 32772, 0);  // tray menu "Exit"
    ASSERT_TRUE(app.WaitForExit(20s));
    EXPECT_FALSE(::Shell_NotifyIconW(NIM_MODIFY, &icon)) << "Exit takes it away";
}

int CALLBACK FindApply(HWND child, LPARAM found) {
    if (::GetDlgCtrlID(child) != 1055) return TRUE;  // "Apply"
    *reinterpret_cast<HWND*>(found) = child;
    return FALSE;
}

DWORD SubkeyCount(const wchar_t* path) {
    HKEY key = nullptr;
    if (::RegOpenKeyExW(HKEY_CURRENT_USER, path, 0, KEY_READ, &key) != ERROR_SUCCESS) return 0;
    DWORD count = 0;
    ::RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, &count, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                       nullptr);
    ::RegCloseKey(key);
    return count;
}

// Ten thousand stored world clocks (a script gone wrong): the program starts with its
// world-clock view of what fits, the settings dialog opens, and its Apply keeps every clock.
TEST_F(AppProcessTest, TenThousandStoredClocksStartOpenTheSettingsAndSurviveApply) {
    constexpr int kClocks = 10'000;
    // As an imported file might leave it: clocks, but never a save of the program's own.
    ::RegDeleteKeyValueW(HKEY_CURRENT_USER, kSettingsKey, L"Display Tray Message");
    WriteNumber(L"Skin", 2);
    WriteNumber(L"ToolTip", 0);
    for (int i = 1; i <= kClocks; ++i) {
        const std::wstring path = std::wstring(kSettingsKey) + L"\\" + std::to_wstring(i);
        const std::wstring name = L"clock " + std::to_wstring(i);
        const DWORD enabled = 1;
        ::RegSetKeyValueW(HKEY_CURRENT_USER, path.c_str(), L"enabled", REG_DWORD, &enabled, sizeof enabled);
        ::RegSetKeyValueW(HKEY_CURRENT_USER, path.c_str(), L"zone", REG_SZ, L"GMT Standard Time",
                          sizeof L"GMT Standard Time");
        ::RegSetKeyValueW(HKEY_CURRENT_USER, path.c_str(), L"name", REG_SZ, name.c_str(),
                          static_cast<DWORD>((name.size() + 1) * sizeof(wchar_t)));
    }
    ASSERT_EQ(SubkeyCount(kSettingsKey), static_cast<DWORD>(kClocks)) << "stored for the test";
    const auto cleanUp = [] {
        for (int i = 1; i <= kClocks; ++i)
            ::RegDeleteTreeW(HKEY_CURRENT_USER, (std::wstring(kSettingsKey) + L"\\" + std::to_wstring(i)).c_str());
    };

    VelmoraProcess app;
    const HWND hidden = app.HiddenWindow(testing::kProgramStartTimeout);
    ASSERT_NE(hidden, nullptr);
    const HWND clock = app.ClockWindow(30s);
    ASSERT_NE(clock, nullptr);
    RECT face{};
    ASSERT_TRUE(WaitUntil([&] { return ::GetWindowRect(clock, &face) && face.bottom > face.top; }, 10s));
    EXPECT_LE(face.bottom - face.top, ::GetSystemMetrics(SM_CYSCREEN)) << "the view is no taller than the screen";

    ::PostMessageW(hidden, WM_COMMAND, 32774, 0);  // tray menu "Settings"
    HWND settings = nullptr;
    ASSERT_TRUE(WaitUntil([&] { return (settings = ::FindWindowW(nullptr, L"Velmora Settings")) != nullptr; }, 60s));
    HWND apply = nullptr;
    ASSERT_TRUE(WaitUntil([&] { return ::EnumChildWindows(settings, FindApply, reinterpret_cast<LPARAM>(&apply)), apply; }, 60s));
    ::SendMessageW(apply, BM_CLICK, 0, 0);
    EXPECT_TRUE(WaitUntil([&] { return !::IsWindow(settings); }, 60s)) << "Apply closes the window";
    EXPECT_EQ(SubkeyCount(kSettingsKey), static_cast<DWORD>(kClocks)) << "Apply dropped stored clocks";

    ::PostMessageW(hidden, WM_COMMAND, 32772, 0);  // "Exit"
    ASSERT_TRUE(app.WaitForExit(30s));
    EXPECT_EQ(SubkeyCount(kSettingsKey), static_cast<DWORD>(kClocks));
    cleanUp();
}

}  // namespace
}  // namespace velmora
