// The hidden main window's timers and synchronisation driver, in-process, with a stand-in
// for the service on the real pipe and a fake query.
#include "app/hide_main_wnd.h"
#include "app/service_client.h"

#include <gtest/gtest.h>

#include <shellapi.h>

#include <new>
#include <system_error>

#include "display/clock_text.h"
#include "display/main_skin_dialog.h"
#include "settings/app_settings.h"
#include "settings/time_format_pattern.h"
#include "sync/pc_clock.h"
#include "tests/support/pipe_stand_in.h"
#include "tests/support/trusted_stand_in.h"
#include "tests/support/system_time.h"
#include "tests/support/message_pump.h"

namespace velmora {
namespace {

using testing::PipeStandIn;

constexpr auto At = testing::MakeSystemTime;

using testing::PumpPending;
using testing::PumpUntil;

class HiddenWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        AppSettings = SettingsRecord{};
        ServerOffset = NoServerTime;
        ClockAdjusted = false;
        StatusText.clear();
        ASSERT_TRUE(window.Create());
        // Queries answer at once with whatever the test chose.
        window.SetQuerySeams(Seams());
    }
    QuerySeams Seams() {
        QuerySeams seams;
        seams.measure = [this](const SntpTarget&) { return nextMeasurement; };
        seams.startWorker = [this](bool, std::function<void()> work) {
            ++queriesStarted;
            if (deliverAtOnce) work();
            else heldDelivery = std::move(work);
        };
        return seams;
    }
    void TearDown() override { SetPcClockOverride({}); }

    static SntpMeasurement Offset(std::int64_t ms) {
        SntpMeasurement m;
        m.offsetMs = ms;
        m.roundTripMs = 1;
        return m;
    }
    void Sync(bool adjust) {
        const int before = queriesStarted;
        window.StartSync(adjust);
        ASSERT_EQ(queriesStarted, before + 1);
        ASSERT_TRUE(PumpUntil([&] { return !window.QueryRunning(); }));
    }

    testing::TrustThisProcessAsService trustStandIn;
    Hide_Main_Wnd window;
    SntpMeasurement nextMeasurement;
    bool deliverAtOnce = true;
    std::function<void()> heldDelivery;
    int queriesStarted = 0;
};

TEST_F(HiddenWindowTest, ASyncWithAdjustSendsExactlyTheMeasuredOffset) {
    PipeStandIn service;
    nextMeasurement = Offset(-250);
    Sync(true);
    EXPECT_EQ(service.Offsets(), std::vector<std::int64_t>{-250});
    ASSERT_EQ(service.Requests().size(), 1u);
    EXPECT_EQ(service.Requests()[0], (std::vector<std::uint8_t>{0x06, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}));
    EXPECT_EQ(StatusText, L"Synchronized");
    EXPECT_EQ(ServerOffset, 0);
    EXPECT_TRUE(ClockAdjusted);
    EXPECT_EQ(window.TimerDelay(ServerClockTimer), 0u);
    EXPECT_NE(window.TimerDelay(ClockTimer), 0u) << "the local clock is re-aligned";
}

TEST_F(HiddenWindowTest, GetShowsTheServerClockAndAdjustSendsItLater) {
    PipeStandIn service;
    nextMeasurement = Offset(250);
    Sync(false);
    EXPECT_EQ(StatusText, L"Difference: 250 ms");
    EXPECT_EQ(ServerOffset, 250);
    EXPECT_NE(window.TimerDelay(ServerClockTimer), 0u) << "the server clock ticks";
    EXPECT_NE(ServerTimeText, kNoTimeText);
    EXPECT_TRUE(service.Offsets().empty());

    window.SendOffsetToService();
    EXPECT_EQ(service.Offsets(), std::vector<std::int64_t>{250});
    EXPECT_EQ(StatusText, L"Synchronized");
    EXPECT_EQ(ServerOffset, 0);
    EXPECT_EQ(window.TimerDelay(ServerClockTimer), 0u);
}

TEST_F(HiddenWindowTest, WithoutTheServiceTheOffsetIsKeptForLater) {
    nextMeasurement = Offset(1000);
    Sync(true);
    EXPECT_EQ(StatusText, L"Service error #2");
    EXPECT_EQ(ServerOffset, 1000);
    EXPECT_FALSE(ClockAdjusted);

    PipeStandIn service;  // the service comes up; "Adjust" sends the same offset
    window.SendOffsetToService();
    EXPECT_EQ(service.Offsets(), std::vector<std::int64_t>{1000});
    EXPECT_EQ(StatusText, L"Synchronized");
}

