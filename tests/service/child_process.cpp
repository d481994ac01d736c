#include "tests/service/child_process.h"

#include <cwchar>
#include <thread>
#include <vector>

#include "framework/unique_handle.h"

namespace velmora::testing {
namespace {

std::thread Drain(UniqueHandle& pipe, std::string& into) {
    return std::thread([handle = pipe.get(), &into] {
        char chunk[4096];
        DWORD read = 0;
        while (::ReadFile(handle, chunk, sizeof(chunk), &read, nullptr) && read > 0) into.append(chunk, read);
    });
}

// This process's environment with `extra` ("NAME=value") added or replacing NAME.
std::vector<wchar_t> EnvironmentWith(const std::wstring& extra) {
    const std::wstring prefix = extra.substr(0, extra.find(L'=') + 1);
    std::vector<wchar_t> block;
    const wchar_t* current = ::GetEnvironmentStringsW();
    for (const wchar_t* p = current; *p; p += wcslen(p) + 1) {
        if (!prefix.empty() && ::_wcsnicmp(p, prefix.c_str(), prefix.size()) == 0) continue;
        block.insert(block.end(), p, p + wcslen(p) + 1);
    }
    ::FreeEnvironmentStringsW(const_cast<wchar_t*>(current));
    if (!extra.empty()) block.insert(block.end(), extra.c_str(), extra.c_str() + extra.size() + 1);
    block.push_back(L'\0');
    return block;
}

}  // namespace

ProgramRun RunProgram(const std::wstring& commandLine, const std::wstring& extraEnvironment, DWORD timeoutMs) {
    ProgramRun run;
    SECURITY_ATTRIBUTES inherit{sizeof(inherit), nullptr, TRUE};
    UniqueHandle outRead, outWrite, errRead, errWrite;
    if (!::CreatePipe(outRead.put(), outWrite.put(), &inherit, 0) ||
        !::CreatePipe(errRead.put(), errWrite.put(), &inherit, 0))
        return run;
    ::SetHandleInformation(outRead.get(), HANDLE_FLAG_INHERIT, 0);
    ::SetHandleInformation(errRead.get(), HANDLE_FLAG_INHERIT, 0);

    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = nullptr;
    startup.hStdOutput = outWrite.get();
    startup.hStdError = errWrite.get();
    PROCESS_INFORMATION info{};
    std::wstring mutableLine = commandLine;
    std::vector<wchar_t> environment = EnvironmentWith(extraEnvironment);
    run.started = ::CreateProcessW(nullptr, mutableLine.data(), nullptr, nullptr, TRUE, CREATE_UNICODE_ENVIRONMENT,
                                   environment.data(), nullptr, &startup, &info) != FALSE;
    outWrite.reset();
    errWrite.reset();
    if (!run.started) return run;
    const UniqueHandle process(info.hProcess);
    const UniqueHandle thread(info.hThread);

    std::thread outReader = Drain(outRead, run.out);
    std::thread errReader = Drain(errRead, run.err);
    if (::WaitForSingleObject(process.get(), timeoutMs) != WAIT_OBJECT_0) ::TerminateProcess(process.get(), WAIT_TIMEOUT);
    ::WaitForSingleObject(process.get(), INFINITE);
    ::GetExitCodeProcess(process.get(), &run.exitCode);
    outReader.join();
    errReader.join();
    return run;
}

}  // namespace velmora::testing
