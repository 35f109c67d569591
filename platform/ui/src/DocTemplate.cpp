// Document templates: making the document, its frame and its view from their
// run-time class records, and opening files into the single document.

#include "ui/DocTemplate.h"

#include "ui/Dialog.h"
#include "ui/DocView.h"
#include "ui/Frame.h"
#include "ui/ResourceProvider.h"
#include "ui/WinApp.h"

#include <memory>
#include <string_view>

// ---- Any template ------------------------------------------------------------------------

IMPLEMENT_DYNAMIC(CDocTemplate, CCmdTarget)

CDocTemplate::CDocTemplate(UINT nIDResource, const CRuntimeClass* pDocClass,
                           const CRuntimeClass* pFrameClass, const CRuntimeClass* pViewClass)
    : m_nIDResource(nIDResource), m_pDocClass(pDocClass), m_pFrameClass(pFrameClass),
      m_pViewClass(pViewClass)
{
    if (const char* text = AfxLoadString(nIDResource))
        m_strDocStrings = text;
}

BOOL CDocTemplate::GetDocString(CString& rString, enum DocStringIndex index) const
{
    const std::string_view field = GetStringField(m_strDocStrings, static_cast<int>(index));
    rString = CString(field.data(), static_cast<int>(field.size()));
    return !field.empty();
}

CDocument* CDocTemplate::CreateNewDocument() const
{
    if (!m_pDocClass || !m_pDocClass->IsDerivedFrom(RUNTIME_CLASS(CDocument)))
        return nullptr;
    return static_cast<CDocument*>(m_pDocClass->CreateObject());
}

CFrameWnd* CDocTemplate::CreateNewFrame(CDocument* pDoc) const
{
    if (!m_pFrameClass || !m_pFrameClass->IsDerivedFrom(RUNTIME_CLASS(CFrameWnd)))
        return nullptr;
    auto* frame = static_cast<CFrameWnd*>(m_pFrameClass->CreateObject());
    if (!frame)
        return nullptr;
    CCreateContext context;
    context.m_pNewViewClass = m_pViewClass;
    context.m_pCurrentDoc = pDoc;
    if (frame->LoadFrame(m_nIDResource, WS_OVERLAPPEDWINDOW | FWS_ADDTOTITLE, nullptr, &context))
        return frame;
    // A window that was made deletes its frame as it goes; one whose creation
    // was refused leaves the object to us.
    if (IsWindow(frame->GetSafeHwnd()))
        frame->DestroyWindow();
    else
        delete frame;
    return nullptr;
}

// ---- The single-document template --------------------------------------------------------

IMPLEMENT_DYNAMIC(CSingleDocTemplate, CDocTemplate)

CSingleDocTemplate::CSingleDocTemplate(UINT nIDResource, const CRuntimeClass* pDocClass,
                                       const CRuntimeClass* pFrameClass,
                                       const CRuntimeClass* pViewClass)
    : CDocTemplate(nIDResource, pDocClass, pFrameClass, pViewClass)
{
}

CSingleDocTemplate::~CSingleDocTemplate()
{
    if (CFrameWnd* frame = GetFrame())
        frame->DestroyWindow();
    delete m_pOnlyDoc;
}

CFrameWnd* CSingleDocTemplate::GetFrame() const
{
    // The frame deletes itself with its window: the pointer is only followed
    // while the window still answers for it.
    if (!m_pFrame || CWnd::FromHandlePermanent(m_hWndFrame) != m_pFrame)
        return nullptr;
    return m_pFrame;
}

CDocument* CSingleDocTemplate::OpenDocumentFile(LPCSTR lpszPathName, BOOL bMakeVisible)
{
    if (!m_pOnlyDoc) {
        m_pOnlyDoc = CreateNewDocument();
        if (!m_pOnlyDoc)
            return nullptr;
    }
    CDocument* doc = m_pOnlyDoc;

    CFrameWnd* frame = GetFrame();
    const bool newFrame = frame == nullptr;
    if (newFrame) {
        frame = CreateNewFrame(doc);
        if (!frame)
            return nullptr;
        m_pFrame = frame;
        m_hWndFrame = frame->GetSafeHwnd();
    }

    // A frame that never showed anything does not outlive a failure.
    auto dropNewFrame = [&] {
        if (newFrame && GetFrame()) {
            frame->DestroyWindow();
            m_pFrame = nullptr;
            m_hWndFrame = nullptr;
        }
    };

    if (!lpszPathName) {
        if (!doc->OnNewDocument()) {
            dropNewFrame();
            return nullptr;
        }
    } else {
        const BOOL wasModified = doc->IsModified();
        doc->SetModifiedFlag(FALSE);
        if (!doc->OnOpenDocument(lpszPathName)) {
            // Old contents that are gone leave an honest empty document, not a
            // half-read one under the old name.
            const bool reset = doc->IsModified() && doc->OnNewDocument();
            if (!reset)
                doc->SetModifiedFlag(wasModified);
            if (newFrame)
                dropNewFrame();
            else if (reset)
                frame->InitialUpdateFrame(doc, bMakeVisible);
            return nullptr;
        }
        doc->SetPathName(lpszPathName);
    }

    // The first window made is the application's main window.
    if (CWinApp* app = AfxGetApp(); app && !app->m_pMainWnd)
        app->m_pMainWnd = frame;
    if (!AfxGetMainWnd())
        AfxSetMainWnd(frame);
    frame->InitialUpdateFrame(doc, bMakeVisible);
    return doc;
}
