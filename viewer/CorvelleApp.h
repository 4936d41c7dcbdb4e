// The viewer's application object: start-up only.
#pragma once

#include "WinApp.h"

class CCorvelleApp : public CWinApp {
public:
    BOOL InitInstance() override;
};
