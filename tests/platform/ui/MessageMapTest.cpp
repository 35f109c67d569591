// Windows' destruction, delivery to descendants, mouse capture, and activation's palette query.

#include "UiTestSupport.h"

#include <QTest>
#include <QWindow>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <tuple>
#include <vector>

using uitest::Seen;

namespace {

// Logs what it hears; captures the mouse while the left button is down.
class CLogWnd : public CWnd
{
public:
    CLogWnd(std::string name, std::vector<Seen>* log) : m_name(std::move(name)), m_log(log) {}

    BOOL PreCreateWindow(CREATESTRUCT& cs) override
    {
        cs.cx *= 2; // the changed record is what the window is made from
        return TRUE;
    }
    void PostNcDestroy() override { Log(0); }

protected:
    void Log(UINT message, WPARAM wParam = 0, LPARAM lParam = 0)
    {
        m_log->push_back({message ? m_name : m_name + " post", message, wParam, lParam});
    }
    void LogMouse(UINT message, UINT nFlags, CPoint point)
    {
        Log(message, nFlags, MAKELPARAM(static_cast<WORD>(point.x), static_cast<WORD>(point.y)));
    }
    // The window still exists while it hears of its end.
    void OnDestroy() { Log(WM_DESTROY, static_cast<WPARAM>(IsWindowVisible())); }
    void OnNcDestroy()
    {
        Log(WM_NCDESTROY);
        CWnd::OnNcDestroy();
    }
    LRESULT OnUser(WPARAM wParam, LPARAM lParam)
    {
        Log(WM_USER, wParam, lParam);
        return 0;
    }
    BOOL OnQueryNewPalette()
    {
        Log(WM_QUERYNEWPALETTE);
        return FALSE;
    }
    void OnActivate(UINT nState, CWnd*, BOOL) { Log(WM_ACTIVATE, nState); }
    void OnMouseMove(UINT nFlags, CPoint point) { LogMouse(WM_MOUSEMOVE, nFlags, point); }
    void OnLButtonDown(UINT nFlags, CPoint point)
    {
        SetCapture();
        LogMouse(WM_LBUTTONDOWN, nFlags, point);
        Default();
    }
    void OnLButtonUp(UINT nFlags, CPoint point)
    {
        ReleaseCapture();
        LogMouse(WM_LBUTTONUP, nFlags, point);
        Default();
    }

    DECLARE_MESSAGE_MAP()

private:
    std::string m_name;
    std::vector<Seen>* m_log;
};

BEGIN_MESSAGE_MAP(CLogWnd, CWnd)
    ON_WM_DESTROY()
    ON_WM_NCDESTROY()
    ON_MESSAGE(WM_USER, OnUser)
    ON_WM_QUERYNEWPALETTE()
    ON_WM_ACTIVATE()
    ON_WM_MOUSEMOVE()
    ON_WM_LBUTTONDOWN()
    ON_WM_LBUTTONUP()
END_MESSAGE_MAP()

std::vector<std::string> Names(const std::vector<Seen>& log, UINT message)
{
    std::vector<std::string> names;
    for (const Seen& s : log)
        if (s.message == message)
            names.push_back(s.who);
    return names;
}

// Where the last mouse message went and what it carried.
void ExpectLast(const std::vector<Seen>& log, const char* who, UINT message, int x, int y,
                UINT flags)
{
    auto last = std::find_if(log.rbegin(), log.rend(), [](const Seen& s) {
        return s.message >= WM_MOUSEMOVE && s.message <= WM_LBUTTONUP;
    });
    ASSERT_NE(last, log.rend());
    EXPECT_EQ(std::make_tuple(last->who, last->message, GET_X_LPARAM(last->lParam),
                              GET_Y_LPARAM(last->lParam), last->wParam),
              std::make_tuple(std::string(who), message, x, y, WPARAM{flags}));
}

// Activation, the mouse and its capture, messages to descendants, and destruction, on one tree.
TEST(WindowLife, ActivationMouseCaptureDescendantsAndDestroyInTheirOrder)
{
    std::vector<Seen> log;
    CLogWnd top{"top", &log}, view{"view", &log};
    ASSERT_TRUE(uitest::MakeTop(top, 100, 150));
    ASSERT_EQ(uitest::ClientOf(top).Width(), 200); // as PreCreateWindow changed it
    ASSERT_TRUE(view.Create(nullptr, nullptr, WS_VISIBLE, CRect(50, 40, 75, 90), &top, 1));
    log.clear();

    // Activation asks the top-level window, and it alone, for its palette.
    WidgetOf(top)->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(WidgetOf(top)));
    PumpMessages();
    EXPECT_EQ(GetActiveWindow(), top.m_hWnd);
    ASSERT_EQ(log.size(), 2u);
    EXPECT_EQ(std::tie(log[0].who, log[0].message, log[0].wParam),
              std::make_tuple("top", WM_ACTIVATE, WPARAM{WA_ACTIVE}));
    EXPECT_EQ(std::tie(log[1].who, log[1].message), std::make_tuple("top", WM_QUERYNEWPALETTE));
    QWindow* window = WidgetOf(top)->windowHandle();

