#pragma once
// The screen's DPI divided by 96, for the settings dialog's pixel sizes.
namespace velmora {

// Read once from the screen (the system DPI does not change while the program runs).
double ScreenDisplayScale();

}  // namespace velmora
