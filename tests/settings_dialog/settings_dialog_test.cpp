// The settings frame and its first two pages, driven by messages under Wine.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <string>

#include "resources/resource_ids.h"
#include "settings/app_settings.h"
#include "settings/server_selection.h"
#include "settings/settings_store.h"
#include "settings/world_clocks.h"
#include "tests/settings_dialog/dialog_driver.h"

namespace velmora {

void PrintTo(const SettingsRecord& s, std::ostream* os) {
    *os << "{builtIn=" << s.useBuiltInServer << " server=" << s.selectedServerId << " address="
        << ::testing::PrintToString(s.customServerAddress) << " port=" << s.customServerPort
        << " atStart=" << s.syncAtStart << " auto=" << s.syncAutomatically << " every=" << s.syncEveryMinutes
        << " format=" << s.timeFormat << " run=" << s.runAtStartup << " skin=" << s.skin << "}";
}

namespace {

using namespace velmora::testing;
const HKEY kUser = HKEY_CURRENT_USER;

class SettingsFrameTest : public SettingsDialogTest {
public:
    // A first run's settings (two world clocks, the Run value), saved.
    void LoadSaved() {
        LoadSettings();
        SaveSettings(false);
    }
    HWND Host() { return Control(Dialog().ServersPage(), IDC_CUSTOM_HOST); }
    HWND Port() { return Control(Dialog().ServersPage(), IDC_CUSTOM_PORT); }
    HWND ServerList() { return Control(Dialog().ServersPage(), IDC_SERVER_LIST); }
    HWND Minutes() { return Control(Dialog().OptionsPage(), IDC_SYNC_MINUTES); }
    HWND Options(int id) { return Control(Dialog().OptionsPage(), id); }

    // Changes something on every page.
    void EditEveryPage() {
        Click(Control(Dialog().ServersPage(), IDC_CUSTOM_SERVER));
        Type(Host(), L"edited.example");
        Type(Port(), L"4123");
        ShowTab(1);
        Click(Options(IDC_RUN_AT_STARTUP));
        Click(Options(IDC_TWENTY_FOUR_HOUR));
        Type(Minutes(), L"5");
        ShowTab(2);
        CPage5& zones = Dialog().TimeZonePage();
        ASSERT_FALSE(zones.Rows().empty());
        Type(zones.Rows()[0]->nameBox(), L"renamed");
        Click(zones.Rows().back()->deleteButton());
        Click(zones.AddButton());
    }
};

TEST_F(SettingsFrameTest, OpensTopmostWithThreeTabsAndTheFirstPageShown) {
    LoadSaved();
    SYNC& dialog = Open();
    EXPECT_EQ(dialog.GetWindowText(), L"Velmora Settings");
    EXPECT_TRUE(::GetWindowLongPtrW(dialog.m_hWnd, GWL_EXSTYLE) & WS_EX_TOPMOST);
    EXPECT_TRUE(dialog.IsWindowVisible());
    ASSERT_EQ(dialog.Tabs().GetItemCount(), 3);
    const wchar_t* const titles[] = {L"Synchronization Servers", L"Additional Options", L"Time Zone"};
    for (int i = 0; i < 3; ++i) {
        wchar_t text[64] = {};
        TCITEMW item{};
        item.mask = TCIF_TEXT;
        item.pszText = text;
        item.cchTextMax = static_cast<int>(std::size(text));
        ::SendMessageW(dialog.Tabs().m_hWnd, TCM_GETITEMW, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&item));
        EXPECT_STREQ(text, titles[i]);
    }
    EXPECT_EQ(CurrentTab(), 0);
    EXPECT_TRUE(dialog.ServersPage().IsWindowVisible());
    EXPECT_FALSE(dialog.OptionsPage().IsWindowVisible());
    EXPECT_FALSE(dialog.TimeZonePage().IsWindowVisible());

