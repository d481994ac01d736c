#include "display/skin_window.h"

#include "display/clock_text.h"
#include "settings/app_settings.h"
#include "sync/sync_state.h"

namespace velmora {

const MessageMap& SkinWindow::Map() {
    static constexpr MessageMapEntry entries[] = {
        OnMessage<&SkinWindow::OnPaint>(WM_PAINT),
    };
    static const MessageMap map{&CDialog::Map(), entries};
    return map;
}

bool SkinWindow::CreateFace(const wchar_t* title, short width, short height) {
    const DialogTemplate face(WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_VISIBLE | DS_CENTER, WS_EX_TOPMOST | WS_EX_TOOLWINDOW,
                              0, 0, width, height, title);
    if (!CreateIndirect(face.Get())) return false;
    if (AppSettings.left != NoSavedPosition)
        ::SetWindowPos(m_hWnd, nullptr, AppSettings.left, AppSettings.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    return true;
}

void SkinWindow::Repaint() const {
    if (m_hWnd) ::InvalidateRect(m_hWnd, nullptr, TRUE);
}

bool SkinWindow::OnPaint(Message&) {
    PAINTSTRUCT paint;
    const HDC dc = ::BeginPaint(m_hWnd, &paint);
    ::SetBkMode(dc, TRANSPARENT);
    int y = 8;
    for (const std::wstring& line : FaceLines()) {
        ::TextOutW(dc, 10, y, line.c_str(), static_cast<int>(line.size()));
        y += 20;
    }
    ::EndPaint(m_hWnd, &paint);
    return true;
}

std::vector<std::wstring> MainSkinDialog::FaceLines() const {
    return {L"Local  " + LocalTimeText + L"  " + LocalDateText, L"Server " + ServerTimeText + L"  " + ServerDateText,
            StatusText};
}

std::vector<std::wstring> smal_main::FaceLines() const { return {LocalTimeText, LocalDateText}; }

std::vector<std::wstring> Skin3::FaceLines() const { return {LocalDateText, LocalTimeText}; }

}  // namespace velmora
