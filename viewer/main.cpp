// Corvelle.exe: the one application object and the entry point.
#include "CorvelleApp.h"

#include <windows.h>

namespace {
CCorvelleApp theApp;
}

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    return AfxWinMain();
}
