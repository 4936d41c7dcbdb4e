// The single-document template: one document type, one frame, one view class,
// on one resource id (menu, accelerators, icon, title string).
#pragma once

#include "Document.h"
#include "FrameWnd.h"

#include <memory>

class CSingleDocTemplate : public CObject {
public:
    CSingleDocTemplate(UINT resourceId, const CRuntimeClass* documentClass,
                       const CRuntimeClass* frameClass, const CRuntimeClass* viewClass);
    ~CSingleDocTemplate() override;

    // A new empty document and its frame, the frame's client area built and
    // its panes initially updated (the frame not yet shown). Null when the
    // document or the frame cannot be created; nothing is left behind then.
    CDocument* OpenDocumentFile();

    CFrameWnd* GetFrame() const { return m_frame.get(); }

private:
    UINT m_resourceId;
    const CRuntimeClass* m_documentClass;
    const CRuntimeClass* m_frameClass;
    const CRuntimeClass* m_viewClass;
    // The frame goes first: its panes may still look at the document.
    std::unique_ptr<CDocument> m_document;
    std::unique_ptr<CFrameWnd> m_frame;
};
