// The frame's control bars: finding, showing and docking them, the message pane, key indicators.

#include "FrameHost.h"
#include "LockKeys.h"
#include "ui/Bars.h"
#include "ui/Frame.h"

#include <QMainWindow>
#include <QToolBar>

namespace {

bool IndicatorOn(UINT nID)
{
    switch (nID) {
    case kIndicatorCaps:
        return LockKeyOn(LockKey::Caps);
    case kIndicatorNum:
        return LockKeyOn(LockKey::Num);
    case kIndicatorScroll:
        return LockKeyOn(LockKey::Scroll);
    default:
        return false;
    }
}

} // namespace

// ---- Control bars ----------------------------------------------------------------------

CControlBar* CFrameWnd::GetControlBar(UINT nID) const
{
    return dynamic_cast<CControlBar*>(
        CWnd::FromHandlePermanent(::GetDlgItem(m_hWnd, static_cast<int>(nID))));
}

CWnd* CFrameWnd::GetMessageBar() const
{
    return GetControlBar(AFX_IDW_STATUS_BAR);
}

void CFrameWnd::ShowControlBar(CControlBar* pBar, BOOL bShow, BOOL)
{
    if (!pBar || !pBar->m_impl)
        return;
    if (QWidget* widget = pBar->m_impl->Widget())
        widget->setVisible(bShow != FALSE);
    RecalcLayout();
}

void CFrameWnd::OnBarCheck(UINT nID)
{
    if (CControlBar* bar = GetControlBar(nID))
        ShowControlBar(bar, !bar->IsVisible(), FALSE);
}

void CFrameWnd::OnUpdateControlBarMenu(CCmdUI* pCmdUI)
{
    CControlBar* bar = GetControlBar(pCmdUI->m_nID);
    pCmdUI->Enable(bar != nullptr);
    pCmdUI->SetCheck(bar && bar->IsVisible() ? 1 : 0);
}

void CFrameWnd::OnUpdateKeyIndicator(CCmdUI* pCmdUI)
{
    pCmdUI->Enable(IndicatorOn(pCmdUI->m_nID));
}

void CFrameWnd::SetMessageText(LPCSTR lpszText)
{
    if (auto* bar = dynamic_cast<CStatusBar*>(GetMessageBar()))
        bar->SetPaneText(0, lpszText);
}

void CFrameWnd::SetMessageText(UINT nID)
{
    SetMessageText(CommandPrompt(nID));
}

// ---- The frame's side of docking ----------------------------------------------------

void CFrameWnd::EnableDocking(DWORD dwDockStyle)
{
    m_dwDockStyle = dwDockStyle & CBRS_ALIGN_ANY;
    // Bars that asked before the frame allowed anything get their edges now.
    if (FrameHost* host = m_host.get())
        for (CControlBar* bar : host->bars)
            if (bar->m_dwDockStyle)
                bar->EnableDocking(bar->m_dwDockStyle);
}

void CFrameWnd::DockControlBar(CControlBar* pBar, UINT nDockBarID, LPCRECT)
{
    FrameHost* host = m_host.get();
    QToolBar* bar = pBar ? pBar->m_impl->toolBar.data() : nullptr;
    if (!host || !host->MainWindow() || !bar)
        return;
    DWORD align;
    switch (nDockBarID) {
    case AFX_IDW_DOCKBAR_TOP:
        align = CBRS_ALIGN_TOP;
        break;
    case AFX_IDW_DOCKBAR_BOTTOM:
        align = CBRS_ALIGN_BOTTOM;
        break;
    case AFX_IDW_DOCKBAR_LEFT:
        align = CBRS_ALIGN_LEFT;
        break;
    case AFX_IDW_DOCKBAR_RIGHT:
        align = CBRS_ALIGN_RIGHT;
        break;
    default:
        align = pBar->m_dwDockStyle & m_dwDockStyle;
        if (align == 0)
            align = pBar->m_dwStyle & CBRS_ALIGN_ANY;
        break;
    }
    const bool shown = !bar->isHidden();
    host->MainWindow()->addToolBar(AreaOf(align), bar);
    bar->setVisible(shown);
    RecalcLayout();
}
