#pragma once

// The scrolling view that shows the document's bitmap at a power-of-two zoom,
// keeps the document's palette realised and, while the left button is held,
// reads out the colour under the mouse into the status bar.

#include "core/String.h"
#include "ui/DocView.h"

class CPixmoraDoc;

// "RGB(r, g, b)" from the low three bytes of a colour; the top byte is ignored.
CString FormatPixelColor(COLORREF color);

class CPixmoraView : public CScrollView
{
    DECLARE_DYNCREATE(CPixmoraView)

public:
    // Zoom stops here in either direction: far enough for any picture, short
    // of sizes that wrap or vanish into rounding.
    static constexpr double kMinScale = 1.0 / (1 << 20);
    static constexpr double kMaxScale = 1 << 20;

    CPixmoraView();
    ~CPixmoraView() override = default;

    CPixmoraDoc* GetDocument() const;

    BOOL PreCreateWindow(CREATESTRUCT& cs) override;
    void OnInitialUpdate() override;
    void OnActivateView(BOOL bActivate, CView* pActivateView, CView* pDeactiveView) override;

    double GetScale() const { return m_scale; }

protected:
    void OnDraw(CDC* pDC) override;

    void OnFileSave();
    void OnFileSaveAs();
    void OnViewCurrentPalette();
    void OnViewDibPalette();
    void OnPaletteChanged(CWnd* pFocusWnd);
    BOOL OnQueryNewPalette();
    void OnLButtonDown(UINT nFlags, CPoint point);
    void OnLButtonUp(UINT nFlags, CPoint point);
    void OnMouseMove(UINT nFlags, CPoint point);
    BOOL OnMouseWheel(UINT nFlags, short zDelta, CPoint pt);
    void OnViewEnlarge();
    void OnViewShrink();

    DECLARE_MESSAGE_MAP()

private:
    UINT RealizeDocPalette(BOOL bForceBackground);
    void ShowPixelColor(CPoint point);
    void Zoom(double factor);
    void SendZoomCommand(UINT nID);

    BOOL m_bTracking;
    double m_scale;
    int m_zoomRemainder = 0; // Ctrl+wheel turned short of a notch
};
