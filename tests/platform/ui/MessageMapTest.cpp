// Message maps: chaining, default processing, command routing; windows'
// creation and destruction, delivery to descendants; mouse input and capture;
// and the palette notice.

#include "PaletteRecord.h"
#include "UiTestSupport.h"

#include <QTest>
#include <QWindow>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

using uitest::Seen;

namespace {

constexpr UINT ID_OPEN = 200;
constexpr UINT ID_ENLARGE = 201;
constexpr UINT ID_SHRINK = 202;
constexpr UINT ID_RECENT_FIRST = 210;
constexpr UINT ID_RECENT_LAST = 213;
constexpr UINT ID_DOC_ONLY = 220;
constexpr UINT ID_NOBODY = 299;

std::vector<std::string> g_calls;

class CBaseWnd : public CWnd
{
protected:
    void OnSize(UINT nType, int cx, int cy)
    {
        g_calls.push_back("base size " + std::to_string(nType) + " " + std::to_string(cx) + "x" +
                          std::to_string(cy));
    }
    void OnPaletteChanged(CWnd*) { g_calls.push_back("base palette"); }
    void OnOpen() { g_calls.push_back("base open"); }

    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CBaseWnd, CWnd)
    ON_WM_SIZE()
    ON_WM_PALETTECHANGED()
    ON_COMMAND(ID_OPEN, OnOpen)
END_MESSAGE_MAP()

class CDerivedWnd : public CBaseWnd
{
public:
    CWnd* m_pFocusSeen = nullptr;

protected:
    void OnPaletteChanged(CWnd* pFocusWnd)
    {
        m_pFocusSeen = pFocusWnd;
        g_calls.push_back("derived palette");
    }
    BOOL OnQueryNewPalette() { return 42; }
    LRESULT OnSetText(WPARAM, LPARAM lParam)
    {
        g_calls.push_back(std::string("set text ") + reinterpret_cast<LPCSTR>(lParam));
        return Default(); // the text is still stored
    }
    void OnEnlarge() { g_calls.push_back("enlarge"); }
    void OnShrink() { g_calls.push_back("shrink"); }
    void OnUpdateShrink(CCmdUI* pCmdUI) { pCmdUI->Enable(FALSE); }
    void OnRecent(UINT nID) { g_calls.push_back("recent " + std::to_string(nID)); }

    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CDerivedWnd, CBaseWnd)
    ON_WM_PALETTECHANGED()
    ON_WM_QUERYNEWPALETTE()
    ON_MESSAGE(WM_SETTEXT, OnSetText)
    ON_COMMAND(ID_ENLARGE, OnEnlarge)
    ON_COMMAND(ID_SHRINK, OnShrink)
    ON_UPDATE_COMMAND_UI(ID_SHRINK, OnUpdateShrink)
    ON_COMMAND_RANGE(ID_RECENT_FIRST, ID_RECENT_LAST, OnRecent)
END_MESSAGE_MAP()

// A target that is not a window, reached by a window that routes to it.
class CDocTarget : public CCmdTarget
{
public:
    void OnDocOnly() { g_calls.push_back("doc"); }
    void OnUpdateOpen(CCmdUI* pCmdUI) { pCmdUI->SetCheck(1); }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CDocTarget, CCmdTarget)
    ON_COMMAND(ID_DOC_ONLY, OnDocOnly)
    ON_UPDATE_COMMAND_UI(ID_OPEN, OnUpdateOpen)
END_MESSAGE_MAP()

class CRoutingWnd : public CDerivedWnd
{
public:
    CDocTarget m_doc;
    BOOL OnCmdMsg(UINT nID, int nCode, void* pExtra) override
    {
        return CDerivedWnd::OnCmdMsg(nID, nCode, pExtra) || m_doc.OnCmdMsg(nID, nCode, pExtra);
    }
};

class MessageMap : public testing::Test
{
protected:
    void SetUp() override
    {
        g_calls.clear();
        ASSERT_TRUE(uitest::MakeTop(wnd, 120, 90, 0));
        g_calls.clear(); // the WM_SIZE of creation
    }
    CRoutingWnd wnd;
};

TEST_F(MessageMap, DerivedHandlerWinsUnhandledReachesBaseThenDefault)
{
    wnd.SendMessage(WM_PALETTECHANGED, reinterpret_cast<WPARAM>(wnd.m_hWnd));
    EXPECT_EQ(g_calls, std::vector<std::string>{"derived palette"});
    EXPECT_EQ(wnd.m_pFocusSeen, &wnd);

    // WM_SIZE has no entry in the derived map: the base's handler takes it.
    g_calls.clear();
    SendMessageA(wnd, WM_SIZE, SIZE_MAXIMIZED, MAKELPARAM(300, 200));
    EXPECT_EQ(g_calls, std::vector<std::string>{"base size 2 300x200"});

    // The handler's result comes back from the send.
    EXPECT_EQ(wnd.SendMessage(WM_QUERYNEWPALETTE), 42);

    // A handler passing on with Default gets the default processing of its
    // own message; messages with no entry anywhere get it directly.
    g_calls.clear();
    wnd.SetWindowTextA("RGB(1, 2, 3)");
    EXPECT_EQ(g_calls, std::vector<std::string>{"set text RGB(1, 2, 3)"});
    CString text;
    wnd.GetWindowText(text);
    EXPECT_EQ(text, "RGB(1, 2, 3)");
    char small[4];
    EXPECT_EQ(wnd.GetWindowText(small, sizeof small), 3);
    EXPECT_STREQ(small, "RGB");
}

TEST_F(MessageMap, CommandsRouteAlongTheChainAndTheOverriddenRoute)
{
    wnd.SendMessage(WM_COMMAND, ID_OPEN);                   // base map
    wnd.SendMessage(WM_COMMAND, MAKEWPARAM(ID_ENLARGE, 1)); // accelerator
    wnd.SendMessage(WM_COMMAND, ID_RECENT_FIRST + 2);       // a range
    wnd.SendMessage(WM_COMMAND, ID_DOC_ONLY);               // routed to the document
    wnd.SendMessage(WM_COMMAND, ID_NOBODY);                 // nobody
    wnd.SendMessage(WM_COMMAND, ID_SHRINK);                 // handled but disabled
    EXPECT_EQ(g_calls, (std::vector<std::string>{"base open", "enlarge", "recent 212", "doc"}));

    // Asking who handles a command finds the handler without running it.
    g_calls.clear();
    EXPECT_TRUE(wnd.IsCommandHandled(ID_OPEN));
    EXPECT_TRUE(wnd.IsCommandHandled(ID_RECENT_LAST));
    EXPECT_TRUE(wnd.IsCommandHandled(ID_DOC_ONLY));
    EXPECT_FALSE(wnd.IsCommandHandled(ID_RECENT_LAST + 1));
    EXPECT_FALSE(wnd.IsCommandHandled(ID_NOBODY));
    EXPECT_FALSE(wnd.m_doc.IsCommandHandled(ID_OPEN)); // the document alone has no handler
    EXPECT_TRUE(g_calls.empty());
}

// Logs what it hears; its creation can be refused. Captures the mouse while
// the left button is down, as a view tracking a drag does.
class CLogWnd : public CWnd
{
public:
    explicit CLogWnd(std::string name, std::vector<Seen>* log, int createResult = 0)
        : m_name(std::move(name)), m_log(log), m_createResult(createResult)
    {
    }

