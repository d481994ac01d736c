// The whole product, installed under Wine and driven only through its outside: registry,
// the real service (through its recording clock), UDP, window messages and the close event.
#include <windows.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "tests/e2e/e2e_support.h"
#include "tests/support/sntp_test_server.h"
#include "tests/support/velmora_process.h"

namespace velmora {
namespace {

using namespace std::chrono_literals;
using namespace testing;

constexpr wchar_t kServiceParameters[] = L"System\\CurrentControlSet\\Services\\VLM Service\\Parameters";
constexpr DWORD kCommandExit = 32772;

std::wstring RecordFile() {
    wchar_t temp[MAX_PATH] = {};
    ::GetTempPathW(MAX_PATH, temp);
    return std::wstring(temp) + L"velmora-e2e-clock.log";
}

// The "moved=" values the service's recording clock wrote, one per offset it applied.
std::vector<long long> RecordedMoves() {
    std::vector<long long> moves;
    std::ifstream file{std::filesystem::path(RecordFile())};
    for (std::string line; std::getline(file, line);)
        if (const auto at = line.find("moved="); at != std::string::npos) moves.push_back(std::stoll(line.substr(at + 6)));
    return moves;
}

RECT WindowRect(HWND window) {
    RECT rect{};
    ::GetWindowRect(window, &rect);
    return rect;
}

void ExitThroughTheTray(const VelmoraProcess& app) {
    ::PostMessageW(app.HiddenWindow(10s), WM_COMMAND, kCommandExit, 0);
    ASSERT_TRUE(app.WaitForExit(30s));
}

class ProductTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(NoVelmoraRunning(30s));
        ::RegDeleteTreeW(HKEY_CURRENT_USER, kSettingsKey);
        ::RegDeleteKeyValueW(HKEY_CURRENT_USER, kRunKey, L"Velmora");
        ::DeleteFileW(RecordFile().c_str());
        ASSERT_TRUE(InstallProduct());
        // The service records the changes it would make instead of setting this PC's clock.
        WriteText(HKEY_LOCAL_MACHINE, kServiceParameters, L"Clock Record File", RecordFile());
        RunToEnd(L"net stop \"VLM Service\"");
        RunToEnd(L"net start \"VLM Service\"");
        ASSERT_TRUE(WaitUntil([] { return ServiceState() == SERVICE_RUNNING; }, 20s));
    }
    void TearDown() override {
        if (FileExists(InstallDir() + L"\\uninstall.exe")) UninstallProduct();
    }
    std::wstring Program() const { return InstallDir() + L"\\Velmora.exe"; }
};

