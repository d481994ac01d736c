#pragma once
// The settings dialog's font: the system's icon-title font, made once for the whole run.
#include <windows.h>

namespace velmora {

// Created on first use and kept until the program ends; null only if the system cannot
// make it.
HFONT DialogFont();

}  // namespace velmora
