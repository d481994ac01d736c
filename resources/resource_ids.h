#pragma once
// Resource identifiers of Velmora.exe, shared by the .rc files and the code.

#define IDI_VELMORA 128
