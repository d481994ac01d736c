#pragma once
// The full clock view: local time and date, server time and date, the last synchronisation's
// result, the buttons "Get", "Adjust", "Options", "-" and "x", and for a new user a short
// guided tour of balloon tips.
#include <windows.h>
#include <commctrl.h>

#include "display/custom_button.h"
#include "display/skin_window.h"
#include "display/text_band.h"

namespace velmora {

inline constexpr UINT_PTR TipTimer = 4100;
// Closes a balloon of the tour that nobody acted on; the tour itself goes on.
inline constexpr UINT_PTR TipCloseTimer = 4102;
inline constexpr UINT kTipShownMs = 8000;

// The guided tour's balloons, exactly as the user sees them.
inline constexpr wchar_t kAdjustTipTitle[] = L"Click Adjust";
inline constexpr wchar_t kAdjustTipText[] = L"Click Adjust to apply time";
inline constexpr wchar_t kGetTipTitle[] = L"Click Get";
inline constexpr wchar_t kGetTipText[] = L"Click Get to receive server time";
inline constexpr wchar_t kSkinTipTitle[] = L"Change skin";
inline constexpr wchar_t kSkinTipText[] = L"To switch between viewing modes, double-click here";

class MainSkinDialog : public SkinWindow {
public:
    explicit MainSkinDialog(ViewHost* host = nullptr);
    ~MainSkinDialog() override;

    bool CreateView() override;
    BOOL OnInitDialog() override;
    // The local band (and the server band while it repeats the local clock).
    void DrawTime() override;
    void DrawServer();
    void DrawStatus();
    // Shows the tour's balloon at `target` (a button or this window) for a few seconds,
    // never over the button it points at; null closes it.
    void ShowTip(HWND target);
    // A query has ended; `producedOffset` when it left a difference to hand to the service.
    // After a "Get" of the tour, that is when the tour points at "Adjust".
    void QueryEnded(bool producedOffset);

    HWND TipWindow() const { return tipWindow_; }
    const CustomButton& Button(int controlId) const;
    const TextBand& LocalBand() const { return localTexts_; }
    const TextBand& ServerBand() const { return serverTexts_; }

    static const MessageMap& Map();

protected:
    const MessageMap* GetMessageMap() const override { return &Map(); }

private:
    struct Point {
        float x;
        float y;
    };
    struct Band {
        int x, y, width, height;
    };

    // No difference is known: the server band repeats the local clock.
    bool ServerIsLocal() const;
    // The server band's texts, without presenting them.
    void DrawServerTexts();

    void OnGet();
    void OnAdjust();
    void OnOptions();
    void OnCloseButton();
    void OnMinimiseView();
    bool OnMoving(Message& message);
    bool OnTimer(Message& message);

    const Point localDate_{130, 95};
    const Point localTime_{130, 65};
    const Band localBand_{0, 43, 260, 60};
    const Point serverDate_{130, 155};
    const Point serverTime_{130, 125};
    const Band serverBand_{0, 112, 260, 50};
    const Point serverLabel_{30, 120};
    const Point status_{130, 180};
    const Band statusBand_{0, 169, 260, 20};

    // Points the balloon at `target`, choosing where from so that it covers the target not
    // at all and the window's other buttons as little as it can.
    void PlaceTip(const RECT& target, int targetId, TTTOOLINFOW& tool) const;
    // The bands' texts, redrawn where they change.
    TextBand localTexts_;
    TextBand serverTexts_;

    HWND tipWindow_ = nullptr;
    bool tourRunning_ = false;    // its first balloon has been shown in this window
    bool awaitingOffset_ = false;  // "Get" was pressed during the tour
    CustomButton options_;
    CustomButton minimise_;
    CustomButton close_;
    CustomButton adjust_;
    CustomButton get_;
};

}  // namespace velmora
