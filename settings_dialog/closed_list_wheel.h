#pragma once
// A drop-down list takes the mouse wheel only while it is dropped down. Closed, it hands the
// wheel to its parent (the Time Zone page scrolls), so a turn of the wheel over a list, or
// with the focus on one, never changes a setting the user did not look at.
#include <windows.h>

namespace velmora {

// Installs the rule on `comboBox`; it stays for the control's life.
void PassWheelWhileClosed(HWND comboBox);

}  // namespace velmora
