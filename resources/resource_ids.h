#pragma once
// Resource identifiers of Velmora.exe, shared by the .rc files and the code.

#define IDI_VELMORA 128
#define IDR_TRAY_MENU 141
#define ID_TRAY_EXIT 32772
#define ID_TRAY_RESTORE 32773
#define ID_TRAY_SETTINGS 32774
#define ID_TRAY_SYNCHRONIZE 32775

// The clock windows' dialog templates (clock_windows.rc) and their buttons.
#define IDD_FULL_CLOCK 102
#define IDD_COMPACT_CLOCK 134
#define IDC_ADJUST 1043
#define IDC_EXTENDED_MODE 1045
#define IDC_MINIMISE_VIEW 1046
#define IDC_CLOSE_TO_TRAY 1047
#define IDC_SYNCHRONIZE_NOW 1048
#define IDC_MINIMIZE 1049
#define IDC_OPTIONS 1054
#define IDC_GET 1056
#define IDC_COMPACT_OPTIONS 1065

// Clock-face artwork, resource type "PNG" (resources/artwork.rc). Each image button has
// three consecutive images: Hover, Normal, Pressed.
#define IDB_WORLD_ROW 214          // 258 x 135, one world-clock panel
#define IDB_STAND_SHADOW 215       // 258 x 25, the last 25 rows of IDB_FULL_FACE
#define IDB_FULL_FACE 222          // 258 x 321
#define IDB_CLOSE_HOVER 227        // 17 x 18
#define IDB_CLOSE_NORMAL 228
#define IDB_CLOSE_PRESSED 229
#define IDB_MINIMISE_HOVER 230     // 17 x 18
#define IDB_MINIMISE_NORMAL 231
#define IDB_MINIMISE_PRESSED 232
#define IDB_ADJUST_HOVER 233       // 110 x 33
#define IDB_ADJUST_NORMAL 234
#define IDB_ADJUST_PRESSED 235
#define IDB_GET_HOVER 236          // 110 x 33
#define IDB_GET_NORMAL 237
#define IDB_GET_PRESSED 238
#define IDB_OPTIONS_HOVER 239      // 110 x 33
#define IDB_OPTIONS_NORMAL 240
#define IDB_OPTIONS_PRESSED 241
#define IDB_COMPACT_SHADOW 242     // 201 x 57, overlay
#define IDB_COMPACT_PANEL 243      // 201 x 57, background
#define IDB_CHEVRON_HOVER 244      // 35 x 36
#define IDB_CHEVRON_NORMAL 245
#define IDB_CHEVRON_PRESSED 246
// Each of these images is also drawn at 1.5 and at 2 times its size (rounded up to whole
// pixels), under its own id plus these: the clock windows draw those at 144 and 192 DPI.
#define ARTWORK_1_5X_ID_OFFSET 1000
#define ARTWORK_2X_ID_OFFSET 2000

// The clock's digital font, a TrueType file as RCDATA. Register it privately
// (AddFontMemResourceEx, or GdipPrivateAddMemoryFont and take the family from that private
// collection) and look it up under this family name, regular style.
#define IDR_DIGITAL_FONT 260
#define VELMORA_DIGITAL_FONT_FAMILY L"Digital-VLM"

// The settings dialog (resources/settings_dialog.rc): the frame and its three pages.
#define IDD_SETTINGS 131
#define IDD_SERVERS_PAGE 206
#define IDD_OPTIONS_PAGE 207
#define IDD_TIME_ZONE_PAGE 210
#define IDC_SETTINGS_CANCEL 1052
#define IDC_SETTINGS_APPLY 1055
#define IDC_SETTINGS_TABS 1062
#define IDC_BUILT_IN_SERVER 1020
#define IDC_CUSTOM_SERVER 1022
#define IDC_CUSTOM_PORT 1024
#define IDC_SERVER_LIST 1030
#define IDC_CUSTOM_HOST 1038
#define IDC_MANUAL_SYNC 1025
#define IDC_AUTOMATIC_SYNC 1026
#define IDC_SYNC_AT_START 1028
#define IDC_RUN_AT_STARTUP 1031
#define IDC_SYNC_MINUTES 1032
#define IDC_MINUTES_LABEL 1037
#define IDC_TWELVE_HOUR 1059
#define IDC_TWENTY_FOUR_HOUR 1060
#define IDC_SYSTEM_TIME_FORMAT 1061
#define IDC_ADD_WORLD_CLOCK 1041