    // Switching hides the page that was shown and keeps what was typed on it.
    Type(Host(), L"typed");
    ShowTab(2);
    EXPECT_EQ(CurrentTab(), 2);
    EXPECT_FALSE(dialog.ServersPage().IsWindowVisible());
    EXPECT_TRUE(dialog.TimeZonePage().IsWindowVisible());
    ShowTab(0);
    EXPECT_EQ(Text(Host()), L"typed");
}

TEST_F(SettingsFrameTest, OpeningAgainBringsTheSameWindowForwardWithItsEdits) {
    LoadSaved();
    SYNC* first = &Open();
    const HWND window = first->m_hWnd;
    Type(Host(), L"unsaved.example");
    ShowTab(1);

    ::SetForegroundWindow(::GetDesktopWindow());
    OpenSettingsDialog();
    EXPECT_EQ(SettingsDialog, first);
    EXPECT_EQ(SettingsDialog->m_hWnd, window);
    EXPECT_EQ(::GetForegroundWindow(), window);
    EXPECT_EQ(Text(Host()), L"unsaved.example");
    EXPECT_EQ(CurrentTab(), 1);
}

TEST_F(SettingsFrameTest, CancelTheCloseBoxAndEscapeChangeNothing) {
    LoadSaved();
    const SettingsRecord settingsBefore = AppSettings;
    const auto clocksBefore = ViewOf(WorldClockList);
    const RegistrySnapshot storedBefore = Stored();
    ASSERT_FALSE(storedBefore.empty());

    const struct {
        const char* how;
        void (*close)(SettingsFrameTest&);
    } closers[] = {
        {"Cancel", [](SettingsFrameTest& t) { t.Click(t.Dialog().GetDlgItem(IDC_SETTINGS_CANCEL)); }},
        {"close box", [](SettingsFrameTest& t) { t.Dialog().SendMessage(WM_CLOSE); }},
        {"Escape in a page", [](SettingsFrameTest& t) { EXPECT_TRUE(t.PressKey(t.Minutes(), VK_ESCAPE)); }},
        {"Escape on the tabs", [](SettingsFrameTest& t) { EXPECT_TRUE(t.PressKey(t.Dialog().Tabs().m_hWnd, VK_ESCAPE)); }},
    };
    for (const auto& closer : closers) {
        SCOPED_TRACE(closer.how);
        const HWND window = Open().m_hWnd;
        EditEveryPage();
        closer.close(*this);
        EXPECT_EQ(SettingsDialog, nullptr);
        EXPECT_FALSE(::IsWindow(window));
        EXPECT_EQ(AppSettings, settingsBefore);
        EXPECT_EQ(ViewOf(WorldClockList), clocksBefore);
        EXPECT_EQ(Stored(), storedBefore);
    }
    // A new opening shows the stored values again, on the first tab.
    Open();
    EXPECT_EQ(CurrentTab(), 0);
    EXPECT_EQ(Text(Host()), settingsBefore.customServerAddress);
    EXPECT_EQ(Dialog().TimeZonePage().Rows().size(), clocksBefore.size());
    EXPECT_TRUE(notices.empty());
}

TEST_F(SettingsFrameTest, EnterInsideAPageDoesNothing) {
    LoadSaved();
    const SettingsRecord before = AppSettings;
    const HWND window = Open().m_hWnd;
    Click(Control(Dialog().ServersPage(), IDC_CUSTOM_SERVER));
    PressKey(Port(), VK_RETURN);
    ShowTab(2);
    PressKey(Dialog().TimeZonePage().Rows()[0]->nameBox(), VK_RETURN);
    EXPECT_EQ(SettingsDialog, &Dialog());
    EXPECT_TRUE(::IsWindow(window));
    EXPECT_TRUE(::IsWindow(Dialog().ServersPage().m_hWnd));
    EXPECT_TRUE(::IsWindow(Dialog().TimeZonePage().m_hWnd));
    EXPECT_EQ(AppSettings, before);
}

TEST_F(SettingsFrameTest, TheTabKeyMovesThroughTheShownPageAndOnToTheButtons) {
    LoadSaved();
    Open();
    Click(Control(Dialog().ServersPage(), IDC_CUSTOM_SERVER));
    PressKey(Port(), VK_TAB);
    EXPECT_EQ(::GetFocus(), Host());
    PressKey(Host(), VK_TAB);
    EXPECT_EQ(::GetFocus(), Dialog().GetDlgItem(IDC_SETTINGS_APPLY));
}

// Holds Ctrl (and Shift) down for this thread's key state, as the keyboard would.
class HeldKeys {
public:
    explicit HeldKeys(bool shift) {
        ::GetKeyboardState(saved_);
        BYTE keys[256];
        std::copy(std::begin(saved_), std::end(saved_), keys);
        keys[VK_CONTROL] = keys[VK_LCONTROL] = 0x80;
        keys[VK_SHIFT] = keys[VK_LSHIFT] = shift ? 0x80 : 0;
        ::SetKeyboardState(keys);
    }
    ~HeldKeys() { ::SetKeyboardState(saved_); }
    HeldKeys(const HeldKeys&) = delete;
    HeldKeys& operator=(const HeldKeys&) = delete;

private:
    BYTE saved_[256];
};

TEST_F(SettingsFrameTest, CtrlTabAndCtrlPageKeysGoRoundThePagesAndTakeTheFocusAlong) {
    LoadSaved();
    Open();
    const struct {
        WPARAM key;
        bool shift;
        int page;
        const char* what;
    } steps[] = {
        {VK_TAB, false, 1, "Ctrl+Tab"},        {VK_TAB, false, 2, "Ctrl+Tab"},
        {VK_TAB, false, 0, "Ctrl+Tab, round"}, {VK_TAB, true, 2, "Ctrl+Shift+Tab, round"},
        {VK_TAB, true, 1, "Ctrl+Shift+Tab"},   {VK_NEXT, false, 2, "Ctrl+PgDn"},
        {VK_NEXT, false, 0, "Ctrl+PgDn, round"}, {VK_PRIOR, false, 2, "Ctrl+PgUp, round"},
        {VK_PRIOR, false, 1, "Ctrl+PgUp"},
    };
    CDialog* const pages[] = {&Dialog().ServersPage(), &Dialog().OptionsPage(), &Dialog().TimeZonePage()};
    HWND focus = Host();
    for (const auto& step : steps) {
        {
            HeldKeys held(step.shift);
            EXPECT_TRUE(PressKey(focus, step.key)) << step.what;
        }
        EXPECT_EQ(CurrentTab(), step.page) << step.what;
        for (int i = 0; i < 3; ++i) EXPECT_EQ(pages[i]->IsWindowVisible(), i == step.page) << step.what << ", page " << i;
        focus = ::GetFocus();
        EXPECT_TRUE(::IsChild(pages[step.page]->m_hWnd, focus)) << step.what << ": the focus is on the page shown";
    }
    // Without Ctrl the keys keep their usual meaning.
    EXPECT_FALSE(PressKey(focus, VK_NEXT) && CurrentTab() != 1);
    EXPECT_EQ(CurrentTab(), 1);
}

TEST_F(SettingsFrameTest, AnEditOnTheFirstTabAppliedFromTheThirdIsSaved) {
    LoadSaved();
    Open();
    Click(Control(Dialog().ServersPage(), IDC_CUSTOM_SERVER));
    Type(Host(), L"time.example.org");
    Type(Port(), L"4123");
    ShowTab(2);
    PressApply();

    EXPECT_EQ(SettingsDialog, nullptr) << "Apply closes the dialog";
    EXPECT_EQ(AppSettings.useBuiltInServer, 0);
    EXPECT_EQ(AppSettings.customServerAddress, L"time.example.org");
    EXPECT_EQ(AppSettings.customServerPort, 4123);
    EXPECT_EQ(ReadStoredDword(kUser, SettingsPath(), L"Utilize NIST server"), 0);
    EXPECT_EQ(ReadStoredText(kUser, SettingsPath(), L"Custom Server Address"), L"time.example.org");
    EXPECT_EQ(ReadStoredDword(kUser, SettingsPath(), L"Custom Server Port"), 4123);
    EXPECT_EQ(SyncHost(), L"time.example.org");
    EXPECT_EQ(SyncService(), L"4123");
}

TEST_F(SettingsFrameTest, AnUnreadableNumberAppliesNothingAndPointsAtItsBox) {
    LoadSaved();
    const SettingsRecord settingsBefore = AppSettings;
    const auto clocksBefore = ViewOf(WorldClockList);
    const RegistrySnapshot storedBefore = Stored();

    const struct {
        const char* what;
        const wchar_t* port;
        const wchar_t* minutes;
        int page;
        bool portBox;  // else the minutes box
        const wchar_t* failure;
    } cases[] = {
        {"empty port", L"", L"5", 0, true, L"invalid stoi argument"},
        {"empty minutes", L"4123", L"", 1, false, L"invalid stoi argument"},
        {"port too large", L"99999999999", L"5", 0, true, L"stoi argument out of range"},
        {"minutes not a number", L"4123", L"x5", 1, false, L"invalid stoi argument"},
        {"both: the port comes first", L" ", L"", 0, true, L"invalid stoi argument"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        notices.clear();
        const HWND window = Open().m_hWnd;
        EditEveryPage();  // leaves the Time Zone page shown
        Type(Port(), c.port);
        Type(Minutes(), c.minutes);
        PressApply();

        EXPECT_EQ(SettingsDialog, &Dialog()) << "the dialog stays open";
        EXPECT_EQ(AppSettings, settingsBefore);
        EXPECT_EQ(ViewOf(WorldClockList), clocksBefore);
        EXPECT_EQ(Stored(), storedBefore);

        const HWND box = c.portBox ? Port() : Minutes();
        EXPECT_EQ(CurrentTab(), c.page);
        EXPECT_TRUE(c.portBox ? Dialog().ServersPage().IsWindowVisible() : Dialog().OptionsPage().IsWindowVisible());
        EXPECT_FALSE(Dialog().TimeZonePage().IsWindowVisible());
        EXPECT_EQ(::GetFocus(), box);
        DWORD start = 1, end = 0;
        ::SendMessageW(box, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
        EXPECT_EQ(start, 0u);
        EXPECT_EQ(end, static_cast<DWORD>(Text(box).size()));

        ASSERT_EQ(notices.size(), 1u);
        EXPECT_EQ(notices[0].owner, window);
        EXPECT_EQ(notices[0].caption, L"Velmora Settings");
        EXPECT_NE(notices[0].text.find(c.failure), std::wstring::npos) << ::testing::PrintToString(notices[0].text);
        CloseSettingsDialog();
    }
}

TEST_F(SettingsFrameTest, GreyedMinutesAreStillReadAndStillStopApply) {
    LoadSaved();
    const SettingsRecord before = AppSettings;
    Open();
    ShowTab(1);
    Type(Minutes(), L"");
    Click(Options(IDC_MANUAL_SYNC));
    EXPECT_FALSE(::IsWindowEnabled(Minutes()));
    ShowTab(0);
    PressApply();
    EXPECT_EQ(AppSettings, before);
    EXPECT_EQ(CurrentTab(), 1);
    ASSERT_EQ(notices.size(), 1u);
    EXPECT_NE(notices[0].text.find(L"invalid stoi argument"), std::wstring::npos);
}

TEST_F(SettingsFrameTest, TypedNumbersAreReadUpToTheirFirstNonDigit) {
    const struct {
        const wchar_t* port;
        const wchar_t* minutes;
        std::int32_t storedPort;
        std::int32_t storedMinutes;
    } cases[] = {
        {L"12ab", L"0045", 12, 45},
        {L"0", L"0", 0, 0},
        {L" 99999", L"+7 min", 99999, 7},
        {L"-1", L"-5", -1, -5},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::PrintToString(std::wstring(c.port) + L" / " + c.minutes));
        LoadSaved();
        Open();
        Type(Port(), c.port);
        Type(Minutes(), c.minutes);
        PressApply();
        EXPECT_EQ(SettingsDialog, nullptr);
        EXPECT_EQ(ReadStoredDword(kUser, SettingsPath(), L"Custom Server Port"), c.storedPort);
        EXPECT_EQ(ReadStoredDword(kUser, SettingsPath(), L"Sync Every X Minutes"), c.storedMinutes);
    }
}

TEST_F(SettingsFrameTest, TheServersPageFollowsTheRadioButtons) {
    StoreSavedMarker();
    StoreText(kUser, SettingsPath(), L"Custom Server Address", L"10.0.0.5");
    StoreDword(kUser, SettingsPath(), L"Custom Server Port", 1230);
    StoreDword(kUser, SettingsPath(), L"Selected Server Id", 1);
    LoadSettings();
    Open();
    CPage1& page = Dialog().ServersPage();
    EXPECT_TRUE(Checked(Control(page, IDC_BUILT_IN_SERVER)));
    EXPECT_FALSE(Checked(Control(page, IDC_CUSTOM_SERVER)));
    EXPECT_EQ(::SendMessageW(ServerList(), CB_GETCOUNT, 0, 0), 3);
    EXPECT_EQ(::SendMessageW(ServerList(), CB_GETCURSEL, 0, 0), 1);
    EXPECT_TRUE(::IsWindowEnabled(ServerList()));
    // Greyed, but filled with the stored custom values.
    EXPECT_FALSE(::IsWindowEnabled(Host()));
    EXPECT_FALSE(::IsWindowEnabled(Port()));
    EXPECT_EQ(Text(Host()), L"10.0.0.5");
    EXPECT_EQ(Text(Port()), L"1230");

    Click(Control(page, IDC_CUSTOM_SERVER));
    EXPECT_FALSE(Checked(Control(page, IDC_BUILT_IN_SERVER)));
    EXPECT_FALSE(::IsWindowEnabled(ServerList()));
    EXPECT_TRUE(::IsWindowEnabled(Host()));
    EXPECT_TRUE(::IsWindowEnabled(Port()));
    Click(Control(page, IDC_BUILT_IN_SERVER));
    EXPECT_TRUE(::IsWindowEnabled(ServerList()));
    EXPECT_FALSE(::IsWindowEnabled(Host()));

    // The list's selection is stored whichever server is chosen.
    Click(Control(page, IDC_CUSTOM_SERVER));
    ::SendMessageW(ServerList(), CB_SETCURSEL, 2, 0);
    PressApply();
    EXPECT_EQ(ReadStoredDword(kUser, SettingsPath(), L"Selected Server Id"), 2);
    EXPECT_EQ(ReadStoredDword(kUser, SettingsPath(), L"Utilize NIST server"), 0);
}

TEST_F(SettingsFrameTest, TheWheelNeverChangesTheClosedServerList) {
    LoadSaved();
    Open();
    ::SendMessageW(ServerList(), CB_SETCURSEL, 1, 0);
    ::SetFocus(ServerList());
    for (const short delta : {-WHEEL_DELTA, -WHEEL_DELTA, WHEEL_DELTA, 3 * WHEEL_DELTA})
        ::SendMessageW(ServerList(), WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(delta)), 0);
    EXPECT_EQ(::SendMessageW(ServerList(), CB_GETCURSEL, 0, 0), 1);
    PressApply();
    EXPECT_EQ(AppSettings.selectedServerId, 1);
}

TEST_F(SettingsFrameTest, AStoredServerIdPastTheListShowsNoSelectionAndStoresMinusOne) {
    StoreSavedMarker();
    StoreDword(kUser, SettingsPath(), L"Selected Server Id", 7);
    LoadSettings();
    Open();
    EXPECT_EQ(::SendMessageW(ServerList(), CB_GETCURSEL, 0, 0), CB_ERR);
    PressApply();
    EXPECT_EQ(ReadStoredDword(kUser, SettingsPath(), L"Selected Server Id"), -1);
}

TEST_F(SettingsFrameTest, TheOptionsPageShowsAndStoresEveryField) {
    StoreSavedMarker();
    StoreDword(kUser, SettingsPath(), L"Sync at Start", 1);
    StoreDword(kUser, SettingsPath(), L"Sync Automatocally", 0);
    StoreDword(kUser, SettingsPath(), L"Sync Every X Minutes", 15);
    StoreDword(kUser, SettingsPath(), L"Time Format", 7);  // no such format
    LoadSettings();
    Open();
    ShowTab(1);
    EXPECT_FALSE(Checked(Options(IDC_RUN_AT_STARTUP))) << "no Run value in the scratch key";
    EXPECT_TRUE(Checked(Options(IDC_SYNC_AT_START)));
    EXPECT_TRUE(Checked(Options(IDC_MANUAL_SYNC)));
    EXPECT_FALSE(Checked(Options(IDC_AUTOMATIC_SYNC)));
    EXPECT_EQ(Text(Minutes()), L"15");
    EXPECT_FALSE(::IsWindowEnabled(Minutes()));
    for (const int id : {IDC_TWELVE_HOUR, IDC_TWENTY_FOUR_HOUR, IDC_SYSTEM_TIME_FORMAT}) EXPECT_FALSE(Checked(Options(id)));

    Click(Options(IDC_AUTOMATIC_SYNC));
    EXPECT_TRUE(::IsWindowEnabled(Minutes()));
    EXPECT_FALSE(Checked(Options(IDC_MANUAL_SYNC)));
    Click(Options(IDC_SYNC_AT_START));
    Click(Options(IDC_RUN_AT_STARTUP));
    PressApply();
    EXPECT_EQ(ReadStoredDword(kUser, SettingsPath(), L"Time Format"), 0) << "untouched buttons store 0";
    EXPECT_EQ(ReadStoredDword(kUser, SettingsPath(), L"Sync Automatocally"), 1);
    EXPECT_EQ(ReadStoredDword(kUser, SettingsPath(), L"Sync at Start"), 0);
    EXPECT_TRUE(ReadStored(kUser, RunPath(), L"Velmora").has_value());

    const struct {
        int button;
        std::int32_t format;
    } formats[] = {{IDC_TWELVE_HOUR, 12}, {IDC_TWENTY_FOUR_HOUR, 24}, {IDC_SYSTEM_TIME_FORMAT, 0}};
    for (const auto& f : formats) {
        Open();
        ShowTab(1);
        Click(Options(f.button));
        PressApply();
        EXPECT_EQ(ReadStoredDword(kUser, SettingsPath(), L"Time Format"), f.format);
        Open();
        EXPECT_TRUE(Checked(Options(f.button))) << f.format;
        CloseSettingsDialog();
    }
}

TEST_F(SettingsFrameTest, UncheckingRunOnWindowsStartupRemovesTheRunValueOnApply) {
    LoadSettings();  // a first run registers the program
    ASSERT_TRUE(ReadStored(kUser, RunPath(), L"Velmora").has_value());
    Open();
    ShowTab(1);
    ASSERT_TRUE(Checked(Options(IDC_RUN_AT_STARTUP)));
    Click(Options(IDC_RUN_AT_STARTUP));
    PressApply();
    EXPECT_FALSE(ReadStored(kUser, RunPath(), L"Velmora").has_value());
    EXPECT_TRUE(StoredValueNames(kUser, RunPath()).empty()) << "no empty value is left behind";
    EXPECT_EQ(AppSettings.runAtStartup, 0);
}

}  // namespace
}  // namespace velmora
