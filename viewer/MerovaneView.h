// The view that the document template names. The main frame builds its client
// area itself, so no instance is made; it draws nothing.
#pragma once

#include "View.h"

class CMerovaneView : public CView {
public:
    static constexpr char kClassName[] = "CMerovaneView";
};
