// CWnd, the object over a window handle: making it, its messages and handlers, drawing contexts.

#include "ui/Wnd.h"

#include "Hwnd.h"

#include <climits>

namespace {

// The message being handled, innermost first, for CWnd::Default. Kept on the
// stack rather than in the object, which a handler may delete.
const MSG* g_currentMsg = nullptr;

// A rectangle's extent, with CW_USEDEFAULT passed on as it is.
int Extent(LONG from, LONG to)
{
    if (from == CW_USEDEFAULT)
        return CW_USEDEFAULT;
    return static_cast<int>(std::clamp<LONGLONG>(LONGLONG{to} - from, 0, INT_MAX));
}

} // namespace

IMPLEMENT_DYNAMIC(CWnd, CCmdTarget)

BEGIN_MESSAGE_MAP(CWnd, CCmdTarget)
    ON_WM_NCDESTROY()
END_MESSAGE_MAP()

CWnd::~CWnd()
{
    if (!IsLiveWindow(m_hWnd))
        return;
    ::DestroyWindow(m_hWnd);
    // Still there when its destruction is under way further up the stack:
    // the rest of it runs without this object.
    if (IsLiveWindow(m_hWnd) && m_hWnd->wnd == this)
        m_hWnd->wnd = nullptr;
}

CWnd* CWnd::FromHandle(HWND hWnd)
{
    if (!IsLiveWindow(hWnd))
        return nullptr;
    if (hWnd->wnd)
        return hWnd->wnd;
    if (!hWnd->borrowed) {
        hWnd->borrowed = std::make_unique<CWnd>();
        hWnd->borrowed->m_hWnd = hWnd;
    }
    return hWnd->borrowed.get();
}

CWnd* CWnd::FromHandlePermanent(HWND hWnd)
{
    return IsLiveWindow(hWnd) ? hWnd->wnd : nullptr;
}

BOOL CWnd::Attach(HWND hWnd)
{
    if (m_hWnd || !IsLiveWindow(hWnd) || hWnd->wnd)
        return FALSE;
    m_hWnd = hWnd;
    hWnd->wnd = this;
    return TRUE;
}

HWND CWnd::Detach()
{
    const HWND hWnd = m_hWnd;
    if (IsLiveWindow(hWnd) && hWnd->wnd == this)
        hWnd->wnd = nullptr;
    m_hWnd = nullptr;
    return hWnd;
}

// ---- Creating and destroying -----------------------------------------------------------

BOOL CWnd::PreCreateWindow(CREATESTRUCT&)
{
    return TRUE;
}

BOOL CWnd::Create(LPCSTR lpszClassName, LPCSTR lpszWindowName, DWORD dwStyle, const RECT& rect,
                  CWnd* pParentWnd, UINT nID, CCreateContext*)
{
    return CreateEx(0, lpszClassName, lpszWindowName, dwStyle | WS_CHILD, rect, pParentWnd, nID);
}

BOOL CWnd::CreateEx(DWORD dwExStyle, LPCSTR lpszClassName, LPCSTR lpszWindowName, DWORD dwStyle,
                    const RECT& rect, CWnd* pParentWnd, UINT nID, LPVOID lpParam)
{
    if (m_hWnd)
        return FALSE;
    CREATESTRUCT cs{};
    cs.lpCreateParams = lpParam;
    cs.hMenu = reinterpret_cast<HMENU>(static_cast<std::uintptr_t>(nID));
    cs.hwndParent = pParentWnd ? pParentWnd->m_hWnd : nullptr;
    cs.x = rect.left;
    cs.y = rect.top;
    cs.cx = Extent(rect.left, rect.right);
    cs.cy = Extent(rect.top, rect.bottom);
    cs.style = static_cast<LONG>(dwStyle);
    cs.lpszName = lpszWindowName;
    cs.lpszClass = lpszClassName;
    cs.dwExStyle = dwExStyle;
    if (!PreCreateWindow(cs))
        return FALSE;

    const HWND hWnd = CreateWindowHandle(this, cs);
    if (!hWnd)
        return FALSE;
    if (SendMessage(WM_CREATE, 0, reinterpret_cast<LPARAM>(&cs)) == -1) {
        ::DestroyWindow(hWnd);
        m_hWnd = nullptr;
        return FALSE;
    }
    ApplyClientSize(hWnd);
    if (static_cast<DWORD>(cs.style) & WS_VISIBLE)
        ::ShowWindow(hWnd, SW_SHOW);
    return IsWindow(hWnd);
}