    BOOL PreCreateWindow(CREATESTRUCT& cs) override
    {
        cs.cx *= 2; // the changed record is what the window is made from
        return m_allowCreate;
    }
    void PostNcDestroy() override { Log(0); }

    BOOL m_allowCreate = TRUE;
    CREATESTRUCT m_created{};

protected:
    void Log(UINT message, WPARAM wParam = 0, LPARAM lParam = 0)
    {
        m_log->push_back({message ? m_name : m_name + " post", message, wParam, lParam});
    }
    void LogMouse(UINT message, UINT nFlags, CPoint point)
    {
        Log(message, nFlags, MAKELPARAM(static_cast<WORD>(point.x), static_cast<WORD>(point.y)));
    }
    int OnCreate(LPCREATESTRUCT cs)
    {
        m_created = *cs;
        Log(WM_CREATE);
        return m_createResult;
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
    void OnPaletteChanged(CWnd* pFocusWnd)
    {
        Log(WM_PALETTECHANGED, reinterpret_cast<WPARAM>(pFocusWnd->GetSafeHwnd()));
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
    int m_createResult;
};

BEGIN_MESSAGE_MAP(CLogWnd, CWnd)
    ON_WM_CREATE()
    ON_WM_DESTROY()
    ON_WM_NCDESTROY()
    ON_MESSAGE(WM_USER, OnUser)
    ON_WM_PALETTECHANGED()
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

TEST(WindowLife, CreateMinusOneAbandonsTheWindow)
{
    std::vector<Seen> log;
    CLogWnd refused("refused", &log, -1);
    EXPECT_FALSE(uitest::MakeTop(refused, 50, 50, 0));
    EXPECT_EQ(refused.GetSafeHwnd(), nullptr);
    EXPECT_EQ(Names(log, WM_CREATE), std::vector<std::string>{"refused"});
    EXPECT_EQ(Names(log, WM_NCDESTROY), std::vector<std::string>{"refused"});

    CLogWnd vetoed("vetoed", &log);
    vetoed.m_allowCreate = FALSE;
    EXPECT_FALSE(uitest::MakeTop(vetoed, 50, 50, 0));
    EXPECT_EQ(Names(log, WM_CREATE), std::vector<std::string>{"refused"});

    // A child's record: parent, id, the rectangle in the parent's client
    // area, as PreCreateWindow left it.
    CLogWnd parent("parent", &log), child("child", &log);
    ASSERT_TRUE(uitest::MakeTop(parent, 100, 100, 0));
    ASSERT_TRUE(child.Create(nullptr, "c", WS_VISIBLE, CRect(5, 6, 25, 36), &parent, 77));
    EXPECT_EQ(child.m_created.hwndParent, parent.m_hWnd);
    EXPECT_EQ(child.GetDlgCtrlID(), 77);
    EXPECT_EQ(parent.GetDlgItem(77), &child);
    EXPECT_EQ(parent.GetDlgItem(78), nullptr);
    EXPECT_EQ(uitest::ClientOf(child), CRect(0, 0, 40, 30));
    // A child is shown with its parent, not before.
    EXPECT_FALSE(child.IsWindowVisible());
    parent.ShowWindow(SW_SHOW);
    EXPECT_TRUE(child.IsWindowVisible());
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

TEST(WindowLife, DestroyGoesParentFirstThenDeepestFirst)
{
    Tree tree(WS_VISIBLE);
    const HWND topHandle = tree.top.m_hWnd;
    // Close's default processing destroys the window.
    tree.top.SendMessage(WM_CLOSE);
    const std::vector<Seen>& log = tree.log;
    EXPECT_EQ(Names(log, WM_DESTROY), (std::vector<std::string>{"top", "a", "a1", "b"}));
    EXPECT_EQ(Names(log, WM_NCDESTROY), (std::vector<std::string>{"a1", "a", "b", "top"}));
    EXPECT_EQ(Names(log, 0), (std::vector<std::string>{"a1 post", "a post", "b post", "top post"}));
    EXPECT_EQ(log.front().wParam, static_cast<WPARAM>(TRUE)); // still shown during WM_DESTROY
    EXPECT_EQ(tree.a1.m_hWnd, nullptr);
    EXPECT_FALSE(IsWindow(topHandle));
    EXPECT_EQ(SendMessageA(topHandle, WM_USER, 0, 0), 0);
    PumpMessages(); // the widgets go
}

TEST(WindowLife, SendMessageToDescendantsDeepOrShallow)
{
    Tree tree(0);
    CLogWnd a2("a2", &tree.log);
    ASSERT_TRUE(a2.Create(nullptr, nullptr, 0, CRect(0, 0, 10, 10), &tree.a1, 4));
    tree.top.SendMessageToDescendants(WM_USER, 7, 9);
    EXPECT_EQ(Names(tree.log, WM_USER), (std::vector<std::string>{"a", "a1", "a2", "b"}));
    EXPECT_EQ(tree.log.back().wParam, 7u);
    EXPECT_EQ(tree.log.back().lParam, 9);

    tree.log.clear();
    tree.top.SendMessageToDescendants(WM_USER, 0, 0, FALSE);
    EXPECT_EQ(Names(tree.log, WM_USER), (std::vector<std::string>{"a", "b"}));

    // A window whose object let go of it still hears, through the default.
    tree.a1.Detach();
    tree.log.clear();
    tree.top.SendMessageToDescendants(WM_USER, 0, 0);
    EXPECT_EQ(Names(tree.log, WM_USER), (std::vector<std::string>{"a", "a2", "b"}));
}

// ---- Mouse input and capture ---------------------------------------------------------------

class Input : public testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(uitest::MakeTop(top, 100, 150)); // 200 wide once PreCreateWindow doubles it
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
        EXPECT_EQ(last->who, who);
        EXPECT_EQ(last->message, message);
        EXPECT_EQ(GET_X_LPARAM(last->lParam), x);
        EXPECT_EQ(GET_Y_LPARAM(last->lParam), y);
        EXPECT_EQ(last->wParam, flags);
    }

    std::vector<Seen> log;
    CLogWnd top{"top", &log};
    CLogWnd view{"view", &log};
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
    const std::vector<std::string> movers = Names(log, WM_MOUSEMOVE);
    EXPECT_EQ(movers, std::vector<std::string>(movers.size(), "view"));

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

// ---- The palette notice ----------------------------------------------------------------------

// A palette of `count` colours that no other test realises: `salt` keeps them apart.
HPALETTE MakeOddPalette(int count, BYTE salt)
{
    return MakePalette(count, [salt](int i) {
        return PALETTEENTRY{static_cast<BYTE>(11 + i), salt, 77, 0};
    });
}

// A foreground realisation on a window's context that changes the system
// palette is announced to every top-level window, naming the window.
TEST(PaletteNotice, EveryTopLevelWindowHearsWhichWindowChangedThePalette)
{
    std::vector<Seen> log;
    CLogWnd frame("frame", &log), view("view", &log), other("other", &log);
    ASSERT_TRUE(uitest::MakeTop(frame, 40, 60, 0));
    ASSERT_TRUE(view.Create(nullptr, nullptr, WS_VISIBLE, CRect(0, 0, 20, 40), &frame, 1));
    ASSERT_TRUE(uitest::MakeTop(other, 40, 60, 0));
    const HPALETTE palette = MakeOddPalette(7, 202);
    log.clear();

    CDC* dc = view.GetDC();
    CPalette* wrapper = CPalette::FromHandle(palette);
    CPalette* old = dc->SelectPalette(wrapper, TRUE);
    EXPECT_EQ(dc->RealizePalette(), 0u); // in the background: maps nothing, says nothing
    EXPECT_TRUE(log.empty());
    dc->SelectPalette(wrapper, FALSE);
    EXPECT_EQ(dc->RealizePalette(), 7u);
    // Sent at once, to the top-level windows only, naming the view.
    std::vector<std::string> told = Names(log, WM_PALETTECHANGED);
    std::sort(told.begin(), told.end());
    EXPECT_EQ(told, (std::vector<std::string>{"frame", "other"}));
    ASSERT_EQ(log.size(), 2u);
    for (const Seen& s : log)
        EXPECT_EQ(s.wParam, reinterpret_cast<WPARAM>(view.m_hWnd));

    // Nothing new mapped, nothing to say.
    log.clear();
    EXPECT_EQ(dc->RealizePalette(), 0u);
    dc->SelectPalette(old, FALSE);
    view.ReleaseDC(dc);
    EXPECT_TRUE(log.empty());

    // A context that is no window's changes no screen.
    const HPALETTE offscreen = MakeOddPalette(3, 203);
    CSurface surface(2, 2);
    CSurfaceDC memory(&surface);
    memory.SelectPalette(CPalette::FromHandle(offscreen), FALSE);
    EXPECT_EQ(memory.RealizePalette(), 3u);
    memory.SelectPalette(old, FALSE);
    EXPECT_TRUE(log.empty());
    DeleteObject(palette);
    DeleteObject(offscreen);
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