TEST_F(HiddenWindowTest, NothingIsSentWithoutAnOffset) {
    PipeStandIn service;
    for (const std::int64_t offset : {std::int64_t{0}, NoServerTime}) {
        ServerOffset = offset;
        StatusText = L"unchanged";
        window.SendOffsetToService();
        EXPECT_EQ(StatusText, L"unchanged");
    }
    nextMeasurement = SntpMeasurement{L"Could not connect"};
    Sync(true);
    EXPECT_EQ(StatusText, L"Could not connect");
    EXPECT_TRUE(service.Requests().empty());
}

TEST_F(HiddenWindowTest, AQueryStartedWhileOneRunsJoinsItAndItsAdjustCounts) {
    PipeStandIn service;
    deliverAtOnce = false;
    nextMeasurement = Offset(400);
    window.StartSync(false);
    window.StartSync(true);  // no second query; but the result must now reach the service
    EXPECT_EQ(queriesStarted, 1);
    heldDelivery();
    ASSERT_TRUE(PumpUntil([&] { return !window.QueryRunning(); }));
    EXPECT_EQ(service.Offsets(), std::vector<std::int64_t>{400});
}

// "Synchronized" only when the service set the clock: a refusal shows its code and keeps the
// offset, so that "Adjust" can try again.
TEST_F(HiddenWindowTest, ARefusedChangeShowsTheServicesErrorAndKeepsTheOffset) {
    {
        PipeStandIn refusing({.refuseWith = ERROR_PRIVILEGE_NOT_HELD});
        nextMeasurement = Offset(250);
        Sync(true);
        EXPECT_EQ(refusing.Offsets(), std::vector<std::int64_t>{250});
        EXPECT_EQ(StatusText, L"Service error #1314");
        EXPECT_EQ(ServerOffset, 250);
        EXPECT_FALSE(ClockAdjusted);
    }
    PipeStandIn service;
    window.SendOffsetToService();
    EXPECT_EQ(service.Offsets(), std::vector<std::int64_t>{250});
    EXPECT_EQ(StatusText, L"Synchronized");
    EXPECT_EQ(ServerOffset, 0);
}

// Whoever holds the pipe name gets nothing unless it is the running service, and a service
// that never answers holds the program only for the exchange's limit.
TEST_F(HiddenWindowTest, SquattersGetNothingAndASilentServerIsGivenUp) {
    struct Case {
        const char* what;
        PipeStandIn::Behaviour behaviour;
        bool trusted;
        const wchar_t* status;
        std::size_t requests;
    } const cases[] = {
        {"a squatter that answers", {}, false, L"Service error #1062", 0},
        {"a squatter that never answers", {.neverReply = true}, false, L"Service error #1062", 0},
        {"the service, hung", {.neverReply = true}, true, L"Service error #1460", 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        PipeStandIn server(c.behaviour);
        // Nobody runs "VLM Service" in the test prefix: an untrusted holder is a squatter.
        const ServiceEndpoint previous = SetServiceEndpoint(
            c.trusted ? ServiceEndpoint{.serviceProcess = [] { return std::optional<DWORD>(::GetCurrentProcessId()); }}
                      : ServiceEndpoint{});
        ServerOffset = 400;
        const ULONGLONG before = ::GetTickCount64();
        window.SendOffsetToService();
        const ULONGLONG tookMs = ::GetTickCount64() - before;
        SetServiceEndpoint(previous);
        EXPECT_EQ(StatusText, c.status);
        EXPECT_EQ(ServerOffset, 400);
        EXPECT_EQ(server.Requests().size(), c.requests);
        EXPECT_LT(tookMs, kServiceExchangeLimitMs + 1000u) << "the program was held";
    }
}

// A server (or anyone on the way) that says the time is years away: an automatic
// synchronisation shows the difference and sends nothing; "Adjust" may still send it.
TEST_F(HiddenWindowTest, AnAutomaticCorrectionBeyondFifteenHoursIsOnlyShown) {
    PipeStandIn service;
    struct Case {
        std::int64_t offset;
        bool sent;
    } const cases[] = {
        {kMaxAutomaticCorrectionMs, true},   {-kMaxAutomaticCorrectionMs, true},
        {kMaxAutomaticCorrectionMs + 1, false}, {315'576'000'000, false},  // ten years ahead
        {-1'796'901'970'234, false},                                    // 1970-01-01
    };
    std::vector<std::int64_t> expectedSent;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.offset);
        ClockAdjusted = false;
        nextMeasurement = Offset(c.offset);
        Sync(true);
        if (c.sent) {
            expectedSent.push_back(c.offset);
            EXPECT_EQ(StatusText, L"Synchronized");
        } else {
            EXPECT_EQ(StatusText, L"Difference: " + std::to_wstring(c.offset) + L" ms");
            EXPECT_EQ(ServerOffset, c.offset);
            EXPECT_NE(window.TimerDelay(ServerClockTimer), 0u) << "the server clock shows it";
        }
        EXPECT_EQ(service.Offsets(), expectedSent);
    }
    window.SendOffsetToService();  // "Adjust": the user's own decision
    expectedSent.push_back(-1'796'901'970'234);
    EXPECT_EQ(service.Offsets(), expectedSent);
}

