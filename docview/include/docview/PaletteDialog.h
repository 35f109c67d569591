#pragma once

// "View Palette": a palette as a grid of swatches, with the colour under the
// mouse read out into the caption.

#include "ui/Dialog.h"

class CDibPalette;

class CPaletteDialog : public CDialog
{
public:
    explicit CPaletteDialog(CWnd* pParent = nullptr);

    // Borrowed; null shows an empty frame.
    void SetPalette(CDibPalette* pPalette) { m_pPalette = pPalette; }

protected:
    void OnPaint();
    void OnMouseMove(UINT nFlags, CPoint point);

    DECLARE_MESSAGE_MAP()

private:
    void ShowPixelColor(CPoint point);

    CDibPalette* m_pPalette;
};
