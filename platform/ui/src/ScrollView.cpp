// The scrolling view: a picture larger than the window, its scroll bars, keys and wheel.

#include "DevicePixels.h"
#include "Hwnd.h"
#include "ui/DocView.h"

#include <QApplication>
#include <QScrollBar>

#include <algorithm>
#include <climits>

namespace {

LONG Clamp32(LONGLONG value)
{
    return static_cast<LONG>(std::clamp<LONGLONG>(value, INT_MIN, INT_MAX));
}

} // namespace

// The two scroll bars: toolkit widgets inside the view's window, in the strips
// that the window keeps out of its client area.
struct CScrollView::Bars
{
    QScrollBar* horz = nullptr;
    QScrollBar* vert = nullptr;
    bool syncing = false; // the bars are being set from the position
};

IMPLEMENT_DYNAMIC(CScrollView, CView)

BEGIN_MESSAGE_MAP(CScrollView, CView)
    ON_WM_CREATE()
    ON_WM_SIZE()
    ON_WM_KEYDOWN()
    ON_WM_MOUSEWHEEL()
    ON_WM_MOUSEHWHEEL()
END_MESSAGE_MAP()

const SIZE CScrollView::sizeDefault = {0, 0};

CScrollView::CScrollView() : m_bars(std::make_unique<Bars>()) {}

// The bars are children of the window's widget and go with it.
CScrollView::~CScrollView() = default;

int CScrollView::OnCreate(LPCREATESTRUCT lpCreateStruct)
{
    if (CView::OnCreate(lpCreateStruct) == -1)
        return -1;
    QWidget* widget = WidgetOf(m_hWnd);
    m_bars->horz = new QScrollBar(Qt::Horizontal, widget);
    m_bars->vert = new QScrollBar(Qt::Vertical, widget);
    for (QScrollBar* bar : {m_bars->horz, m_bars->vert}) {
        bar->hide();
        // The keyboard stays with the view, which scrolls by keys itself.
        bar->setFocusPolicy(Qt::NoFocus);
        QObject::connect(bar, &QScrollBar::valueChanged, widget, [this](int) {
            if (m_bars->syncing)
                return;
            ScrollToPosition(CPoint(m_bars->horz->value(), m_bars->vert->value()));
        });
    }
    return 0;
}

void CScrollView::SetScrollSizes(int, SIZE sizeTotal, const SIZE& sizePage, const SIZE& sizeLine)
{
    m_totalLog = CSize(sizeTotal.cx, sizeTotal.cy);
    // A negative extent (a picture whose size did not fit the arithmetic
    // that produced it) has nothing to scroll to.
    m_totalDev = CSize(std::max<LONG>(sizeTotal.cx, 0), std::max<LONG>(sizeTotal.cy, 0));
    m_pageDev = CSize(sizePage.cx, sizePage.cy);
    m_lineDev = CSize(sizeLine.cx, sizeLine.cy);
    if (m_pageDev.cx == 0)
        m_pageDev.cx = m_totalDev.cx / 10;
    if (m_pageDev.cy == 0)
        m_pageDev.cy = m_totalDev.cy / 10;
    if (m_lineDev.cx == 0)
        m_lineDev.cx = m_pageDev.cx / 10;
    if (m_lineDev.cy == 0)
        m_lineDev.cy = m_pageDev.cy / 10;
    if (m_hWnd)
        UpdateBars();
}

CPoint CScrollView::MaxPosition() const
{
    CRect client;
    GetClientRect(&client);
    return CPoint(std::max<LONG>(m_totalDev.cx - client.Width(), 0),
                  std::max<LONG>(m_totalDev.cy - client.Height(), 0));
}

void CScrollView::UpdateBars()
{
    QWidget* widget = WidgetOf(m_hWnd);
    if (!widget || m_bInsideUpdate || !m_bars->horz)
        return;
    m_bInsideUpdate = true;

    // Decided on the whole window, so that taking a strip for one bar and
    // the WM_SIZE that follows cannot change the decision again.
    const int width = ToDevice(widget, widget->width());
    const int height = ToDevice(widget, widget->height());
    const int vertWidth = ToDevice(widget, m_bars->vert->sizeHint().width());
    const int horzHeight = ToDevice(widget, m_bars->horz->sizeHint().height());
    bool horz = m_totalDev.cx > width;
    bool vert = m_totalDev.cy > height;
    // One bar takes room that the other direction may then need.
    if (horz && !vert)
        vert = m_totalDev.cy > height - horzHeight;
    if (vert && !horz)
        horz = m_totalDev.cx > width - vertWidth;
    m_bHorz = horz;
    m_bVert = vert;
    SetNonClientArea(m_hWnd, vert ? vertWidth : 0, horz ? horzHeight : 0);

    CRect client;
    GetClientRect(&client);
    m_bars->horz->setVisible(horz);
    m_bars->vert->setVisible(vert);
    m_bars->horz->setGeometry(
        LogicalGeometry(widget, 0, client.Height(), client.Width(), horzHeight));
    m_bars->vert->setGeometry(
        LogicalGeometry(widget, client.Width(), 0, vertWidth, client.Height()));

    const CPoint max = MaxPosition();
    m_bars->syncing = true;
    m_bars->horz->setRange(0, max.x);
    m_bars->vert->setRange(0, max.y);
    m_bars->horz->setPageStep(std::max<LONG>(m_pageDev.cx, 1));
    m_bars->vert->setPageStep(std::max<LONG>(m_pageDev.cy, 1));
    m_bars->horz->setSingleStep(std::max<LONG>(m_lineDev.cx, 1));
    m_bars->vert->setSingleStep(std::max<LONG>(m_lineDev.cy, 1));
    m_bars->syncing = false;
    m_bInsideUpdate = false;

    // The range may have shrunk under the position.
    const CPoint clamped(std::min(m_scrollPos.x, max.x), std::min(m_scrollPos.y, max.y));
    if (clamped != m_scrollPos)
        ScrollToPosition(clamped);
    else
        Invalidate(TRUE);
}

