// Velmora.exe
#include <windows.h>

#include "app/velmora_app.h"

namespace {
velmora::CMFCApplication1App theApp;
}

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) { return velmora::FrameworkMain(instance); }
