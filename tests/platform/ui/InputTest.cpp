// Mouse input as messages, and mouse capture.

#include "UiTestSupport.h"

#include <QTest>
#include <QWindow>

#include <gtest/gtest.h>

#include <vector>

using uitest::Seen;

namespace {

// Logs its mouse messages; captures the mouse while the left button is down,
// as a view tracking a drag does.
class CMouseWnd : public CWnd
{
public:
    explicit CMouseWnd(std::vector<Seen>* log, const char* name) : m_log(log), m_name(name) {}

protected:
    void Log(UINT message, UINT nFlags, CPoint point)
    {
        m_log->push_back({m_name, message, nFlags,
                          MAKELPARAM(static_cast<WORD>(point.x), static_cast<WORD>(point.y))});
    }
    void OnMouseMove(UINT nFlags, CPoint point) { Log(WM_MOUSEMOVE, nFlags, point); }
    void OnLButtonDown(UINT nFlags, CPoint point)
    {
        SetCapture();
        Log(WM_LBUTTONDOWN, nFlags, point);
        Default();
    }
    void OnLButtonUp(UINT nFlags, CPoint point)
    {
        ReleaseCapture();
        Log(WM_LBUTTONUP, nFlags, point);
        Default();
    }

    DECLARE_MESSAGE_MAP()

private:
    std::vector<Seen>* m_log;
    const char* m_name;
};

BEGIN_MESSAGE_MAP(CMouseWnd, CWnd)
    ON_WM_MOUSEMOVE()
    ON_WM_LBUTTONDOWN()
    ON_WM_LBUTTONUP()
END_MESSAGE_MAP()

class Input : public testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(top.CreateEx(0, nullptr, "input", WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                                 CRect(0, 0, 200, 150), nullptr, 0));
        ASSERT_TRUE(view.Create(nullptr, nullptr, WS_VISIBLE, CRect(50, 40, 100, 90), &top, 1));
        PumpMessages();
        window = WidgetOf(top)->windowHandle();
        ASSERT_NE(window, nullptr);
        log.clear();
    }

    // Where the last message went and what it carried.
    void ExpectLast(const char* who, UINT message, int x, int y, UINT flags)
    {
        ASSERT_FALSE(log.empty());
        const Seen& s = log.back();
        EXPECT_EQ(s.who, who);
        EXPECT_EQ(s.message, message);
        EXPECT_EQ(GET_X_LPARAM(s.lParam), x);
        EXPECT_EQ(GET_Y_LPARAM(s.lParam), y);
        EXPECT_EQ(s.wParam, flags);
    }

    std::vector<Seen> log;
    CMouseWnd top{&log, "top"};
    CMouseWnd view{&log, "view"};
    QWindow* window = nullptr;
};

TEST_F(Input, CapturedMouseReachesTheWindowWhereverItIs)
{
    // Pressed over the view: it hears, in its own coordinates, and takes the mouse.
    QTest::mousePress(window, Qt::LeftButton, {}, QPoint(70, 60));
    ExpectLast("view", WM_LBUTTONDOWN, 20, 20, MK_LBUTTON);
    EXPECT_EQ(GetCapture(), view.m_hWnd);
    EXPECT_EQ(CWnd::GetCapture(), &view);

    // Over the parent, right of and below the view, left of and above it,
    // and outside the top-level window altogether.
    QTest::mouseMove(window, QPoint(190, 140));
    ExpectLast("view", WM_MOUSEMOVE, 140, 100, MK_LBUTTON);
    QTest::mouseMove(window, QPoint(5, 3));
    ExpectLast("view", WM_MOUSEMOVE, -45, -37, MK_LBUTTON);
    QTest::mouseMove(window, QPoint(260, 170));
    ExpectLast("view", WM_MOUSEMOVE, 210, 130, MK_LBUTTON);

    QTest::mouseRelease(window, Qt::LeftButton, Qt::ShiftModifier, QPoint(250, 10));
    ExpectLast("view", WM_LBUTTONUP, 200, -30, MK_SHIFT);
    EXPECT_EQ(GetCapture(), nullptr);
    for (const Seen& s : log)
        EXPECT_EQ(s.who, "view");

    // Released: the window under the mouse gets it again.
    QTest::mouseMove(window, QPoint(190, 140));
    ExpectLast("top", WM_MOUSEMOVE, 190, 140, 0);
}

TEST_F(Input, CaptureEndsWithTheWindow)
{
    ::SetCapture(view.m_hWnd);
    EXPECT_EQ(::SetCapture(top.m_hWnd), view.m_hWnd); // the previous holder
    view.DestroyWindow();
    EXPECT_EQ(GetCapture(), top.m_hWnd);
    top.DestroyWindow();
    EXPECT_EQ(GetCapture(), nullptr);
    PumpMessages();
}

} // namespace
