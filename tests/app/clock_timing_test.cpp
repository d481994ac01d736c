#include "app/clock_timing.h"

#include <gtest/gtest.h>

#include <climits>

#include "app/startup_switch.h"

namespace velmora {
namespace {

TEST(ClockTiming, LocalTicksComeBackToWholeSeconds) {
    struct Case {
        int ms;
        std::uint32_t delay;
    } const cases[] = {{30, 970}, {700, 700}, {400, 600}, {500, 500}, {501, 501}, {0, 1000}, {999, 999}};
    for (const Case& c : cases) EXPECT_EQ(LocalTickDelay(c.ms), c.delay) << c.ms;
    // 12:00:00.700 -> 12:00:01.400 -> 12:00:02.000
    EXPECT_EQ((700 + LocalTickDelay(700)) % 1000 + LocalTickDelay((700 + LocalTickDelay(700)) % 1000), 1000u);
}

TEST(ClockTiming, ServerTicksWaitForTheServersNextSecond) {
    EXPECT_EQ(ServerTickDelay(350), 650u);
    EXPECT_EQ(ServerTickDelay(0), 1000u);
}

TEST(ClockTiming, TheAutoSyncPeriodIsClampedToWhatATimerCanWait) {
    struct Case {
        std::int32_t minutes;
        std::uint32_t period;
    } const cases[] = {
        {60, 3'600'000},  {30, 1'800'000},     {5, 300'000},
        {0, 60'000},      {-7, 60'000},        {35'791, 2'147'460'000},
        {35'792, 2'147'460'000}, {71'583, 2'147'460'000}, {INT_MAX, 2'147'460'000},
    };
    for (const Case& c : cases) EXPECT_EQ(AutoSyncPeriodMs(c.minutes), c.period) << c.minutes;
}

TEST(StartupSwitch, IsABlankThenTheSwitchCaseSensitively) {
    struct Case {
        const wchar_t* commandLine;
        bool atLogon;
    } const cases[] = {
        {L"\"C:\\Program Files\\Velmora\\Velmora.exe\" -startup", true},
        {L"Velmora.exe -startup", true},
        {L"Velmora.exe -startup -other", true},
        {L"Velmora.exe", false},
        {L"Velmora.exe -Startup", false},
        {L"\"-startup\"", false},
        {L"Velmora.exe \"-startup\"", false},
        {L"Velmora.exe\t-startup", false},
    };
    for (const Case& c : cases) EXPECT_EQ(ContainsStartupSwitch(c.commandLine), c.atLogon) << c.commandLine;
}

}  // namespace
}  // namespace velmora
