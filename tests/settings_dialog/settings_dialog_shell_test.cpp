// The settings dialog with the hidden main window: opened from the tray command, re-arming
// automatic synchronisation and rebuilding a shown world-clock view on Apply.
#include <windows.h>

#include <gtest/gtest.h>

#include "app/hide_main_wnd.h"
#include "resources/resource_ids.h"
#include "settings/app_settings.h"
#include "settings/settings_store.h"
#include "settings/world_clocks.h"
#include "tests/settings_dialog/dialog_driver.h"

namespace velmora {
namespace {

using namespace velmora::testing;

class SettingsDialogShellTest : public SettingsDialogTest {
protected:
    void SetUp() override {
        SettingsDialogTest::SetUp();
        LoadSettings();
        SaveSettings(false);
        ASSERT_TRUE(window.Create());
    }
    void TearDown() override {
        CloseSettingsDialog();
        SettingsDialogTest::TearDown();
    }
    HWND Minutes() { return Control(Dialog().OptionsPage(), IDC_SYNC_MINUTES); }
    // As the tray's "Settings" opens it: the dialog then reports to the hidden window.
    SYNC& Open() {
        window.SendMessage(WM_COMMAND, MAKEWPARAM(ID_TRAY_SETTINGS, 0));
        EXPECT_NE(SettingsDialog, nullptr);
        return *SettingsDialog;
    }

    Hide_Main_Wnd window;
};

TEST_F(SettingsDialogShellTest, TheTraysSettingsCommandOpensOneDialogOwnedByTheHiddenWindow) {
    window.SendMessage(WM_COMMAND, MAKEWPARAM(ID_TRAY_SETTINGS, 0));
    ASSERT_NE(SettingsDialog, nullptr);
    const HWND dialog = SettingsDialog->m_hWnd;
    EXPECT_TRUE(::IsWindowVisible(dialog));
    EXPECT_EQ(::GetWindow(dialog, GW_OWNER), window.m_hWnd);
    window.SendMessage(WM_COMMAND, MAKEWPARAM(ID_TRAY_SETTINGS, 0));
    EXPECT_EQ(SettingsDialog->m_hWnd, dialog);
}

TEST_F(SettingsDialogShellTest, ApplyReArmsAutomaticSynchronisation) {
    AppSettings.syncAutomatically = 1;
    AppSettings.syncEveryMinutes = 60;
    window.ApplyAutoSyncSetting();
    ASSERT_EQ(window.TimerDelay(AutoSyncTimer), 3'600'000u);

    Open();
    ShowTab(1);
    Type(Minutes(), L"5");
    PressApply();
    EXPECT_EQ(SettingsDialog, nullptr);
    EXPECT_EQ(window.TimerDelay(AutoSyncTimer), 300'000u);

    Open();
    ShowTab(1);
    Click(Control(Dialog().OptionsPage(), IDC_MANUAL_SYNC));
    PressApply();
    EXPECT_FALSE(window.AutoSyncArmed());
    EXPECT_EQ(window.TimerDelay(AutoSyncTimer), 0u);
}

TEST_F(SettingsDialogShellTest, ApplyRebuildsTheWorldClockViewOnlyWhenItIsShown) {
    for (const std::int32_t view : {kWorldClockView, kFullView}) {
        SCOPED_TRACE(view);
        AppSettings.skin = view;
        window.ShowClockWindow();
        const HWND before = window.clockWindow()->m_hWnd;
        ASSERT_NE(before, nullptr);

        Open();
        ShowTab(2);
        while (!Dialog().TimeZonePage().Rows().empty())
            Click(Dialog().TimeZonePage().Rows()[0]->deleteButton());
        PressApply();
        EXPECT_TRUE(WorldClockList.empty());
        ASSERT_NE(window.clockWindow(), nullptr);
        EXPECT_EQ(window.clockWindow()->m_hWnd != before, view == kWorldClockView);
        EXPECT_EQ(::IsWindow(before) == FALSE, view == kWorldClockView);
    }
}

TEST_F(SettingsDialogShellTest, TheDialogGoesWithTheHiddenWindow) {
    Open();
    window.DestroyWindow();
    EXPECT_EQ(SettingsDialog, nullptr);
}

}  // namespace
}  // namespace velmora