// However a query ends, the next "Get" runs: a thread that cannot start, a measurement that
// throws, a result whose message is lost, a worker that never comes back.
TEST_F(HiddenWindowTest, EveryWayAQueryEndsLetsTheNextOneStart) {
    struct Ending {
        const char* what;
        std::function<void(QuerySeams&)> arrange;
        const wchar_t* status;
    };
    const Ending endings[] = {
        {"no thread", [](QuerySeams& s) {
             s.startWorker = [](bool, std::function<void()>) { throw std::system_error(std::make_error_code(std::errc::resource_unavailable_try_again)); };
         }, L"Could not connect"},
        {"the measurement throws", [](QuerySeams& s) {
             s.measure = [](const SntpTarget&) -> SntpMeasurement { throw std::bad_alloc(); };
         }, L"Could not connect"},
        {"the result's message is lost", [](QuerySeams& s) {
             s.post = [](HWND, UINT, WPARAM, LPARAM) { return false; };
         }, L"Difference: 300 ms"},
        {"the worker never comes back", [this](QuerySeams& s) {
             s.startWorker = [this](bool, std::function<void()> work) { heldDelivery = std::move(work); };
             s.timeLimitMs = 1500;
         }, L"Could not connect"},
    };
    for (const Ending& ending : endings) {
        SCOPED_TRACE(ending.what);
        QuerySeams seams = Seams();
        ending.arrange(seams);
        window.SetQuerySeams(seams);
        nextMeasurement = Offset(300);
        window.StartSync(false);
        ASSERT_TRUE(PumpUntil([&] { return !window.QueryRunning(); }, std::chrono::seconds(10)));
        EXPECT_EQ(StatusText, ending.status);

        window.SetQuerySeams(Seams());
        nextMeasurement = Offset(-40);
        Sync(false);
        EXPECT_EQ(StatusText, L"Difference: -40 ms") << "the next Get";
    }
    heldDelivery = nullptr;
}

// The result message names its query by number only: a stray or forged one, or one that
// arrives before its query has a result, does nothing.
TEST_F(HiddenWindowTest, AForgedResultMessageDoesNothing) {
    deliverAtOnce = false;
    nextMeasurement = Offset(700);
    StatusText = L"before";
    window.StartSync(false);
    ASSERT_TRUE(window.QueryRunning());
    for (const auto& [w, l] : {std::pair<WPARAM, LPARAM>{0, 0}, {1, 0}, {2, 0}, {1, 0x12345678}, {~WPARAM{0}, -1}})
        window.PostMessage(SyncResultMessage, w, l);
    PumpPending();
    EXPECT_TRUE(window.QueryRunning());
    EXPECT_EQ(ServerOffset, NoServerTime);

    heldDelivery();
    ASSERT_TRUE(PumpUntil([&] { return !window.QueryRunning(); }));
    EXPECT_EQ(StatusText, L"Difference: 700 ms");
    window.PostMessage(SyncResultMessage, 1, 0);  // its number again, after it ended
    PumpPending();
    EXPECT_EQ(StatusText, L"Difference: 700 ms");
}

