// Document side of the document/view arrangement: the document and the
// creation context handed to the windows built for it.
#pragma once

#include "Object.h"

#include <windows.h>

class CFrameWnd;

class CDocument : public CObject {
public:
    // Sets a new, empty document up; FALSE refuses it.
    virtual BOOL OnNewDocument() { return TRUE; }
};

// What a frame and its panes are created for.
struct CCreateContext {
    CDocument* m_pCurrentDoc = nullptr;
    const CRuntimeClass* m_pNewViewClass = nullptr; // the view a plain frame makes
    CFrameWnd* m_pCurrentFrame = nullptr;
};
