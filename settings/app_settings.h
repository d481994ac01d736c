#pragma once
// The desktop program's one settings record, its registry value names and its defaults.
// No Windows here: the registry code reads and writes these fields by name.
#include <cstdint>
#include <string>

namespace velmora {

// `left` holds this until a clock window has been placed; the window is then centred.
inline constexpr std::int32_t NoSavedPosition = 2147483647;

// Registry value names, exactly as stored: other copies of the program read the same key.
namespace settings_value {
inline constexpr wchar_t kDisplayTrayMessage[] = L"Display Tray Message";
inline constexpr wchar_t kToolTip[] = L"ToolTip";
inline constexpr wchar_t kMinimized[] = L"Minimized";
inline constexpr wchar_t kSkin[] = L"Skin";
inline constexpr wchar_t kLeft[] = L"Left";
inline constexpr wchar_t kTop[] = L"Top";
inline constexpr wchar_t kUseBuiltInServer[] = L"Utilize NIST server";
inline constexpr wchar_t kSelectedServerId[] = L"Selected Server Id";
inline constexpr wchar_t kCustomServerAddress[] = L"Custom Server Address";
inline constexpr wchar_t kCustomServerPort[] = L"Custom Server Port";
inline constexpr wchar_t kSyncAtStart[] = L"Sync at Start";
inline constexpr wchar_t kSyncAutomatically[] = L"Sync Automatocally";
inline constexpr wchar_t kSyncEveryMinutes[] = L"Sync Every X Minutes";
inline constexpr wchar_t kTimeFormat[] = L"Time Format";
}  // namespace settings_value

// The clock views that `skin` selects.
inline constexpr std::int32_t kFullView = 0;
inline constexpr std::int32_t kCompactView = 1;
inline constexpr std::int32_t kWorldClockView = 2;

struct SettingsRecord {
    std::int32_t displayTrayMessage = 1;
    std::int32_t showToolTips = 1;
    std::int32_t minimized = 0;
    std::int32_t skin = kFullView;
    std::int32_t left = NoSavedPosition;
    std::int32_t top = NoSavedPosition;
    std::int32_t useBuiltInServer = 1;
    std::int32_t selectedServerId = 0;
    std::wstring customServerAddress;
    std::int32_t customServerPort = 123;
    std::int32_t syncAtStart = 0;
    std::int32_t syncAutomatically = 1;
    std::int32_t syncEveryMinutes = 60;
    std::int32_t timeFormat = 0;  // 12, 24, or 0 for the user's own format
    std::int32_t runAtStartup = 0;

    bool operator==(const SettingsRecord&) const = default;
};

// The process-wide record. Created with the defaults; LoadSettings fills it at start-up.
extern SettingsRecord AppSettings;

}  // namespace velmora
