// Control bars: what a toolbar and a status bar share, in the frame's children and on its edges.

#include "FrameHost.h"
#include "WrappingToolBar.h"
#include "ui/Bars.h"

#include <QAction>
#include <QStatusBar>
#include <QToolBar>

#include <algorithm>

Qt::ToolBarArea AreaOf(DWORD align)
{
    if (align & CBRS_ALIGN_TOP)
        return Qt::TopToolBarArea;
    if (align & CBRS_ALIGN_BOTTOM)
        return Qt::BottomToolBarArea;
    if (align & CBRS_ALIGN_LEFT)
        return Qt::LeftToolBarArea;
    if (align & CBRS_ALIGN_RIGHT)
        return Qt::RightToolBarArea;
    return Qt::TopToolBarArea;
}

namespace {

Qt::ToolBarAreas AreasOf(DWORD align)
{
    Qt::ToolBarAreas areas;
    if (align & CBRS_ALIGN_TOP)
        areas |= Qt::TopToolBarArea;
    if (align & CBRS_ALIGN_BOTTOM)
        areas |= Qt::BottomToolBarArea;
    if (align & CBRS_ALIGN_LEFT)
        areas |= Qt::LeftToolBarArea;
    if (align & CBRS_ALIGN_RIGHT)
        areas |= Qt::RightToolBarArea;
    return areas;
}

} // namespace

QWidget* CControlBar::Impl::Widget() const
{
    if (toolBar)
        return toolBar;
    return statusBar;
}

BEGIN_MESSAGE_MAP(CControlBar, CWnd)
    ON_MESSAGE(WM_IDLEUPDATECMDUI, OnIdleUpdateCmdUI)
END_MESSAGE_MAP()

CControlBar::CControlBar() : m_impl(std::make_unique<Impl>()) {}

CControlBar::~CControlBar()
{
    if (FrameHost* host = FrameHostOf(m_pDockSite)) {
        auto& bars = host->bars;
        bars.erase(std::remove(bars.begin(), bars.end(), this), bars.end());
    }
    // The bar may be going from inside one of its own widget's events.
    if (QWidget* widget = m_impl->Widget()) {
        widget->disconnect();
        for (const QPointer<QAction>& action : m_impl->actions)
            if (action)
                action->disconnect();
        widget->hide();
        widget->deleteLater();
    }
}

BOOL CControlBar::CreateBar(CWnd* pParentWnd, DWORD dwStyle, UINT nID)
{
    auto* frame = dynamic_cast<CFrameWnd*>(pParentWnd);
    FrameHost* host = FrameHostOf(frame);
    if (!host || !host->MainWindow() || m_hWnd)
        return FALSE;
    // The bar's own window only stands for it among the frame's children:
    // it is never shown.
    const RECT none{0, 0, 0, 0};
    if (!CreateEx(0, nullptr, nullptr, WS_CHILD, none, frame, nID))
        return FALSE;
    m_dwStyle = dwStyle & CBRS_ALL;
    m_pDockSite = frame;
    host->bars.push_back(this);
    return TRUE;
}

void CControlBar::SetBarStyle(DWORD dwStyle)
{
    m_dwStyle = dwStyle & CBRS_ALL;
    if (auto* bar = dynamic_cast<WrappingToolBar*>(m_impl->toolBar.data()))
        bar->SetReshapable((m_dwStyle & CBRS_SIZE_DYNAMIC) != 0);
}

void CControlBar::EnableDocking(DWORD dwDockStyle)
{
    m_dwDockStyle = dwDockStyle & CBRS_ALIGN_ANY;
    if (QToolBar* bar = m_impl->toolBar) {
        const DWORD allowed =
            m_dwDockStyle & (m_pDockSite ? m_pDockSite->m_dwDockStyle : CBRS_ALIGN_ANY);
        bar->setAllowedAreas(AreasOf(allowed));
        bar->setMovable(m_dwDockStyle != 0);
        bar->setFloatable(m_dwDockStyle != 0);
    }
}

BOOL CControlBar::IsVisible() const
{
    const QWidget* widget = m_impl->Widget();
    return widget && !widget->isHidden();
}

LRESULT CControlBar::OnIdleUpdateCmdUI(WPARAM wParam, LPARAM)
{
    if (m_pDockSite && IsVisible())
        OnUpdateCmdUI(m_pDockSite, static_cast<BOOL>(wParam));
    return 0;
}
