#include "framework/trace.h"

#include <iterator>

namespace velmora {

std::wstring SystemErrorText(DWORD error) {
    wchar_t text[512] = {};
    const DWORD length = ::FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error,
                                          0, text, static_cast<DWORD>(std::size(text)), nullptr);
    std::wstring message(text, length);
    while (!message.empty() && (message.back() == L'\n' || message.back() == L'\r' || message.back() == L' '))
        message.pop_back();
    return message;
}

void Trace(std::wstring_view what) {
    std::wstring line = L"Velmora: ";
    line.append(what);
    line += L"\r\n";
    ::OutputDebugStringW(line.c_str());
}

void TraceError(std::wstring_view what, DWORD error) {
    std::wstring line(what);
    line += L" failed: ";
    if (const std::wstring text = SystemErrorText(error); !text.empty()) line += text + L" ";
    line += L"(error " + std::to_wstring(error) + L")";
    Trace(line);
}

}  // namespace velmora