BOOL CWnd::DestroyWindow()
{
    return ::DestroyWindow(m_hWnd);
}

void CWnd::PostNcDestroy() {}

// ---- Messages ---------------------------------------------------------------------------

LRESULT CWnd::SendMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    return ::SendMessageA(m_hWnd, message, wParam, lParam);
}

void CWnd::SendMessageToDescendants(UINT message, WPARAM wParam, LPARAM lParam, BOOL bDeep,
                                    BOOL bOnlyPerm)
{
    if (!IsLiveWindow(m_hWnd))
        return;
    // A handler may create or destroy windows: walk a copy, skip the dead.
    const std::vector<HWND> children = m_hWnd->children;
    for (HWND child : children) {
        if (!IsLiveWindow(child))
            continue;
        if (!bOnlyPerm || child->wnd)
            ::SendMessageA(child, message, wParam, lParam);
        if (bDeep && IsLiveWindow(child))
            FromHandle(child)->SendMessageToDescendants(message, wParam, lParam, TRUE, bOnlyPerm);
    }
}

LRESULT CWnd::Default()
{
    if (!g_currentMsg)
        return 0;
    return DefWindowProc(g_currentMsg->message, g_currentMsg->wParam, g_currentMsg->lParam);
}

LRESULT CWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    const MSG current{m_hWnd, message, wParam, lParam};
    const MSG* outer = g_currentMsg;
    g_currentMsg = &current;
    LRESULT result = 0;
    // A handler may destroy and delete this object: nothing here touches it
    // once a handler ran.
    if (!OnWndMsg(message, wParam, lParam, &result))
        result = DefWindowProc(message, wParam, lParam);
    g_currentMsg = outer;
    return result;
}

BOOL CWnd::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    if (message == WM_COMMAND) {
        if (!OnCommand(wParam, lParam))
            return FALSE;
        *pResult = 0;
        return TRUE;
    }
    const AFX_MSGMAP_ENTRY* entry = FindEntry(GetMessageMap(), message, 0, 0);
    if (!entry)
        return FALSE;
    *pResult = entry->pfn(this, wParam, lParam);
    return TRUE;
}

LRESULT CWnd::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    return ::DefWindowProcA(m_hWnd, message, wParam, lParam);
}

BOOL CWnd::OnCommand(WPARAM wParam, LPARAM lParam)
{
    const UINT nID = LOWORD(wParam);
    int nCode = HIWORD(wParam);
    // Notification 0 comes from a menu, 1 from an accelerator; either runs
    // the command only while its item would be shown enabled.
    if (lParam == 0 && (nCode == 0 || nCode == 1)) {
        CCmdUI state;
        state.m_nID = nID;
        if (OnCmdMsg(nID, CN_UPDATE_COMMAND_UI, &state) && !state.m_bEnabled)
            return TRUE;
        nCode = CN_COMMAND;
    }
    return OnCmdMsg(nID, nCode, nullptr);
}

// ---- Default handlers --------------------------------------------------------------------

int CWnd::OnCreate(LPCREATESTRUCT)
{
    return static_cast<int>(Default());
}
void CWnd::OnDestroy()
{
    Default();
}
void CWnd::OnNcDestroy()
{
    Detach();
    PostNcDestroy();
}
void CWnd::OnClose()
{
    Default();
}
void CWnd::OnPaint()
{
    Default();
}
BOOL CWnd::OnEraseBkgnd(CDC*)
{
    return static_cast<BOOL>(Default());
}
void CWnd::OnSize(UINT, int, int)
{
    Default();
}
void CWnd::OnActivate(UINT, CWnd*, BOOL)
{
    Default();
}
void CWnd::OnMouseMove(UINT, CPoint)
{
    Default();
}
void CWnd::OnKeyDown(UINT, UINT, UINT)
{
    Default();
}
BOOL CWnd::OnMouseWheel(UINT, short, CPoint)
{
    return static_cast<BOOL>(Default());
}
void CWnd::OnMouseHWheel(UINT, short, CPoint)
{
    Default();
}
void CWnd::OnLButtonDown(UINT, CPoint)
{
    Default();
}
void CWnd::OnLButtonUp(UINT, CPoint)
{
    Default();
}
void CWnd::OnPaletteChanged(CWnd*)
{
    Default();
}
BOOL CWnd::OnQueryNewPalette()
{
    return static_cast<BOOL>(Default());
}

