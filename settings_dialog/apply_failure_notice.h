#pragma once
// How Apply tells the user that it stopped: a message box over the settings dialog by default,
// a recorder in tests.
#include <windows.h>

#include <functional>
#include <string>

namespace velmora {

using ApplyFailureNotice = std::function<void(HWND owner, const std::wstring& text, const wchar_t* caption)>;

ApplyFailureNotice DefaultApplyFailureNotice();
// Replaces the notice; returns the previous one.
ApplyFailureNotice SetApplyFailureNotice(ApplyFailureNotice notice);

// Shows `text` with the settings dialog's caption.
void ShowApplyFailure(HWND owner, const std::wstring& text);

}  // namespace velmora
