// Corvelle.exe: the one application object and the entry point.
#include <windows.h>

#include "CorvelleApp.h"

namespace {
CCorvelleApp theApp;
}

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    return AfxWinMain();
}