void CScrollView::ScrollToPosition(POINT pt)
{
    const CPoint max = MaxPosition();
    const CPoint to(std::clamp<LONG>(pt.x, 0, max.x), std::clamp<LONG>(pt.y, 0, max.y));
    if (m_bars->horz) {
        m_bars->syncing = true;
        m_bars->horz->setValue(to.x);
        m_bars->vert->setValue(to.y);
        m_bars->syncing = false;
    }
    if (to == m_scrollPos)
        return;
    const CPoint from = m_scrollPos;
    m_scrollPos = to;
    // The picture already shown moves and the uncovered strips wait for the
    // next paint: a caller midway through its own update (new sizes before
    // a new scale) must not see its half-made state drawn.
    ::ScrollWindow(m_hWnd, from.x - to.x, from.y - to.y);
}

void CScrollView::ScrollMain(LONGLONG delta)
{
    const CPoint max = MaxPosition();
    CPoint to = m_scrollPos;
    if (max.y == 0 && max.x > 0)
        to.x = Clamp32(LONGLONG{to.x} + delta);
    else
        to.y = Clamp32(LONGLONG{to.y} + delta);
    ScrollToPosition(to);
}

void CScrollView::OnPrepareDC(CDC* pDC, CPrintInfo* pInfo)
{
    CView::OnPrepareDC(pDC, pInfo);
    pDC->SetViewportOrg(-m_scrollPos.x, -m_scrollPos.y);
}

void CScrollView::OnSize(UINT nType, int cx, int cy)
{
    CView::OnSize(nType, cx, cy);
    UpdateBars();
}

void CScrollView::OnKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags)
{
    const bool horzOnly = MaxPosition().y == 0 && MaxPosition().x > 0;
    const LONG page = horzOnly ? m_pageDev.cx : m_pageDev.cy;
    const LONGLONG repeat = std::max<UINT>(nRepCnt, 1);
    switch (nChar) {
    case VK_LEFT:
        ScrollToPosition(CPoint(Clamp32(m_scrollPos.x - repeat * m_lineDev.cx), m_scrollPos.y));
        return;
    case VK_RIGHT:
        ScrollToPosition(CPoint(Clamp32(m_scrollPos.x + repeat * m_lineDev.cx), m_scrollPos.y));
        return;
    case VK_UP:
        ScrollToPosition(CPoint(m_scrollPos.x, Clamp32(m_scrollPos.y - repeat * m_lineDev.cy)));
        return;
    case VK_DOWN:
        ScrollToPosition(CPoint(m_scrollPos.x, Clamp32(m_scrollPos.y + repeat * m_lineDev.cy)));
        return;
    case VK_PRIOR:
        ScrollMain(-repeat * page);
        return;
    case VK_NEXT:
        ScrollMain(repeat * page);
        return;
    case VK_HOME:
        ScrollMain(LLONG_MIN / 2);
        return;
    case VK_END:
        ScrollMain(LLONG_MAX / 2);
        return;
    default:
        CView::OnKeyDown(nChar, nRepCnt, nFlags);
        return;
    }
}

LONGLONG CScrollView::WheelLines(int& remainder, short zDelta)
{
    // Fine-grained wheels send parts of a notch: they add up to whole lines.
    const int total = remainder + zDelta * QApplication::wheelScrollLines();
    remainder = total % WHEEL_DELTA;
    return total / WHEEL_DELTA;
}

void CScrollView::ScrollSideways(LONGLONG lines)
{
    ScrollToPosition(CPoint(Clamp32(m_scrollPos.x + lines * m_lineDev.cx), m_scrollPos.y));
}

BOOL CScrollView::OnMouseWheel(UINT nFlags, short zDelta, CPoint)
{
    const CPoint max = MaxPosition();
    if ((max.x == 0 && max.y == 0) || (nFlags & MK_CONTROL))
        return static_cast<BOOL>(Default());
    // Rolling the wheel away from the user moves towards the top, or with
    // Shift towards the left.
    if (nFlags & MK_SHIFT) {
        ScrollSideways(-WheelLines(m_hwheelRemainder, zDelta));
        return TRUE;
    }
    const LONGLONG steps = WheelLines(m_wheelRemainder, zDelta);
    const LONG line = max.y == 0 ? m_lineDev.cx : m_lineDev.cy;
    ScrollMain(-steps * line);
    return TRUE;
}

void CScrollView::OnMouseHWheel(UINT nFlags, short zDelta, CPoint pt)
{
    if (MaxPosition().x == 0 || (nFlags & MK_CONTROL)) {
        CView::OnMouseHWheel(nFlags, zDelta, pt);
        return;
    }
    ScrollSideways(WheelLines(m_hwheelRemainder, zDelta));
}
