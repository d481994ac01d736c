// The settings rules that need no registry: view order, time picture, query target, the Run
// command line and the order in which stored world clocks come back.
#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "settings/app_settings.h"
#include "settings/next_view.h"
#include "settings/server_selection.h"
#include "settings/startup_command.h"
#include "settings/time_format_pattern.h"
#include "settings/world_clock_order.h"

namespace velmora {
namespace {

TEST(NextViewStep, CyclesTheViewsWithTheirShifts) {
    const struct {
        std::int32_t skin;
        bool anyEnabled;
        std::int32_t nextSkin;
        std::int32_t shift;
    } cases[] = {
        {0, false, 1, 171},  {0, true, 1, 171},   {1, true, 2, -171}, {1, false, 0, -171},
        {2, true, 0, 0},     {2, false, 0, 0},    {3, true, 3, 0},    {-1, false, -1, 0},
    };
    for (const auto& c : cases) {
        const ViewStep step = NextViewStep(c.skin, c.anyEnabled);
        EXPECT_EQ(step.skin, c.nextSkin) << c.skin << " enabled=" << c.anyEnabled;
        EXPECT_EQ(step.shift, c.shift) << c.skin << " enabled=" << c.anyEnabled;
    }
}

TEST(TimeFormatPatternFor, TwelveAndTwentyFourHaveTheirPicturesOthersUseTheUsersFormat) {
    EXPECT_STREQ(TimeFormatPatternFor(12), L"h':'mm':'ss tt");
    EXPECT_STREQ(TimeFormatPatternFor(24), L"HH':'mm':'ss");
    for (int other : {0, 7, -12, 2147483647}) EXPECT_EQ(TimeFormatPatternFor(other), nullptr) << other;
}

class QueryTargetTest : public ::testing::Test {
protected:
    void SetUp() override {
        saved_ = AppSettings;
        ServerList.assign(std::begin(kBuiltInServers), std::end(kBuiltInServers));
    }
    void TearDown() override {
        AppSettings = saved_;
        ServerList.clear();
        ResetSyncTarget();
    }

private:
    SettingsRecord saved_;
};

TEST_F(QueryTargetTest, BuiltInServersAskNtpOnTheChosenHost) {
    const struct {
        std::int32_t selected;
        const wchar_t* host;
    } cases[] = {
        {0, L"time.google.com"},
        {1, L"time.nist.gov"},
        {2, L"pool.ntp.org"},
        // Hand-edited, or the dialog's "no selection": the first entry.
        {3, L"time.google.com"},
        {-1, L"time.google.com"},
        {2147483647, L"time.google.com"},
    };
    for (const auto& c : cases) {
        AppSettings.useBuiltInServer = 1;
        AppSettings.selectedServerId = c.selected;
        AppSettings.customServerAddress = L"10.0.0.1";
        SelectServer();
        EXPECT_EQ(SyncHost(), c.host) << c.selected;
        EXPECT_EQ(SyncService(), L"ntp") << c.selected;
        EXPECT_EQ(AppSettings.selectedServerId, c.selected) << "the stored choice is left alone";
    }
}

TEST_F(QueryTargetTest, ACustomServerAsksItsAddressOnItsPort) {
    const struct {
        std::int32_t port;
        const wchar_t* service;
    } cases[] = {{5123, L"5123"}, {123, L"123"}, {-5, L"-5"}, {-2147483647 - 1, L"-2147483648"}};
    for (const auto& c : cases) {
        AppSettings.useBuiltInServer = 0;
        AppSettings.selectedServerId = 2;
        AppSettings.customServerAddress = L"10.0.0.1";
        AppSettings.customServerPort = c.port;
        SelectServer();
        const SyncTargetNames target = CurrentSyncTargetNames();
        EXPECT_EQ(target.host, L"10.0.0.1");
        EXPECT_EQ(target.service, c.service);
    }
}

TEST_F(QueryTargetTest, BeforeTheSettingsAreLoadedTheTargetIsNist) {
    EXPECT_EQ(SyncHost(), L"time.nist.gov");
    EXPECT_EQ(SyncService(), L"ntp");
}

TEST_F(QueryTargetTest, AQueryStartingDuringASaveGetsOneWholeTarget) {
    // One thread keeps switching between two servers, as Apply would; the other takes copies
    // as queries do. Every copy must be one of the two, never a mix.
    std::atomic<bool> stop{false};
    std::thread saver([&] {
        for (int i = 0; i < 20000 && !stop; ++i) {
            AppSettings.useBuiltInServer = 0;
            AppSettings.customServerAddress = i % 2 ? L"first.example" : L"second-server.example";
            AppSettings.customServerPort = i % 2 ? 1001 : 2002;
            SelectServer();
        }
        stop = true;
    });
    int mixed = 0;
    while (!stop) {
        const SyncTargetNames t = CurrentSyncTargetNames();
        const bool first = t.host == L"first.example" && t.service == L"1001";
        const bool second = t.host == L"second-server.example" && t.service == L"2002";
        const bool initial = t.host == L"time.nist.gov" && t.service == L"ntp";
        if (!first && !second && !initial) ++mixed;
    }
    saver.join();
    EXPECT_EQ(mixed, 0);
}

TEST(RunAtStartupCommand, QuotesThePathAndAppendsTheSwitch) {
    EXPECT_EQ(RunAtStartupCommand(L"C:\\Program Files\\Tools\\clock.exe"),
              L"\"C:\\Program Files\\Tools\\clock.exe\" -startup");
    // The start-up test looks for " -startup" in the command line.
    EXPECT_NE(RunAtStartupCommand(L"C:\\Velmora.exe").find(L" -startup"), std::wstring::npos);
}

using Names = std::vector<std::wstring>;

TEST(OrderWorldClockSubkeys, NumberedClocksComeBackInTheirSavedOrder) {
    const struct {
        Names enumerated;
        Names ordered;
    } cases[] = {
        // What the registry enumerates for eleven clocks.
        {{L"1", L"10", L"11", L"2", L"3", L"4", L"5", L"6", L"7", L"8", L"9"},
         {L"1", L"2", L"3", L"4", L"5", L"6", L"7", L"8", L"9", L"10", L"11"}},
        // Names that are not numbers follow, as enumerated.
        {{L"1", L"10", L"2", L"b", L"a", L"x1"}, {L"1", L"2", L"10", L"b", L"a", L"x1"}},
        {{L"clock", L"3"}, {L"3", L"clock"}},
        // Hand-made names: leading zeros, numbers too large for any integer type, signs.
        {{L"010", L"9", L"1", L"01"}, {L"1", L"01", L"9", L"010"}},
        {{L"99999999999999999999999", L"5"}, {L"5", L"99999999999999999999999"}},
        {{L"-1", L"2", L"+3", L""}, {L"2", L"-1", L"+3", L""}},
        {{}, {}},
    };
    for (const auto& c : cases) EXPECT_EQ(OrderWorldClockSubkeys(c.enumerated), c.ordered);
}

}  // namespace
}  // namespace velmora
