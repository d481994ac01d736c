// Service.exe itself under the service control manager of the test prefix. Each case
// installs the service from a folder whose name has spaces and removes it again, even
// when the case fails. The service records the clock changes it would make in a file
// instead of setting the clock.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <optional>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "framework/unique_handle.h"
#include "common/clock_tick.h"
#include "common/pipe_protocol.h"
#include "service/service_texts.h"
#include "tests/service/child_process.h"
#include "tests/service/pipe_test_client.h"

namespace velmora {
namespace {

using testing::CallPipe;
using testing::ConnectSilently;
using testing::ProgramRun;
using testing::RunProgram;
using testing::WaitUntil;
using testing::Offset;
using Bytes = std::vector<std::uint8_t>;

constexpr wchar_t kServiceKey[] = L"System\\CurrentControlSet\\Services\\VLM Service";

std::wstring TempPath(const std::wstring& name) {
    wchar_t temp[MAX_PATH];
    ::GetTempPathW(MAX_PATH, temp);
    return temp + name;
}

// The build's Service.exe, through Wine's drive for the Unix root.
std::wstring BuiltServiceExe() {
    std::wstring path = L"Z:";
    for (const char c : std::string(VELMORA_SERVICE_EXE)) path += c == '/' ? L'\\' : static_cast<wchar_t>(c);
    return path;
}

std::optional<SERVICE_STATUS> QueryService() {
    const UniqueServiceHandle manager(::OpenSCManagerW(nullptr, nullptr, SC_MANAGER_CONNECT));
    const UniqueServiceHandle service(manager ? ::OpenServiceW(manager.get(), kServiceName, SERVICE_QUERY_STATUS)
                                              : nullptr);
    SERVICE_STATUS status{};
    if (!service || !::QueryServiceStatus(service.get(), &status)) return std::nullopt;
    return status;
}

bool ServiceIn(DWORD state) {
    const auto status = QueryService();
    return status && status->dwCurrentState == state;
}

// Stops and deletes the service if it is there, whatever state a failed case left it in.
void RemoveService() {
    const UniqueServiceHandle manager(::OpenSCManagerW(nullptr, nullptr, SC_MANAGER_ALL_ACCESS));
    ASSERT_TRUE(manager);
    const UniqueServiceHandle service(::OpenServiceW(manager.get(), kServiceName, SERVICE_ALL_ACCESS));
    if (!service) return;
    WaitUntil([] { return !ServiceIn(SERVICE_START_PENDING); });
    SERVICE_STATUS status{};
    if (!ServiceIn(SERVICE_STOPPED)) ::ControlService(service.get(), SERVICE_CONTROL_STOP, &status);
    EXPECT_TRUE(WaitUntil([] { return ServiceIn(SERVICE_STOPPED); })) << "the service did not stop";
    EXPECT_TRUE(::DeleteService(service.get())) << ::GetLastError();
}

std::wstring ServiceString(const wchar_t* value) {
    wchar_t text[1024] = {};
    DWORD size = sizeof(text);
    ::RegGetValueW(HKEY_LOCAL_MACHINE, kServiceKey, value, RRF_RT_REG_SZ, nullptr, text, &size);
    return text;
}

DWORD ServiceNumber(const wchar_t* value) {
    DWORD number = 0xFFFFFFFF;
    DWORD size = sizeof(number);
    ::RegGetValueW(HKEY_LOCAL_MACHINE, kServiceKey, value, RRF_RT_REG_DWORD, nullptr, &number, &size);
    return number;
}

// One line of the recording clock's file; set - at is how far the clock really moved.
struct ClockRecord {
    std::int64_t read = 0, set = 0, moved = 0, at = 0;
};

class InstalledService : public ::testing::Test {
protected:
    void SetUp() override {
        RemoveService();
        ::CreateDirectoryW(TempPath(L"Velmora service test").c_str(), nullptr);
        ASSERT_TRUE(::CopyFileW(BuiltServiceExe().c_str(), exe.c_str(), FALSE)) << ::GetLastError();
        ::DeleteFileW(recordFile.c_str());
        ASSERT_EQ(Run(L"install"), "Service installed successfully\n");
    }

