// The view: the picture at its zoom, the zoom commands, palette messages and the colour read-out.

#include "docview/PixmoraView.h"

#include "docview/PaletteDialog.h"
#include "docview/PixmoraDoc.h"
#include "frame/MainFrame.h"
#include "resources/ResourceIds.h"
#include "ui/WinApp.h"

CString FormatPixelColor(COLORREF color)
{
    CString text;
    text.Format("RGB(%d, %d, %d)", static_cast<int>(color & 0xFF),
                static_cast<int>((color >> 8) & 0xFF), static_cast<int>((color >> 16) & 0xFF));
    return text;
}

IMPLEMENT_DYNCREATE(CPixmoraView, CScrollView)

BEGIN_MESSAGE_MAP(CPixmoraView, CScrollView)
    ON_COMMAND(ID_FILE_SAVE, OnFileSave)
    ON_COMMAND(ID_FILE_SAVE_AS, OnFileSaveAs)
    ON_COMMAND(ID_VIEW_CURRENT_PALETTE, OnViewCurrentPalette)
    ON_COMMAND(ID_VIEW_DIB_PALETTE, OnViewDibPalette)
    ON_WM_PALETTECHANGED()
    ON_WM_QUERYNEWPALETTE()
    ON_WM_LBUTTONDOWN()
    ON_WM_LBUTTONUP()
    ON_WM_MOUSEMOVE()
    ON_WM_MOUSEWHEEL()
    ON_COMMAND(ID_VIEW_ENLARGE, OnViewEnlarge)
    ON_COMMAND(ID_VIEW_SHRINK, OnViewShrink)
END_MESSAGE_MAP()

CPixmoraView::CPixmoraView() : m_bTracking(FALSE), m_scale(1.0) {}

CPixmoraDoc* CPixmoraView::GetDocument() const
{
    return static_cast<CPixmoraDoc*>(m_pDocument);
}

BOOL CPixmoraView::PreCreateWindow(CREATESTRUCT& cs)
{
    return CView::PreCreateWindow(cs);
}

void CPixmoraView::OnDraw(CDC* pDC)
{
    CPixmoraDoc* pDoc = GetDocument();
    CPalette* pOld = pDC->SelectPalette(pDoc->m_pPalette, FALSE);
    pDC->RealizePalette();
    pDoc->m_pDib->Draw(pDC, 0, 0, m_scale);
    // The caller's palette goes back as it was, in the foreground.
    pDC->SelectPalette(pOld, FALSE);
}

void CPixmoraView::OnInitialUpdate()
{
    CView::OnInitialUpdate();
    // A top-down picture stores a negative height; its extent is the same.
    SetScrollSizes(MM_TEXT, GetDocument()->m_pDib->GetDrawnSize(1.0));
    m_scale = 1.0;
}

void CPixmoraView::OnActivateView(BOOL bActivate, CView* pActivateView, CView* pDeactiveView)
{
    if (bActivate) {
        RealizeDocPalette(FALSE);
        if (CWnd* pMain = AfxGetApp() ? AfxGetApp()->m_pMainWnd : nullptr)
            ::SendMessageA(pMain->GetSafeHwnd(), WM_PALETTECHANGED,
                           reinterpret_cast<WPARAM>(GetSafeHwnd()), 0);
    }
    CView::OnActivateView(bActivate, pActivateView, pDeactiveView);
}

// Nothing is ever written: these keep the document's own saving from running.
void CPixmoraView::OnFileSave() {}
void CPixmoraView::OnFileSaveAs() {}

void CPixmoraView::OnViewCurrentPalette()
{
    CPaletteDialog dlg;
    dlg.DoModal();
}

void CPixmoraView::OnViewDibPalette()
{
    CPaletteDialog dlg;
    dlg.SetPalette(GetDocument()->m_pPalette);
    dlg.DoModal();
}

