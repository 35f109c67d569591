// The document: its title and path, its views, and reading it from a file.

#include "ui/DocView.h"
#include "ui/WinApp.h"

#include <algorithm>
#include <cstring>
#include <new>

namespace {

// The title a document has before it has a file.
constexpr const char* kUntitled = "Untitled";

// The name part of a path.
CString FileNamePart(LPCSTR path)
{
    const char* slash = std::strrchr(path, '/');
    return CString(slash ? slash + 1 : path);
}

// Views sit in a vector; a position is the next index plus one.
POSITION PositionOf(size_t index, size_t count)
{
    return index < count ? static_cast<POSITION>(index + 1) : 0;
}

} // namespace

IMPLEMENT_DYNAMIC(CDocument, CCmdTarget)

BEGIN_MESSAGE_MAP(CDocument, CCmdTarget)
END_MESSAGE_MAP()

CDocument::CDocument() = default;

CDocument::~CDocument()
{
    for (CView* view : m_views)
        view->m_pDocument = nullptr;
}

void CDocument::SetTitle(LPCSTR lpszTitle)
{
    m_strTitle = lpszTitle ? lpszTitle : "";
    // Every frame showing this document names it in its caption.
    for (CView* view : m_views)
        if (CFrameWnd* frame = view->GetParentFrame())
            frame->OnUpdateFrameTitle(TRUE);
}

void CDocument::SetPathName(LPCSTR lpszPathName, BOOL bAddToMRU)
{
    m_strPathName = lpszPathName ? lpszPathName : "";
    SetTitle(FileNamePart(m_strPathName));
    if (CWinApp* app = AfxGetApp(); app && bAddToMRU && !m_strPathName.IsEmpty())
        app->AddToRecentFileList(m_strPathName);
}

void CDocument::AddView(CView* pView)
{
    if (!pView || pView->m_pDocument == this)
        return;
    if (pView->m_pDocument)
        pView->m_pDocument->RemoveView(pView);
    m_views.push_back(pView);
    pView->m_pDocument = this;
}

void CDocument::RemoveView(CView* pView)
{
    const auto it = std::find(m_views.begin(), m_views.end(), pView);
    if (it == m_views.end())
        return;
    m_views.erase(it);
    pView->m_pDocument = nullptr;
}

POSITION CDocument::GetFirstViewPosition() const
{
    return PositionOf(0, m_views.size());
}

CView* CDocument::GetNextView(POSITION& rPosition) const
{
    if (rPosition == 0 || rPosition > m_views.size()) {
        rPosition = 0;
        return nullptr;
    }
    const size_t index = rPosition - 1;
    rPosition = PositionOf(index + 1, m_views.size());
    return m_views[index];
}

void CDocument::UpdateAllViews(CView* pSender, LPARAM lHint, CObject* pHint)
{
    // A view may leave the list while it updates: walk a copy and skip any
    // that went.
    const std::vector<CView*> views = m_views;
    for (CView* view : views)
        if (view != pSender && view->m_pDocument == this)
            view->OnUpdate(pSender, lHint, pHint);
}

void CDocument::DeleteContents() {}

BOOL CDocument::OnNewDocument()
{
    DeleteContents();
    m_strPathName.Empty();
    SetTitle(kUntitled);
    SetModifiedFlag(FALSE);
    return TRUE;
}

BOOL CDocument::OnOpenDocument(LPCSTR lpszPathName)
{
    const char* path = lpszPathName ? lpszPathName : "";
    CFile file;
    CFileException error;
    if (!file.Open(path, CFile::modeRead | CFile::shareDenyWrite | CFile::typeBinary, &error)) {
        ReportOpenFailure(error, path);
        return FALSE;
    }
    DeleteContents();
    // Marked until the read is through, so that a failure tells whether the
    // old contents are gone.
    SetModifiedFlag(TRUE);
    try {
        CArchive ar(&file, CArchive::load);
        Serialize(ar);
        ar.Close();
    } catch (const CFileException& e) {
        // Whatever was half read goes before anyone sees it.
        DeleteContents();
        ReportOpenFailure(e, path);
        return FALSE;
    } catch (const std::bad_alloc&) {
        // A picture too big for memory fails its own open, not the program.
        DeleteContents();
        CString message;
        message.Format("%s could not be opened: there is not enough memory.", path);
        AfxMessageBox(message, MB_OK | MB_ICONERROR);
        return FALSE;
    }
    SetModifiedFlag(FALSE);
    return TRUE;
}

void CDocument::ReportOpenFailure(const CFileException& error, LPCSTR lpszPathName) const
{
    // The message names the file even when the failure did not say which.
    CFileException named(error);
    if (named.m_strFileName.IsEmpty())
        named.m_strFileName = lpszPathName;
    AfxMessageBox(named.GetErrorMessage(), MB_OK | MB_ICONERROR);
}

BOOL CDocument::OnCmdMsg(UINT nID, int nCode, void* pExtra)
{
    return CCmdTarget::OnCmdMsg(nID, nCode, pExtra);
}
