#include "tests/support/installed_service.h"

#include <algorithm>
#include <chrono>
#include <fstream>
#include <filesystem>
#include <regex>
#include <thread>

#include "framework/unique_handle.h"
#include "service/service_texts.h"
#include "tests/support/handle_count.h"

namespace velmora::testing {
namespace {

constexpr auto kStateDeadline = std::chrono::seconds(20);

template <typename Condition>
bool PollUntil(Condition condition, std::chrono::milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (!condition()) {
        if (std::chrono::steady_clock::now() >= deadline) return condition();
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return true;
}

UniqueServiceHandle OpenVlmService(DWORD access) {
    const UniqueServiceHandle manager(::OpenSCManagerW(nullptr, nullptr, SC_MANAGER_CONNECT));
    if (!manager) return {};
    return UniqueServiceHandle(::OpenServiceW(manager.get(), kServiceName, access));
}

std::optional<SERVICE_STATUS_PROCESS> QueryStatus() {
    const UniqueServiceHandle service = OpenVlmService(SERVICE_QUERY_STATUS);
    SERVICE_STATUS_PROCESS status{};
    DWORD needed = 0;
    if (!service || !::QueryServiceStatusEx(service.get(), SC_STATUS_PROCESS_INFO, reinterpret_cast<BYTE*>(&status),
                                            sizeof status, &needed))
        return std::nullopt;
    return status;
}

bool StateIs(DWORD state) {
    const auto status = QueryStatus();
    return status && status->dwCurrentState == state;
}

// Runs a command line to its end with its output thrown away; its exit code.
std::optional<DWORD> RunQuietly(std::wstring commandLine) {
    SECURITY_ATTRIBUTES inherit{sizeof(inherit), nullptr, TRUE};
    const UniqueHandle nul(::CreateFileW(L"NUL", GENERIC_WRITE, FILE_SHARE_WRITE, &inherit, OPEN_EXISTING, 0, nullptr));
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = nul.get();
    startup.hStdError = nul.get();
    PROCESS_INFORMATION info{};
    if (!::CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &info))
        return std::nullopt;
    const UniqueHandle process(info.hProcess);
    const UniqueHandle thread(info.hThread);
    if (::WaitForSingleObject(process.get(), 60'000) != WAIT_OBJECT_0) {
        ::TerminateProcess(process.get(), WAIT_TIMEOUT);
        return std::nullopt;
    }
    DWORD code = 0;
    ::GetExitCodeProcess(process.get(), &code);
    return code;
}

}  // namespace

std::wstring WindowsPathOf(const char* unixPath) {
    std::wstring path = L"Z:";
    for (const char* c = unixPath; *c; ++c) path += *c == '/' ? L'\\' : static_cast<wchar_t>(*c);
    return path;
}

bool RemoveVlmService() {
    const UniqueServiceHandle service = OpenVlmService(SERVICE_ALL_ACCESS);
    if (!service) return true;
    PollUntil([] { return !StateIs(SERVICE_START_PENDING); }, kStateDeadline);
    if (!StateIs(SERVICE_STOPPED)) {
        SERVICE_STATUS status{};
        ::ControlService(service.get(), SERVICE_CONTROL_STOP, &status);
    }
    if (!PollUntil([] { return StateIs(SERVICE_STOPPED); }, kStateDeadline)) return false;
    return ::DeleteService(service.get()) != FALSE;
}

InstalledService::InstalledService(std::wstring serviceExe, std::wstring recordFile, DWORD recordTick)
    : exe_(std::move(serviceExe)), recordFile_(std::move(recordFile)) {
    if (!RemoveVlmService()) return;
    ::DeleteFileW(recordFile_.c_str());
    if (RunQuietly(L"\"" + exe_ + L"\" install") != 0u || !QueryStatus()) return;
    UniqueKey parameters;
    if (::RegCreateKeyExW(HKEY_LOCAL_MACHINE, kServiceParametersKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr,
                          parameters.put(), nullptr) != ERROR_SUCCESS)
        return;
    installed_ = ::RegSetValueExW(parameters.get(), kClockRecordValue, 0, REG_SZ,
                                  reinterpret_cast<const BYTE*>(recordFile_.c_str()),
                                  static_cast<DWORD>((recordFile_.size() + 1) * sizeof(wchar_t))) == ERROR_SUCCESS &&
                 ::RegSetValueExW(parameters.get(), kClockRecordTickValue, 0, REG_DWORD,
                                  reinterpret_cast<const BYTE*>(&recordTick), sizeof recordTick) == ERROR_SUCCESS;
}

InstalledService::~InstalledService() {
    RemoveVlmService();
    ::DeleteFileW(recordFile_.c_str());
}

bool InstalledService::Start() {
    const UniqueServiceHandle service = OpenVlmService(SERVICE_START);
    if (!service || !::StartServiceW(service.get(), 0, nullptr)) return false;
    return PollUntil([] { return StateIs(SERVICE_RUNNING); }, kStateDeadline);
}

void InstalledService::RequestStop() {
    std::thread([] {
        const UniqueServiceHandle service = OpenVlmService(SERVICE_STOP);
        SERVICE_STATUS status{};
        if (service) ::ControlService(service.get(), SERVICE_CONTROL_STOP, &status);
    }).detach();
}

std::optional<SERVICE_STATUS_PROCESS> InstalledService::Status() const { return QueryStatus(); }

bool InstalledService::In(DWORD state) const { return StateIs(state); }

std::optional<DWORD> InstalledService::HandleCount() const {
    const auto status = QueryStatus();
    if (!status || status->dwProcessId == 0) return std::nullopt;
    return ProcessHandleCount(status->dwProcessId);
}

std::vector<ClockRecord> InstalledService::Records() const {
    std::vector<ClockRecord> records;
    std::ifstream file{std::filesystem::path(recordFile_)};
    std::string line;
    const std::regex format(R"(read=(-?\d+) set=(-?\d+) moved=(-?\d+) at=(-?\d+))");
    while (std::getline(file, line)) {
        std::smatch m;
        if (std::regex_match(line, m, format))
            records.push_back({std::stoll(m[1]), std::stoll(m[2]), std::stoll(m[3]), std::stoll(m[4])});
    }
    return records;
}

}  // namespace velmora::testing
