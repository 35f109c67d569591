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

// A top-level window with a child that has a child of its own, and a second child.
struct Tree
{
    explicit Tree(DWORD style)
    {
        EXPECT_TRUE(uitest::MakeTop(top, 100, 100, style));
        EXPECT_TRUE(a.Create(nullptr, nullptr, style, CRect(0, 0, 40, 40), &top, 1));
        EXPECT_TRUE(a1.Create(nullptr, nullptr, style, CRect(0, 0, 10, 10), &a, 2));
        EXPECT_TRUE(b.Create(nullptr, nullptr, style, CRect(50, 0, 90, 40), &top, 3));
        log.clear();
    }
    std::vector<Seen> log;
    CLogWnd top{"top", &log}, a{"a", &log}, a1{"a1", &log}, b{"b", &log};
};

TEST(WindowLife, DescendantsHearAtEveryDepthAndDestroyGoesParentFirstThenDeepestFirst)
{
    Tree tree(WS_VISIBLE);
    CLogWnd a2("a2", &tree.log);
    ASSERT_TRUE(a2.Create(nullptr, nullptr, WS_VISIBLE, CRect(0, 0, 10, 10), &tree.a1, 4));
    tree.top.SendMessageToDescendants(WM_USER, 7, 9);
    EXPECT_EQ(Names(tree.log, WM_USER), (std::vector<std::string>{"a", "a1", "a2", "b"}));
    EXPECT_EQ(tree.log.back().wParam, 7u);
    EXPECT_EQ(tree.log.back().lParam, 9);

    // A window whose object let go of it still hears, through the default.
    tree.a1.Detach();
    tree.log.clear();
    tree.top.SendMessageToDescendants(WM_USER, 0, 0);
    EXPECT_EQ(Names(tree.log, WM_USER), (std::vector<std::string>{"a", "a2", "b"}));

    const HWND topHandle = tree.top.m_hWnd;
    tree.log.clear();
    // Close's default processing destroys the window.
    tree.top.SendMessage(WM_CLOSE);
    const std::vector<Seen>& log = tree.log;
    EXPECT_EQ(Names(log, WM_DESTROY), (std::vector<std::string>{"top", "a", "a2", "b"}));
    EXPECT_EQ(Names(log, WM_NCDESTROY), (std::vector<std::string>{"a2", "a", "b", "top"}));
    EXPECT_EQ(Names(log, 0), (std::vector<std::string>{"a2 post", "a post", "b post", "top post"}));
    EXPECT_EQ(log.front().wParam, static_cast<WPARAM>(TRUE)); // still shown during WM_DESTROY
    EXPECT_EQ(a2.m_hWnd, nullptr);
    EXPECT_FALSE(IsWindow(topHandle));
    EXPECT_EQ(SendMessageA(topHandle, WM_USER, 0, 0), 0);
    PumpMessages(); // the widgets go
}

class Input : public testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(uitest::MakeTop(top, 100, 150));
        ASSERT_EQ(uitest::ClientOf(top).Width(), 200); // as PreCreateWindow changed it
        ASSERT_TRUE(view.Create(nullptr, nullptr, WS_VISIBLE, CRect(50, 40, 75, 90), &top, 1));
        PumpMessages();
        window = WidgetOf(top)->windowHandle();
        ASSERT_NE(window, nullptr);
        log.clear();
    }

    // Where the last mouse message went and what it carried.
    void ExpectLast(const char* who, UINT message, int x, int y, UINT flags)
    {
        auto last = std::find_if(log.rbegin(), log.rend(), [](const Seen& s) {
            return s.message >= WM_MOUSEMOVE && s.message <= WM_LBUTTONUP;
        });
        ASSERT_NE(last, log.rend());
        EXPECT_EQ(std::make_tuple(last->who, last->message, GET_X_LPARAM(last->lParam),
                                  GET_Y_LPARAM(last->lParam), last->wParam),
                  std::make_tuple(std::string(who), message, x, y, WPARAM{flags}));
    }

    std::vector<Seen> log;
    CLogWnd top{"top", &log};
    CLogWnd view{"view", &log};
    QWindow* window = nullptr;
};

TEST_F(Input, CapturedMouseReachesTheWindowWhereverItIsUntilReleasedOrDestroyed)
{
    // Pressed over the view: it hears, in its own coordinates, and takes the mouse.
    QTest::mousePress(window, Qt::LeftButton, {}, QPoint(70, 60));
    ExpectLast("view", WM_LBUTTONDOWN, 20, 20, MK_LBUTTON);
    EXPECT_EQ(GetCapture(), view.m_hWnd);
    EXPECT_EQ(CWnd::GetCapture(), &view);

    // Over the parent on either side of the view, and outside the window.
    QTest::mouseMove(window, QPoint(190, 140));
    ExpectLast("view", WM_MOUSEMOVE, 140, 100, MK_LBUTTON);
    QTest::mouseMove(window, QPoint(5, 3));
    ExpectLast("view", WM_MOUSEMOVE, -45, -37, MK_LBUTTON);
    QTest::mouseMove(window, QPoint(260, 170));
    ExpectLast("view", WM_MOUSEMOVE, 210, 130, MK_LBUTTON);

    QTest::mouseRelease(window, Qt::LeftButton, Qt::ShiftModifier, QPoint(250, 10));
    ExpectLast("view", WM_LBUTTONUP, 200, -30, MK_SHIFT);
    EXPECT_EQ(GetCapture(), nullptr);
    const std::vector<std::string> movers = Names(log, WM_MOUSEMOVE);
    EXPECT_EQ(movers, std::vector<std::string>(movers.size(), "view"));

    // Released: the window under the mouse gets it again.
    QTest::mouseMove(window, QPoint(190, 140));
    ExpectLast("top", WM_MOUSEMOVE, 190, 140, 0);

    // Capture ends with the window that holds it.
    ::SetCapture(view.m_hWnd);
    EXPECT_EQ(::SetCapture(top.m_hWnd), view.m_hWnd); // the previous holder
    view.DestroyWindow();
    EXPECT_EQ(GetCapture(), top.m_hWnd);
    top.DestroyWindow();
    EXPECT_EQ(GetCapture(), nullptr);
    PumpMessages();
}

TEST(PaletteNotice, ActivationAsksTheTopLevelWindowForItsPalette)
{
    std::vector<Seen> log;
    CLogWnd frame("frame", &log), view("view", &log);
    ASSERT_TRUE(uitest::MakeTop(frame, 40, 60));
    ASSERT_TRUE(view.Create(nullptr, nullptr, WS_VISIBLE, CRect(0, 0, 20, 40), &frame, 1));
    log.clear();
    QWidget* widget = WidgetOf(frame);
    widget->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(widget));
    PumpMessages();
    EXPECT_EQ(GetActiveWindow(), frame.m_hWnd);
    EXPECT_EQ(Names(log, WM_ACTIVATE), std::vector<std::string>{"frame"});
    ASSERT_EQ(log.size(), 2u);
    EXPECT_EQ(log[0].wParam, WA_ACTIVE);
    EXPECT_EQ(log[1].who, "frame");
    EXPECT_EQ(log[1].message, WM_QUERYNEWPALETTE);
}

} // namespace