TEST_F(ProductTest, FromFirstRunThroughSynchronisationToUninstall) {
    // First run: defaults, and the program registers itself to start with Windows.
    {
        VelmoraProcess app({}, Program());
        ASSERT_NE(app.ClockWindow(testing::kProgramStartTimeout), nullptr);
        ExitThroughTheTray(app);
    }
    EXPECT_EQ(ReadText(HKEY_CURRENT_USER, kRunKey, L"Velmora"), L"\"" + Program() + L"\" -startup");
    EXPECT_EQ(ReadNumber(HKEY_CURRENT_USER, kSettingsKey, L"Skin"), 0u);
    EXPECT_EQ(ReadNumber(HKEY_CURRENT_USER, kSettingsKey, L"Minimized"), 0u);

    // Synchronisation at start against a server 2.5 s ahead: the service gets that offset.
    SntpTestServer server(R"("offset_ms": 2500)");
    ASSERT_TRUE(server.Started());
    WriteNumber(HKEY_CURRENT_USER, kSettingsKey, L"Utilize NIST server", 0);
    WriteText(HKEY_CURRENT_USER, kSettingsKey, L"Custom Server Address", L"127.0.0.1");
    WriteNumber(HKEY_CURRENT_USER, kSettingsKey, L"Custom Server Port", server.Port());
    WriteNumber(HKEY_CURRENT_USER, kSettingsKey, L"Sync at Start", 1);
    RECT placed{};
    {
        VelmoraProcess app({}, Program());
        const HWND clock = app.ClockWindow(testing::kProgramStartTimeout);
        ASSERT_NE(clock, nullptr);
        ASSERT_TRUE(WaitUntil([] { return !RecordedMoves().empty(); }, 30s)) << "the service got no offset";
        const auto moves = RecordedMoves();
        ASSERT_EQ(moves.size(), 1u);
        EXPECT_NEAR(static_cast<double>(moves[0]), 2500.0, 30.0);
        EXPECT_EQ(server.Requests(), 1);

        // "Exit" saves where the window stands.
        ::SetWindowPos(clock, nullptr, 200, 150, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        ASSERT_TRUE(WaitUntil([&] { return WindowRect(clock).left == 200; }, 5s));
        placed = WindowRect(clock);
        ExitThroughTheTray(app);
    }
    EXPECT_EQ(static_cast<LONG>(ReadNumber(HKEY_CURRENT_USER, kSettingsKey, L"Left")), placed.left);
    EXPECT_EQ(static_cast<LONG>(ReadNumber(HKEY_CURRENT_USER, kSettingsKey, L"Top")), placed.top);

    // A restart comes back where it was left; the close signal ends it without saving.
    WriteNumber(HKEY_CURRENT_USER, kSettingsKey, L"Sync at Start", 0);
    {
        VelmoraProcess app({}, Program());
        const HWND clock = app.ClockWindow(testing::kProgramStartTimeout);
        ASSERT_NE(clock, nullptr);
        EXPECT_TRUE(WaitUntil([&] { return WindowRect(clock).left == placed.left; }, 5s));
        EXPECT_EQ(WindowRect(clock).top, placed.top);
        ::SetWindowPos(clock, nullptr, 400, 300, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        HANDLE signal = nullptr;
        ASSERT_TRUE(WaitUntil([&] { return (signal = ::OpenEventW(EVENT_MODIFY_STATE, FALSE, L"Global\\VLMcloseEvent")); }, 10s));
        ::SetEvent(signal);
        ::CloseHandle(signal);
        ASSERT_TRUE(app.WaitForExit(30s));
    }
    EXPECT_EQ(static_cast<LONG>(ReadNumber(HKEY_CURRENT_USER, kSettingsKey, L"Left")), placed.left) << "not saved";

    // Uninstall: no service, no files, no Run value.
    ASSERT_TRUE(UninstallProduct());
    EXPECT_TRUE(WaitUntil([] { return ServiceState() == 0; }, 20s));
    EXPECT_FALSE(FileExists(Program()));
    EXPECT_EQ(ReadText(HKEY_CURRENT_USER, kRunKey, L"Velmora"), L"<missing>");
}

struct ControlSearch {
    int id;
    HWND found;
};

BOOL CALLBACK FindControl(HWND child, LPARAM l) {
    auto* search = reinterpret_cast<ControlSearch*>(l);
    if (::GetDlgCtrlID(child) != search->id) return TRUE;
    search->found = child;
    return FALSE;
}

// The page control `id` of the open settings window (the pages are its child dialogs).
HWND SettingsControl(HWND settings, int id) {
    ControlSearch search{id, nullptr};
    ::EnumChildWindows(settings, FindControl, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

TEST_F(ProductTest, TheSettingsDialogChangesTheServerAndTheInterval) {
    VelmoraProcess app({}, Program());
    const HWND hidden = app.HiddenWindow(testing::kProgramStartTimeout);
    ASSERT_NE(hidden, nullptr);
    ::PostMessageW(hidden, WM_COMMAND, 32774, 0);  // tray menu "Settings"
    HWND settings = nullptr;
    ASSERT_TRUE(WaitUntil([&] { return (settings = ::FindWindowW(nullptr, L"Velmora Settings")) != nullptr; }, 20s));

    // Ids of the dialog's templates (resources/resource_ids.h).
    constexpr int kCustomServer = 1022, kCustomHost = 1038, kCustomPort = 1024;
    constexpr int kAutomaticSync = 1026, kSyncMinutes = 1032, kApply = 1055;
    // The window is found as soon as it exists; its pages come during its initialisation.
    for (const int id : {kCustomServer, kCustomHost, kCustomPort, kAutomaticSync, kSyncMinutes, kApply})
        ASSERT_TRUE(WaitUntil([&] { return SettingsControl(settings, id) != nullptr; }, 10s)) << id;
    ::SendMessageW(SettingsControl(settings, kCustomServer), BM_CLICK, 0, 0);
    ::SendMessageW(SettingsControl(settings, kCustomHost), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"ntp.example.org"));
    ::SendMessageW(SettingsControl(settings, kCustomPort), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"12345"));
    ::SendMessageW(SettingsControl(settings, kAutomaticSync), BM_CLICK, 0, 0);
    ::SendMessageW(SettingsControl(settings, kSyncMinutes), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"15"));
    ::SendMessageW(SettingsControl(settings, kApply), BM_CLICK, 0, 0);

    EXPECT_TRUE(WaitUntil([&] { return !::IsWindow(settings); }, 10s)) << "Apply closes the window";
    EXPECT_EQ(ReadNumber(HKEY_CURRENT_USER, kSettingsKey, L"Utilize NIST server"), 0u);
    EXPECT_EQ(ReadText(HKEY_CURRENT_USER, kSettingsKey, L"Custom Server Address"), L"ntp.example.org");
    EXPECT_EQ(ReadNumber(HKEY_CURRENT_USER, kSettingsKey, L"Custom Server Port"), 12345u);
    EXPECT_EQ(ReadNumber(HKEY_CURRENT_USER, kSettingsKey, L"Sync Automatocally"), 1u);
    EXPECT_EQ(ReadNumber(HKEY_CURRENT_USER, kSettingsKey, L"Sync Every X Minutes"), 15u);
    ExitThroughTheTray(app);
}

}  // namespace
}  // namespace velmora
