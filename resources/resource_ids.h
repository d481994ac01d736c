#pragma once
// Resource identifiers of Velmora.exe, shared by the .rc files and the code.

#define IDI_VELMORA 128
#define IDR_TRAY_MENU 141
#define ID_TRAY_EXIT 32772
#define ID_TRAY_RESTORE 32773
#define ID_TRAY_SETTINGS 32774
#define ID_TRAY_SYNCHRONIZE 32775