void CPixmoraView::OnPaletteChanged(CWnd* pFocusWnd)
{
    // The change this view caused needs no answer from it.
    if (pFocusWnd == this)
        return;
    OnQueryNewPalette();
}

BOOL CPixmoraView::OnQueryNewPalette()
{
    return static_cast<BOOL>(RealizeDocPalette(FALSE));
}

UINT CPixmoraView::RealizeDocPalette(BOOL bForceBackground)
{
    CDC* pDC = GetDC();
    if (!pDC)
        return 0;
    CPalette* pOld = pDC->SelectPalette(GetDocument()->m_pPalette, bForceBackground);
    const UINT mapped = pDC->RealizePalette();
    pDC->SelectPalette(pOld, TRUE);
    pDC->RealizePalette();
    ReleaseDC(pDC);
    if (mapped != 0 || bForceBackground)
        InvalidateRect(nullptr, TRUE);
    return mapped;
}

void CPixmoraView::OnLButtonDown(UINT /*nFlags*/, CPoint point)
{
    SetCapture();
    m_bTracking = TRUE;
    ShowPixelColor(point);
    Default();
}

void CPixmoraView::OnMouseMove(UINT /*nFlags*/, CPoint point)
{
    if (m_bTracking)
        ShowPixelColor(point);
    Default();
}

void CPixmoraView::OnLButtonUp(UINT /*nFlags*/, CPoint /*point*/)
{
    ::ReleaseCapture();
    m_bTracking = FALSE;
    Default();
}

void CPixmoraView::ShowPixelColor(CPoint point)
{
    CWinApp* pApp = AfxGetApp();
    CWnd* pMain = pApp ? pApp->m_pMainWnd : nullptr;
    auto* pFrame = pMain && pMain->IsKindOf(RUNTIME_CLASS(CMainFrame))
                       ? static_cast<CMainFrame*>(pMain)
                       : nullptr;
    // The client context has no scroll offset: the mouse point is the pixel.
    CDC* pDC = GetDC();
    const COLORREF color = pDC ? pDC->GetPixel(point.x, point.y) : CLR_INVALID;
    if (pDC)
        ReleaseDC(pDC);
    if (pFrame)
        pFrame->m_statusBar.SetPaneText(0, FormatPixelColor(color), TRUE);
}

void CPixmoraView::OnViewEnlarge()
{
    Zoom(2.0);
}

void CPixmoraView::OnViewShrink()
{
    Zoom(0.5);
}

BOOL CPixmoraView::OnMouseWheel(UINT nFlags, short zDelta, CPoint pt)
{
    if (!(nFlags & MK_CONTROL))
        return CScrollView::OnMouseWheel(nFlags, zDelta, pt);
    // Ctrl+wheel zooms through the menu's commands, one per notch; a
    // fine-grained wheel's parts of a notch add up.
    m_zoomRemainder += zDelta;
    for (; m_zoomRemainder >= WHEEL_DELTA; m_zoomRemainder -= WHEEL_DELTA)
        SendZoomCommand(ID_VIEW_ENLARGE);
    for (; m_zoomRemainder <= -WHEEL_DELTA; m_zoomRemainder += WHEEL_DELTA)
        SendZoomCommand(ID_VIEW_SHRINK);
    return TRUE;
}

void CPixmoraView::SendZoomCommand(UINT nID)
{
    // Through the frame, so that the command runs only while enabled.
    if (CFrameWnd* pFrame = GetParentFrame())
        pFrame->SendMessage(WM_COMMAND, MAKEWPARAM(static_cast<WORD>(nID), 0), 0);
}

void CPixmoraView::Zoom(double factor)
{
    const double scale = m_scale * factor;
    if (scale < kMinScale || scale > kMaxScale)
        return;
    m_scale = scale;
    // The draw truncates the same products, so the scrollable area is
    // always the drawn picture.
    SetScrollSizes(MM_TEXT, GetDocument()->m_pDib->GetDrawnSize(m_scale));
    InvalidateRect(nullptr, TRUE);
}
