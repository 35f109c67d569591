// The palette dialog: the 16 x 16 swatch grid and the read-out of the swatch under the mouse.

#include "docview/PaletteDialog.h"

#include "dib/DibPalette.h"
#include "docview/PixmoraView.h"
#include "resources/ResourceIds.h"

BEGIN_MESSAGE_MAP(CPaletteDialog, CDialog)
    ON_WM_PAINT()
    ON_WM_MOUSEMOVE()
END_MESSAGE_MAP()

CPaletteDialog::CPaletteDialog(CWnd* pParent) : CDialog(IDD_PALETTE, pParent), m_pPalette(nullptr)
{
}

void CPaletteDialog::OnPaint()
{
    // The dialog's own paint request is settled by the default processing;
    // the swatches go into the frame control alone.
    CWnd::OnPaint();
    CWnd* pSwatch = GetDlgItem(IDC_PALETTE_SWATCH);
    if (!pSwatch)
        return;
    CPaintDC dc(pSwatch);
    CRect rect;
    pSwatch->GetClientRect(&rect);
    if (m_pPalette)
        m_pPalette->DrawGrid(&dc, &rect, FALSE);
}

void CPaletteDialog::OnMouseMove(UINT /*nFlags*/, CPoint point)
{
    ShowPixelColor(point);
    Default();
}

void CPaletteDialog::ShowPixelColor(CPoint point)
{
    CDC* pDC = GetDC();
    const COLORREF color = pDC ? pDC->GetPixel(point.x, point.y) : CLR_INVALID;
    if (pDC)
        ReleaseDC(pDC);
    SetWindowTextA(FormatPixelColor(color));
}