    // Pressed over the view: it hears, in its own coordinates, and takes the mouse.
    QTest::mousePress(window, Qt::LeftButton, {}, QPoint(70, 60));
    ExpectLast(log, "view", WM_LBUTTONDOWN, 20, 20, MK_LBUTTON);
    EXPECT_EQ(GetCapture(), view.m_hWnd);
    EXPECT_EQ(CWnd::GetCapture(), &view);

    // Over the parent on either side of the view, and outside the window.
    QTest::mouseMove(window, QPoint(190, 140));
    ExpectLast(log, "view", WM_MOUSEMOVE, 140, 100, MK_LBUTTON);
    QTest::mouseMove(window, QPoint(5, 3));
    ExpectLast(log, "view", WM_MOUSEMOVE, -45, -37, MK_LBUTTON);
    QTest::mouseMove(window, QPoint(260, 170));
    ExpectLast(log, "view", WM_MOUSEMOVE, 210, 130, MK_LBUTTON);

    QTest::mouseRelease(window, Qt::LeftButton, Qt::ShiftModifier, QPoint(250, 10));
    ExpectLast(log, "view", WM_LBUTTONUP, 200, -30, MK_SHIFT);
    EXPECT_EQ(GetCapture(), nullptr);
    const std::vector<std::string> movers = Names(log, WM_MOUSEMOVE);
    EXPECT_EQ(movers, std::vector<std::string>(movers.size(), "view"));

    // Released: the window under the mouse gets it again.
    QTest::mouseMove(window, QPoint(190, 140));
    ExpectLast(log, "top", WM_MOUSEMOVE, 190, 140, 0);

    // Messages for descendants reach every depth, even past a window its object let go of.
    CLogWnd a1{"a1", &log}, a2{"a2", &log}, b{"b", &log}, c{"c", &log};
    ASSERT_TRUE(a1.Create(nullptr, nullptr, WS_VISIBLE, CRect(0, 0, 10, 10), &view, 2));
    ASSERT_TRUE(a2.Create(nullptr, nullptr, WS_VISIBLE, CRect(0, 0, 10, 10), &a1, 3));
    ASSERT_TRUE(b.Create(nullptr, nullptr, WS_VISIBLE, CRect(0, 0, 10, 10), &top, 4));
    ASSERT_TRUE(c.Create(nullptr, nullptr, WS_VISIBLE, CRect(0, 0, 10, 10), &top, 5));
    log.clear();
    top.SendMessageToDescendants(WM_USER, 7, 9);
    EXPECT_EQ(Names(log, WM_USER), (std::vector<std::string>{"view", "a1", "a2", "b", "c"}));
    EXPECT_EQ(std::tie(log.back().wParam, log.back().lParam),
              std::make_tuple(WPARAM{7}, LPARAM{9}));
    a1.Detach();
    log.clear();
    top.SendMessageToDescendants(WM_USER, 0, 0);
    EXPECT_EQ(Names(log, WM_USER), (std::vector<std::string>{"view", "a2", "b", "c"}));

    // Capture ends with the window that holds it.
    ::SetCapture(c.m_hWnd);
    EXPECT_EQ(::SetCapture(top.m_hWnd), c.m_hWnd); // the previous holder
    c.DestroyWindow();
    EXPECT_EQ(GetCapture(), top.m_hWnd);

    // Close's default destroys the window: WM_DESTROY parent first, WM_NCDESTROY deepest first.
    const HWND topHandle = top.m_hWnd;
    log.clear();
    top.SendMessage(WM_CLOSE);
    EXPECT_EQ(Names(log, WM_DESTROY), (std::vector<std::string>{"top", "view", "a2", "b"}));
    EXPECT_EQ(Names(log, WM_NCDESTROY), (std::vector<std::string>{"a2", "view", "b", "top"}));
    EXPECT_EQ(Names(log, 0),
              (std::vector<std::string>{"a2 post", "view post", "b post", "top post"}));
    EXPECT_EQ(log.front().wParam, static_cast<WPARAM>(TRUE)); // still shown during WM_DESTROY
    EXPECT_EQ(a2.m_hWnd, nullptr);
    EXPECT_FALSE(IsWindow(topHandle));
    EXPECT_EQ(SendMessageA(topHandle, WM_USER, 0, 0), 0);
    EXPECT_EQ(GetCapture(), nullptr);
    PumpMessages(); // the widgets go
}

} // namespace
