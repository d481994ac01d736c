#include "settings_dialog/apply_failure_notice.h"

#include <utility>

#include "settings_dialog/dialog_texts.h"

namespace velmora {

namespace {

ApplyFailureNotice& InstalledNotice() {
    static ApplyFailureNotice notice = DefaultApplyFailureNotice();
    return notice;
}

}  // namespace

ApplyFailureNotice DefaultApplyFailureNotice() {
    return [](HWND owner, const std::wstring& text, const wchar_t* caption) {
        ::MessageBoxW(owner, text.c_str(), caption, MB_OK | MB_ICONWARNING);
    };
}

ApplyFailureNotice SetApplyFailureNotice(ApplyFailureNotice notice) {
    return std::exchange(InstalledNotice(), std::move(notice));
}

void ShowApplyFailure(HWND owner, const std::wstring& text) {
    if (const ApplyFailureNotice& notice = InstalledNotice()) notice(owner, text, dialog_text::kCaption);
}

}  // namespace velmora
