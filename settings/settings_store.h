#pragma once
// Loading and saving the settings record, and what is derived from it.
#include <windows.h>


namespace velmora {

// Once at start-up, before any window exists: builds the time-zone catalogue, the dialog
// font and the server list, reads AppSettings and the world clocks (or, on a first run,
// adds the default clocks and registers the program to start with Windows), then derives
// the time picture and the query target. Registry failures leave defaults in place.
void LoadSettings();

// exitOnly: writes only what changes while the program runs ("Display Tray Message",
// "Minimized", the Run value). Otherwise (Apply in the settings dialog) writes everything,
// the world clocks included, and derives the time picture and the query target again.
void SaveSettings(bool exitOnly);

// Records where `window` stands (its top edge moved by `shift` pixels) in `left` and `top`
// and writes "Left", "Top", "Skin" and "ToolTip". Does nothing without a window.
void SaveWindowPlacement(HWND window, int shift);

// Moves `skin` on to the next clock view and records the placement for the new view's
// window (see NextViewStep).
void NextView(HWND window);


// Everything back to the state before LoadSettings: defaults, empty lists, empty catalogue.
// For tests; the dialog font is kept.
void ResetSettingsStore();

}  // namespace velmora
