#include "DocTemplate.h"

CSingleDocTemplate::CSingleDocTemplate(UINT resourceId, const CRuntimeClass* documentClass,
                                       const CRuntimeClass* frameClass,
                                       const CRuntimeClass* viewClass)
    : m_resourceId(resourceId), m_documentClass(documentClass), m_frameClass(frameClass),
      m_viewClass(viewClass) {}

CSingleDocTemplate::~CSingleDocTemplate() {
    m_frame.reset();
    m_document.reset();
}

CDocument* CSingleDocTemplate::OpenDocumentFile() {
    m_frame.reset();
    m_document.reset();

    auto document = DowncastOwned<CDocument>(m_documentClass->CreateObject());
    if (!document || !document->OnNewDocument())
        return nullptr;
    auto frame = DowncastOwned<CFrameWnd>(m_frameClass->CreateObject());
    if (!frame)
        return nullptr;

    CCreateContext context;
    context.m_pCurrentDoc = document.get();
    context.m_pNewViewClass = m_viewClass;
    context.m_pCurrentFrame = frame.get();
    if (!frame->LoadFrame(m_resourceId, WS_OVERLAPPEDWINDOW, nullptr, &context))
        return nullptr;

    m_document = std::move(document);
    m_frame = std::move(frame);
    m_frame->InitialUpdateFrame(m_document.get(), FALSE);
    return m_document.get();
}