    void TearDown() override {
        RemoveService();
        EXPECT_FALSE(QueryService().has_value()) << "the service is still installed";
    }

    // What the program printed, with the C runtime's CR LF line ends as plain LF.
    std::string Run(const std::wstring& arguments) {
        std::string out = RunProgram(L"\"" + exe + L"\" " + arguments).out;
        for (std::size_t at; (at = out.find("\r\n")) != std::string::npos;) out.erase(at, 1);
        return out;
    }

    // Has the service record its clock changes, its reads advancing in steps of `tick` (100 ns
    // units, 0 for none), then starts it the way an administrator would.
    void StartRecordingService(DWORD tick = 0) {
        UniqueKey parameters;
        ASSERT_EQ(::RegCreateKeyExW(HKEY_LOCAL_MACHINE, kServiceParametersKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr,
                                    parameters.put(), nullptr),
                  ERROR_SUCCESS);
        ASSERT_EQ(::RegSetValueExW(parameters.get(), kClockRecordValue, 0, REG_SZ,
                                   reinterpret_cast<const BYTE*>(recordFile.c_str()),
                                   static_cast<DWORD>((recordFile.size() + 1) * sizeof(wchar_t))),
                  ERROR_SUCCESS);
        ASSERT_EQ(::RegSetValueExW(parameters.get(), kClockRecordTickValue, 0, REG_DWORD,
                                   reinterpret_cast<const BYTE*>(&tick), sizeof tick),
                  ERROR_SUCCESS);
        const ProgramRun start = RunProgram(L"net start \"VLM Service\"");
        ASSERT_EQ(start.exitCode, 0u) << start.out << start.err;
        // net start returns while the service may still be start-pending.
        ASSERT_TRUE(WaitUntil([] { return ServiceIn(SERVICE_RUNNING); }));
    }

    std::vector<ClockRecord> Records() {
        std::vector<ClockRecord> records;
        std::ifstream file{std::filesystem::path(recordFile)};
        std::string line;
        const std::regex format(R"(read=(-?\d+) set=(-?\d+) moved=(-?\d+) at=(-?\d+))");
        while (std::getline(file, line)) {
            std::smatch m;
            if (!std::regex_match(line, m, format)) {
                ADD_FAILURE() << "record line: " << line;
                continue;
            }
            records.push_back({std::stoll(m[1]), std::stoll(m[2]), std::stoll(m[3]), std::stoll(m[4])});
        }
        return records;
    }

    // The recording is written before the reply; awaited all the same.
    std::vector<ClockRecord> AwaitRecords(std::size_t count) {
        WaitUntil([&] { return Records().size() >= count; });
        return Records();
    }

