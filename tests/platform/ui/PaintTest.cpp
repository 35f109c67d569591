// Painting into a window's surface, erasing, resizing, and reading back what a window shows.

#include "UiTestSupport.h"

#include <gtest/gtest.h>

using uitest::Fill;
using uitest::ReadPixel;
using uitest::ScreenPixel;

namespace {

constexpr COLORREF kRed = RGB(220, 20, 30);
constexpr COLORREF kGreen = RGB(10, 200, 40);
constexpr COLORREF kBlue = RGB(0, 0, 255);

// Paints its whole client area in one colour, or only m_spot when it is set.
class CPainterWnd : public CWnd
{
public:
    explicit CPainterWnd(COLORREF color) : m_color(color) {}

    COLORREF m_color;
    CRect m_spot;
    int m_paints = 0;
    CRect m_lastPaint;
    BOOL m_lastErase = FALSE;
    CSize m_lastSize;

protected:
    void OnPaint()
    {
        CPaintDC dc(this);
        ++m_paints;
        m_lastPaint = CRect(dc.m_ps.rcPaint.left, dc.m_ps.rcPaint.top, dc.m_ps.rcPaint.right,
                            dc.m_ps.rcPaint.bottom);
        m_lastErase = dc.m_ps.fErase;
        CRect area;
        GetClientRect(&area);
        CBrush brush(m_color);
        dc.FillRect(m_spot.IsRectEmpty() ? &area : &m_spot, &brush);
    }
    void OnSize(UINT, int cx, int cy) { m_lastSize = CSize(cx, cy); }

    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CPainterWnd, CWnd)
    ON_WM_PAINT()
    ON_WM_SIZE()
END_MESSAGE_MAP()

TEST(Paint, InvalidatedAreaIsPaintedAndShownResizeAndEraseRepaintAndChildrenAreRead)
{
    CPainterWnd wnd(kRed);
    ASSERT_TRUE(uitest::MakeTop(wnd, 60, 40));
    PumpMessages();
    const HWND hwnd = wnd;
    EXPECT_GE(wnd.m_paints, 1); // shown: painted once
    EXPECT_EQ(wnd.m_lastSize, CSize(60, 40));
    EXPECT_EQ(ReadPixel(hwnd, 59, 39), kRed);
    EXPECT_EQ(ScreenPixel(hwnd, 59, 39), kRed);

    // Only the invalid part is painted: the context is clipped to it.
    wnd.m_color = kBlue;
    const CRect part(10, 5, 20, 15);
    wnd.InvalidateRect(&part, FALSE);
    const int before = wnd.m_paints;
    EXPECT_EQ(ReadPixel(hwnd, 12, 7), kRed); // nothing happens until the paint
    PumpMessages();
    EXPECT_EQ(wnd.m_paints, before + 1);
    EXPECT_EQ(wnd.m_lastPaint, part);
    EXPECT_EQ(ReadPixel(hwnd, 12, 7), kBlue);
    EXPECT_EQ(ReadPixel(hwnd, 9, 7), kRed);
    EXPECT_EQ(ReadPixel(hwnd, 20, 7), kRed);
    EXPECT_EQ(ScreenPixel(hwnd, 12, 7), kBlue);
    EXPECT_EQ(ScreenPixel(hwnd, 25, 7), kRed);

    // Nothing invalid: no paint.
    PumpMessages();
    EXPECT_EQ(wnd.m_paints, before + 1);

    // UpdateWindow paints at once.
    wnd.m_color = kGreen;
    wnd.Invalidate(FALSE);
    wnd.UpdateWindow();
    EXPECT_EQ(wnd.m_paints, before + 2);
    EXPECT_EQ(ReadPixel(hwnd, 0, 0), kGreen);

    // Resizing reports the size at once, not at the next event, and repaints everything.
    wnd.MoveWindow(0, 0, 70, 45);
    EXPECT_EQ(wnd.m_lastSize, CSize(70, 45));
    PumpMessages();
    EXPECT_EQ(wnd.m_lastPaint, CRect(0, 0, 70, 45));
    EXPECT_EQ(ReadPixel(hwnd, 69, 44), kGreen);
    EXPECT_EQ(ReadPixel(hwnd, 70, 44), CLR_INVALID);

    // Only an erasing invalidation fills with the background before the paint.
    wnd.m_color = kRed;
    wnd.m_spot = CRect(10, 10, 20, 20);
    SetWindowBackground(hwnd, kGreen);
    {
        CClientDC dc(&wnd);
        Fill(dc.GetSafeHdc(), CRect(0, 0, 70, 45), kBlue);
    }
    wnd.InvalidateRect(nullptr, FALSE);
    PumpMessages();
    EXPECT_EQ(ReadPixel(hwnd, 2, 2), kBlue);
    EXPECT_EQ(ReadPixel(hwnd, 15, 15), kRed);
    wnd.Invalidate(TRUE);
    PumpMessages();
    EXPECT_EQ(wnd.m_lastPaint, CRect(0, 0, 70, 45));
    EXPECT_FALSE(wnd.m_lastErase); // the default erase did it
    EXPECT_EQ(ReadPixel(hwnd, 2, 2), kGreen);
    EXPECT_EQ(ReadPixel(hwnd, 69, 44), kGreen);
    EXPECT_EQ(ReadPixel(hwnd, 15, 15), kRed);
    EXPECT_EQ(ScreenPixel(hwnd, 2, 2), kGreen);

    // A client context reads children, and only the visible client area.
    CPainterWnd child(kBlue), grandChild(kGreen), overhang(kGreen), hidden(kGreen);
    wnd.m_spot = CRect();
    wnd.MoveWindow(0, 0, 100, 80);
    ASSERT_TRUE(child.Create(nullptr, nullptr, WS_VISIBLE, CRect(20, 10, 60, 50), &wnd, 1));
    ASSERT_TRUE(grandChild.Create(nullptr, nullptr, WS_VISIBLE, CRect(5, 5, 10, 10), &child, 1));
    // Sticks out past the parent's bottom-right corner.
    ASSERT_TRUE(overhang.Create(nullptr, nullptr, WS_VISIBLE, CRect(90, 70, 120, 100), &wnd, 2));
    ASSERT_TRUE(hidden.Create(nullptr, nullptr, 0, CRect(0, 60, 10, 70), &wnd, 3));
    PumpMessages();

    EXPECT_EQ(ReadPixel(hwnd, 5, 5), kRed);
    EXPECT_EQ(ReadPixel(hwnd, 30, 30), kBlue);
    EXPECT_EQ(ReadPixel(hwnd, 26, 16), kGreen); // a child of the child
    EXPECT_EQ(ReadPixel(hwnd, 95, 75), kGreen);
    EXPECT_EQ(ReadPixel(hwnd, 5, 65), kRed); // a hidden child shows nothing
    for (const POINT p : {POINT{100, 5}, POINT{5, 80}, POINT{-1, 5}, POINT{5, -1}})
        EXPECT_EQ(ReadPixel(hwnd, p.x, p.y), CLR_INVALID) << p.x << "," << p.y;

    // What the parent cuts off is not visible; a hidden window shows nothing.
    EXPECT_EQ(ReadPixel(overhang, 5, 5), kGreen);
    EXPECT_EQ(ReadPixel(overhang, 10, 5), CLR_INVALID);
    EXPECT_EQ(ReadPixel(overhang, 5, 10), CLR_INVALID);
    EXPECT_EQ(ReadPixel(hidden, 1, 1), CLR_INVALID);
    EXPECT_EQ(ScreenPixel(hwnd, 26, 16), kGreen);

    // Hiding a child uncovers the parent, which paints there again.
    child.ShowWindow(SW_HIDE);
    PumpMessages();
    EXPECT_EQ(ReadPixel(hwnd, 30, 30), kRed);
}

} // namespace