// ---- Drawing ------------------------------------------------------------------------------

CDC* CWnd::GetDC()
{
    return CDC::FromHandle(::GetDC(m_hWnd));
}

int CWnd::ReleaseDC(CDC* pDC)
{
    return pDC ? ::ReleaseDC(m_hWnd, pDC->GetSafeHdc()) : 0;
}

void CWnd::Invalidate(BOOL bErase)
{
    ::InvalidateRect(m_hWnd, nullptr, bErase);
}

void CWnd::InvalidateRect(LPCRECT lpRect, BOOL bErase)
{
    ::InvalidateRect(m_hWnd, lpRect, bErase);
}

void CWnd::ValidateRect(LPCRECT lpRect)
{
    ::ValidateRect(m_hWnd, lpRect);
}

void CWnd::UpdateWindow()
{
    ::UpdateWindow(m_hWnd);
}

CWnd* CWnd::SetCapture()
{
    return FromHandle(::SetCapture(m_hWnd));
}

CWnd* CWnd::GetCapture()
{
    return FromHandle(::GetCapture());
}

// ---- State --------------------------------------------------------------------------------

void CWnd::GetClientRect(LPRECT lpRect) const
{
    ::GetClientRect(m_hWnd, lpRect);
}

void CWnd::MoveWindow(int x, int y, int nWidth, int nHeight, BOOL bRepaint)
{
    ::MoveWindow(m_hWnd, x, y, nWidth, nHeight, bRepaint);
}

void CWnd::MoveWindow(LPCRECT lpRect, BOOL bRepaint)
{
    ::MoveWindow(m_hWnd, lpRect->left, lpRect->top, Extent(lpRect->left, lpRect->right),
                 Extent(lpRect->top, lpRect->bottom), bRepaint);
}

CWnd* CWnd::GetDlgItem(int nID) const
{
    return FromHandle(::GetDlgItem(m_hWnd, nID));
}

int CWnd::GetDlgCtrlID() const
{
    return ::GetDlgCtrlID(m_hWnd);
}

CWnd* CWnd::GetParent() const
{
    return FromHandle(::GetParent(m_hWnd));
}

DWORD CWnd::GetStyle() const
{
    if (!IsLiveWindow(m_hWnd))
        return 0;
    return m_hWnd->style | (m_hWnd->widget->isHidden() ? 0 : WS_VISIBLE);
}

void CWnd::SetWindowText(LPCSTR lpszString)
{
    ::SetWindowTextA(m_hWnd, lpszString);
}

void CWnd::GetWindowText(CString& rString) const
{
    const int length = ::GetWindowTextLengthA(m_hWnd);
    std::vector<char> buffer(static_cast<size_t>(length) + 1);
    const int n = ::GetWindowTextA(m_hWnd, buffer.data(), length + 1);
    rString = CString(buffer.data(), n);
}

int CWnd::GetWindowText(LPSTR lpszStringBuf, int nMaxCount) const
{
    return ::GetWindowTextA(m_hWnd, lpszStringBuf, nMaxCount);
}

BOOL CWnd::ShowWindow(int nCmdShow)
{
    return ::ShowWindow(m_hWnd, nCmdShow);
}

BOOL CWnd::IsWindowVisible() const
{
    return ::IsWindowVisible(m_hWnd);
}

int CWnd::MessageBox(LPCSTR lpszText, LPCSTR lpszCaption, UINT nType)
{
    return ::MessageBoxA(m_hWnd, lpszText, lpszCaption, nType);
}

// ---- Contexts -----------------------------------------------------------------------------

CPaintDC::CPaintDC(CWnd* pWnd) : m_hWnd(pWnd->GetSafeHwnd())
{
    Attach(::BeginPaint(m_hWnd, &m_ps));
}

CPaintDC::~CPaintDC()
{
    Detach();
    ::EndPaint(m_hWnd, &m_ps);
}

CClientDC::CClientDC(CWnd* pWnd) : m_hWnd(pWnd->GetSafeHwnd())
{
    Attach(::GetDC(m_hWnd));
}

CClientDC::~CClientDC()
{
    ::ReleaseDC(m_hWnd, Detach());
}
