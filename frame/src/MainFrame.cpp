// The main frame: its toolbar and status bar panes, and the palette messages passed to the view.

#include "frame/MainFrame.h"

#include "resources/ResourceIds.h"

#include <iterator>

namespace {

// Pane 0 takes what is left; the key states follow it.
constexpr UINT kIndicators[] = {
    ID_SEPARATOR,
    ID_INDICATOR_CAPS,
    ID_INDICATOR_NUM,
    ID_INDICATOR_SCRL,
};

} // namespace

IMPLEMENT_DYNCREATE(CMainFrame, CFrameWnd)

BEGIN_MESSAGE_MAP(CMainFrame, CFrameWnd)
    ON_WM_CREATE()
    ON_WM_PALETTECHANGED()
    ON_WM_QUERYNEWPALETTE()
END_MESSAGE_MAP()

BOOL CMainFrame::PreCreateWindow(CREATESTRUCT& cs)
{
    return CFrameWnd::PreCreateWindow(cs);
}

int CMainFrame::OnCreate(LPCREATESTRUCT lpCreateStruct)
{
    if (CFrameWnd::OnCreate(lpCreateStruct) == -1)
        return -1;

    if (!m_toolBar.Create(this, WS_CHILD | WS_VISIBLE | CBRS_TOP, AFX_IDW_TOOLBAR) ||
        !m_toolBar.LoadToolBar(IDR_MAINFRAME))
        return -1;

    if (!m_statusBar.Create(this, WS_CHILD | WS_VISIBLE | CBRS_BOTTOM, AFX_IDW_STATUS_BAR) ||
        !m_statusBar.SetIndicators(kIndicators, static_cast<int>(std::size(kIndicators))))
        return -1;

    m_toolBar.SetBarStyle(m_toolBar.GetBarStyle() | CBRS_TOOLTIPS | CBRS_FLYBY | CBRS_SIZE_DYNAMIC);
    m_toolBar.EnableDocking(CBRS_ALIGN_ANY);
    EnableDocking(CBRS_ALIGN_ANY);
    DockControlBar(&m_toolBar);
    return 0;
}

void CMainFrame::OnPaletteChanged(CWnd* pFocusWnd)
{
    CFrameWnd::OnPaletteChanged(pFocusWnd);
    // Children never hear of palette changes from the system; every one of
    // them, however deep, may be showing a palette.
    SendMessageToDescendants(
        WM_PALETTECHANGED, reinterpret_cast<WPARAM>(pFocusWnd ? pFocusWnd->GetSafeHwnd() : nullptr),
        0, TRUE, FALSE);
}

BOOL CMainFrame::OnQueryNewPalette()
{
    CWnd* pView = GetActiveView();
    if (!pView)
        return FALSE;
    const LRESULT mapped = ::SendMessageA(pView->GetSafeHwnd(), WM_QUERYNEWPALETTE, 0, 0);
    // Nothing was remapped for the view, so the others may still need to
    // realise theirs against the current system palette.
    if (mapped == 0)
        SendMessageToDescendants(WM_PALETTECHANGED, reinterpret_cast<WPARAM>(pView->GetSafeHwnd()),
                                 0, TRUE, FALSE);
    return static_cast<BOOL>(mapped);
}