TEST_F(HiddenWindowTest, AutoSyncIsArmedReArmedAndStopped) {
    AppSettings.syncAutomatically = 1;
    AppSettings.syncEveryMinutes = 60;
    window.ApplyAutoSyncSetting();
    EXPECT_TRUE(window.AutoSyncArmed());
    EXPECT_EQ(window.TimerDelay(AutoSyncTimer), 3'600'000u);

    AppSettings.syncEveryMinutes = 5;
    window.ApplyAutoSyncSetting();
    EXPECT_EQ(window.TimerDelay(AutoSyncTimer), 300'000u);

    AppSettings.syncEveryMinutes = 0;  // stored as typed, timed as one minute
    window.ApplyAutoSyncSetting();
    EXPECT_EQ(window.TimerDelay(AutoSyncTimer), 60'000u);
    EXPECT_EQ(AppSettings.syncEveryMinutes, 0);

    AppSettings.syncAutomatically = 0;
    window.ApplyAutoSyncSetting();
    EXPECT_FALSE(window.AutoSyncArmed());
    EXPECT_EQ(window.TimerDelay(AutoSyncTimer), 0u);
}

TEST_F(HiddenWindowTest, AutoSyncOffAtStartArmsNothing) {
    AppSettings.syncAutomatically = 0;
    window.ApplyAutoSyncSetting();
    EXPECT_FALSE(window.AutoSyncArmed());
    EXPECT_EQ(window.TimerDelay(AutoSyncTimer), 0u);
}

TEST_F(HiddenWindowTest, TicksAreAlignedToWholeSeconds) {
    SYSTEMTIME now = At(2026, 12, 10, 12, 0, 0, 30);
    SetPcClockOverride({[&] { return now; }, [&] { return now; }});
    window.LocalClockTick();
    EXPECT_EQ(window.TimerDelay(ClockTimer), 970u);
    now.wMilliseconds = 700;
    window.LocalClockTick();
    EXPECT_EQ(window.TimerDelay(ClockTimer), 700u);
    now.wSecond = 1;
    now.wMilliseconds = 400;
    window.LocalClockTick();
    EXPECT_EQ(window.TimerDelay(ClockTimer), 600u);

    ServerOffset = 250;
    now.wMilliseconds = 100;
    window.ServerClockTick();
    EXPECT_EQ(window.TimerDelay(ServerClockTimer), 650u);

    ServerOffset = 0;  // no difference: the server clock does not tick
    window.ServerClockTick();
    EXPECT_EQ(window.TimerDelay(ServerClockTimer), 0u);
}

TEST_F(HiddenWindowTest, AnUnknownViewShowsTheFullWindow) {
    AppSettings.skin = 7;  // hand-edited registry
    window.ShowClockWindow();
    EXPECT_EQ(AppSettings.skin, 0);
    EXPECT_NE(dynamic_cast<MainSkinDialog*>(window.clockWindow()), nullptr);
    EXPECT_NE(window.clockWindow()->m_hWnd, nullptr);
}

class ClockTextTest : public ::testing::Test {
protected:
    void TearDown() override {
        SetPcClockOverride({});
        TimeFormatPattern = nullptr;
        ServerOffset = NoServerTime;
    }
    void LocalTimeIs(SYSTEMTIME t) {
        now = t;
        SetPcClockOverride({[this] { return now; }, [this] { return now; }});
    }
    SYSTEMTIME now{};
};

TEST_F(ClockTextTest, TimesJustBeforeASecondShowTheComingSecond) {
    TimeFormatPattern = kTwentyFourHourPattern;
    struct Case {
        SYSTEMTIME local;
        const wchar_t* time;
    } const cases[] = {
        {At(2026, 3, 4, 10, 15, 29, 951), L"10:15:30"},
        {At(2026, 3, 4, 10, 15, 29, 950), L"10:15:29"},
        {At(2026, 3, 4, 10, 15, 29, 0), L"10:15:29"},
    };
    for (const Case& c : cases) {
        LocalTimeIs(c.local);
        FormatClockText(true);
        EXPECT_EQ(LocalTimeText, c.time);
    }
    LocalTimeIs(At(2026, 12, 31, 23, 59, 59, 990));
    FormatClockText(true);
    EXPECT_EQ(LocalTimeText, L"00:00:00");
    EXPECT_EQ(LocalDateText, FormatDateText(At(2027, 1, 1, 0, 0, 0, 0), kClockDatePicture));
    EXPECT_NE(LocalDateText.find(L"2027"), std::wstring::npos);
}

TEST_F(ClockTextTest, TheServerPairFollowsTheOffsetOrShowsNoTime) {
    TimeFormatPattern = kTwentyFourHourPattern;
    LocalTimeIs(At(2026, 3, 4, 10, 15, 29, 0));
    ServerOffset = NoServerTime;
    FormatClockText(false, ServerOffset);
    EXPECT_EQ(ServerTimeText, L"--:--:--");
    EXPECT_EQ(ServerDateText, L"");
    ServerOffset = -2000;
    FormatClockText(false, ServerOffset);
    EXPECT_EQ(ServerTimeText, L"10:15:27");
    ServerOffset = 0;
    FormatClockText(false, ServerOffset);
    FormatClockText(true);
    EXPECT_EQ(ServerTimeText, LocalTimeText);
}

TEST_F(ClockTextTest, ALongLocaleTextIsKeptWhole) {
    const wchar_t* longPicture = L"'o''clock, local time:' HH':'mm':'ss";
    const std::wstring text = FormatTimeText(At(2026, 3, 4, 15, 7, 9, 0), longPicture);
    EXPECT_EQ(text, L"o'clock, local time: 15:07:09");
    const std::wstring longer = FormatTimeText(At(2026, 3, 4, 15, 7, 9, 0),
        L"'a time picture far longer than any buffer a clock would keep for it, at' HH':'mm':'ss");
    EXPECT_EQ(longer, L"a time picture far longer than any buffer a clock would keep for it, at 15:07:09");
}

TEST_F(ClockTextTest, PicturesFollowTheTimeFormat) {
    const SYSTEMTIME afternoon = At(2026, 3, 4, 15, 7, 9, 0);
    EXPECT_EQ(FormatTimeText(afternoon, TimeFormatPatternFor(12)), L"3:07:09 PM");
    EXPECT_EQ(FormatTimeText(afternoon, TimeFormatPatternFor(24)), L"15:07:09");
    EXPECT_EQ(FormatTimeText(afternoon, TimeFormatPatternFor(0)), FormatTimeText(afternoon, nullptr));
    EXPECT_EQ(FormatDateText(afternoon, kClockDatePicture), L"Wed, 04 March, 2026");
    EXPECT_EQ(FormatDateText(afternoon, kZoneDatePicture), L"Wednesday, 04 March, 2026");
}

// Explorer that starts again has an empty notification area and tells every top-level window
// so; the hidden window is message-only and hears it through its watcher.
TEST_F(HiddenWindowTest, TheTrayIconComesBackWhenTheTaskbarIsCreatedAgain) {
    window.AddTrayIcon();
    ASSERT_TRUE(window.TrayIconShown()) << "no notification area in this session";
    NOTIFYICONDATAW icon{};
    icon.cbSize = sizeof icon;
    icon.hWnd = window.m_hWnd;
    icon.uID = 0;
    ASSERT_TRUE(::Shell_NotifyIconW(NIM_MODIFY, &icon)) << "the icon is there";
    ASSERT_EQ(window.Tray()->IconSize(), ::GetSystemMetrics(SM_CXSMICON)) << "the size the system asks for";

    ASSERT_TRUE(::Shell_NotifyIconW(NIM_DELETE, &icon));  // as the old Explorer's end takes it
    ASSERT_FALSE(::Shell_NotifyIconW(NIM_MODIFY, &icon));
    ASSERT_TRUE(::PostMessageW(HWND_BROADCAST, ::RegisterWindowMessageW(L"TaskbarCreated"), 0, 0));
    EXPECT_TRUE(PumpUntil([&] { return ::Shell_NotifyIconW(NIM_MODIFY, &icon) != FALSE; })) << "added again";
    EXPECT_TRUE(window.TrayIconShown());

    // A broadcast while the icon is there (anyone may send one) leaves exactly one icon.
    ASSERT_TRUE(::PostMessageW(HWND_BROADCAST, ::RegisterWindowMessageW(L"TaskbarCreated"), 0, 0));
    PumpPending();
    EXPECT_TRUE(window.TrayIconShown());
    EXPECT_TRUE(::Shell_NotifyIconW(NIM_DELETE, &icon));
    EXPECT_FALSE(::Shell_NotifyIconW(NIM_DELETE, &icon)) << "only one";
}

}  // namespace
}  // namespace velmora