    const std::wstring exe = TempPath(L"Velmora service test\\Service.exe");
    const std::wstring recordFile = TempPath(L"velmora-service-clock.txt");
};

TEST_F(InstalledService, IsRegisteredQuotedToStartAutomaticallyAsLocalSystem) {
    EXPECT_EQ(ServiceString(L"ImagePath"), L"\"" + exe + L"\"");
    EXPECT_EQ(ServiceNumber(L"Start"), DWORD{SERVICE_AUTO_START});
    EXPECT_EQ(ServiceNumber(L"Type"), DWORD{SERVICE_WIN32_OWN_PROCESS});
    EXPECT_EQ(ServiceNumber(L"ErrorControl"), DWORD{SERVICE_ERROR_NORMAL});
    EXPECT_EQ(ServiceString(L"ObjectName"), L"LocalSystem");
    EXPECT_EQ(ServiceString(L"DisplayName"), L"VLM Service");
    EXPECT_EQ(ServiceString(L"Description"), kServiceDescription);
    // Installing does not start it.
    EXPECT_TRUE(ServiceIn(SERVICE_STOPPED));

    EXPECT_EQ(Run(L"install"), "CreateService failed (1073)\n");
}

TEST_F(InstalledService, CommandsIgnoreCase) {
    const std::regex uninstalled(R"(The service uninstalled successfully\(\d+\)\n)");
    for (const wchar_t* install : {L"INSTALL", L"Install"}) {
        const std::string uninstall = Run(L"UnInstall");
        EXPECT_TRUE(std::regex_match(uninstall, uninstalled)) << uninstall;
        EXPECT_FALSE(QueryService().has_value());
        EXPECT_EQ(Run(install), "Service installed successfully\n");
        EXPECT_TRUE(QueryService().has_value());
    }
    const std::string uninstall = Run(L"UNINSTALL");
    EXPECT_TRUE(std::regex_match(uninstall, uninstalled)) << uninstall;
    EXPECT_EQ(Run(L"uninstall"), "OpenService failed (1060)\n");
}

TEST_F(InstalledService, RunsUntilStoppedAndIsOnlyUninstalledWhenStopped) {
    StartRecordingService();
    const auto running = QueryService();
    ASSERT_TRUE(running);
    EXPECT_EQ(running->dwCheckPoint, 0u);
    EXPECT_EQ(running->dwWaitHint, 0u);
    EXPECT_EQ(running->dwControlsAccepted, DWORD{SERVICE_ACCEPT_STOP});

    EXPECT_EQ(Run(L"uninstall"), "");
    EXPECT_TRUE(ServiceIn(SERVICE_RUNNING));

    const ProgramRun stop = RunProgram(L"net stop \"VLM Service\"");
    EXPECT_EQ(stop.exitCode, 0u) << stop.out << stop.err;
    ASSERT_TRUE(WaitUntil([] { return ServiceIn(SERVICE_STOPPED); }));
    const auto stopped = QueryService();
    EXPECT_EQ(stopped->dwWin32ExitCode, DWORD{NO_ERROR});
    EXPECT_EQ(stopped->dwCheckPoint, 0u);
    // The pipe went with the service: nobody serves it any more.
    EXPECT_EQ(CallPipe(kTimePipeName, Offset(1000)).error, DWORD{ERROR_FILE_NOT_FOUND});

    const std::string uninstall = Run(L"uninstall");
    EXPECT_TRUE(std::regex_match(uninstall, std::regex(R"(The service uninstalled successfully\(\d+\)\n)")))
        << uninstall;
    EXPECT_FALSE(QueryService().has_value());
}

TEST_F(InstalledService, OffsetsMoveItsClockByExactlyTheirAmountAndAccumulate) {
    StartRecordingService();
    const struct {
        Bytes request;
        std::int64_t moved;
    } cases[] = {{{0xE8, 0x03, 0, 0, 0, 0, 0, 0}, 1000}, {{0x06, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}, -250}};
    for (const auto& c : cases) {
        const auto reply = CallPipe(kTimePipeName, c.request);
        ASSERT_TRUE(reply.ok) << reply.error;
        EXPECT_EQ(reply.bytes, Bytes{c.request[0]});
    }
    // An hour twice: the second starts from the clock the first left.
    for (int i = 0; i < 2; ++i) ASSERT_TRUE(CallPipe(kTimePipeName, Offset(3'600'000)).ok);

    const auto records = AwaitRecords(4);
    ASSERT_EQ(records.size(), 4u);
    EXPECT_EQ(records[0].moved, 1000);
    EXPECT_EQ(records[0].set - records[0].read, 1000 * 10'000);
    EXPECT_EQ(records[1].moved, -250);
    EXPECT_EQ(records[1].set - records[1].read, -250 * 10'000);
    EXPECT_EQ(records[3].moved, 3'600'000);
    EXPECT_GE(records[3].read, records[2].set);
    EXPECT_GE(records[3].set - records[2].read, std::int64_t{7'200'000} * 10'000);
}

TEST_F(InstalledService, ItsRecordingClockReadsAtTheTickItsParameterGives) {
    struct Case {
        const char* what;
        DWORD tick;
    } const cases[] = {{"no tick", 0}, {"Windows' 15.625 ms tick", 156'250}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        if (&c != cases) {  // the parameters are read at the start: a fresh installation
            RemoveService();
            ::DeleteFileW(recordFile.c_str());
            ASSERT_EQ(Run(L"install"), "Service installed successfully\n");
        }
        StartRecordingService(c.tick);
        ASSERT_TRUE(CallPipe(kTimePipeName, Offset(250)).ok);
        const auto records = AwaitRecords(1);
        ASSERT_EQ(records.size(), 1u);
        const ClockRecord& r = records[0];
        EXPECT_EQ(r.moved, 250);
        EXPECT_EQ(r.set - r.read, 250 * 10'000);
        // The clock read lags its own time by the read's staleness, never leads it.
        EXPECT_GE(r.at, r.read);
        // The first read, before any shift: a tick falls within the millisecond it shows.
        if (c.tick != 0) {
            EXPECT_GE(AtLastTick(r.read + 9'999, c.tick), r.read);
        }
    }
}

TEST_F(InstalledService, AnswersAndIgnoresEveryOtherMessage) {
    StartRecordingService();
    std::vector<Bytes> requests = {{4}, {}};
    for (const std::size_t length : {2, 3, 4, 5, 6, 7, 9, 101}) {
        Bytes bytes(length, kStopRequestByte);
        bytes[0] = static_cast<std::uint8_t>(0x40 + length);
        requests.push_back(bytes);
    }
    for (const Bytes& request : requests) {
        const auto reply = CallPipe(kTimePipeName, request);
        ASSERT_TRUE(reply.ok) << request.size() << " bytes: error " << reply.error;
        // An empty message is answered with what the buffer held: the 4 before it.
        EXPECT_EQ(reply.bytes, Bytes{request.empty() ? std::uint8_t{4} : request[0]}) << request.size() << " bytes";
    }
    // An offset beyond the calendar leaves the clock at the time read; then a normal one.
    ASSERT_TRUE(CallPipe(kTimePipeName, Offset(922'337'203'685'477)).ok);
    ASSERT_TRUE(CallPipe(kTimePipeName, Offset(1000)).ok);

    const auto records = AwaitRecords(2);
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records[0].set, records[0].read);
    EXPECT_EQ(records[1].moved, 1000);
    EXPECT_TRUE(ServiceIn(SERVICE_RUNNING));
}

// Stopping a LocalSystem service takes an administrator; a pipe client's byte 3 (this test
// process is one) is answered and ignored.
TEST_F(InstalledService, AClientsByteThreeDoesNotStopIt) {
    StartRecordingService();
    const auto reply = CallPipe(kTimePipeName, Bytes{kStopRequestByte});
    ASSERT_TRUE(reply.ok) << reply.error;
    EXPECT_EQ(reply.bytes, Bytes{kStopRequestByte});
    EXPECT_FALSE(WaitUntil([] { return !ServiceIn(SERVICE_RUNNING); }, std::chrono::seconds(2)));
    ASSERT_TRUE(CallPipe(kTimePipeName, Offset(1000)).ok);
    EXPECT_EQ(AwaitRecords(1).size(), 1u);
}

TEST_F(InstalledService, DropsASilentClientAndServesTheNext) {
    StartRecordingService();
    const UniqueHandle silent = ConnectSilently(kTimePipeName);
    ASSERT_TRUE(silent);
    const auto reply = CallPipe(kTimePipeName, Offset(1000));
    ASSERT_TRUE(reply.ok) << reply.error;
    EXPECT_EQ(reply.bytes, Bytes{0xE8});
    const auto records = AwaitRecords(1);
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0].moved, 1000);
}

TEST_F(InstalledService, StopsWhileASilentClientHoldsThePipe) {
    StartRecordingService();
    const UniqueHandle silent = ConnectSilently(kTimePipeName);
    ASSERT_TRUE(silent);
    const ProgramRun stop = RunProgram(L"net stop \"VLM Service\"");
    EXPECT_EQ(stop.exitCode, 0u) << stop.out << stop.err;
    EXPECT_TRUE(WaitUntil([] { return ServiceIn(SERVICE_STOPPED); }));
}

}  // namespace
}  // namespace velmora
