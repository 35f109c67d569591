// Message maps: chaining, default processing, command routing, creation and
// destruction, delivery to descendants.

#include "UiTestSupport.h"

#include <gtest/gtest.h>

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
        ASSERT_TRUE(wnd.CreateEx(0, nullptr, "maps", WS_OVERLAPPEDWINDOW, CRect(0, 0, 120, 90),
                                 nullptr, 0));
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

// Logs creation and destruction; its creation can be refused.
class CLifeWnd : public CWnd
{
public:
    explicit CLifeWnd(std::string name, std::vector<Seen>* log, int createResult = 0)
        : m_name(std::move(name)), m_log(log), m_createResult(createResult)
    {
    }

    BOOL PreCreateWindow(CREATESTRUCT& cs) override
    {
        cs.cx *= 2; // the changed record is what the window is made from
        return m_allowCreate;
    }
    void PostNcDestroy() override { m_log->push_back({m_name + " post", 0, 0, 0}); }

    BOOL m_allowCreate = TRUE;
    CREATESTRUCT m_created{};

protected:
    int OnCreate(LPCREATESTRUCT cs)
    {
        m_created = *cs;
        m_log->push_back({m_name, WM_CREATE, 0, 0});
        return m_createResult;
    }
    void OnDestroy()
    {
        // The window still exists while it hears of its end.
        m_log->push_back({m_name, WM_DESTROY, static_cast<WPARAM>(IsWindowVisible()), 0});
    }
    void OnNcDestroy()
    {
        m_log->push_back({m_name, WM_NCDESTROY, 0, 0});
        CWnd::OnNcDestroy();
    }
    LRESULT OnUser(WPARAM wParam, LPARAM lParam)
    {
        m_log->push_back({m_name, WM_USER, wParam, lParam});
        return 0;
    }

    DECLARE_MESSAGE_MAP()

private:
    std::string m_name;
    std::vector<Seen>* m_log;
    int m_createResult;
};

BEGIN_MESSAGE_MAP(CLifeWnd, CWnd)
    ON_WM_CREATE()
    ON_WM_DESTROY()
    ON_WM_NCDESTROY()
    ON_MESSAGE(WM_USER, OnUser)
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
    CLifeWnd refused("refused", &log, -1);
    EXPECT_FALSE(
        refused.CreateEx(0, nullptr, "x", WS_OVERLAPPEDWINDOW, CRect(0, 0, 50, 50), nullptr, 0));
    EXPECT_EQ(refused.GetSafeHwnd(), nullptr);
    EXPECT_EQ(Names(log, WM_CREATE), std::vector<std::string>{"refused"});
    EXPECT_EQ(Names(log, WM_NCDESTROY), std::vector<std::string>{"refused"});

    CLifeWnd vetoed("vetoed", &log);
    vetoed.m_allowCreate = FALSE;
    EXPECT_FALSE(
        vetoed.CreateEx(0, nullptr, "x", WS_OVERLAPPEDWINDOW, CRect(0, 0, 50, 50), nullptr, 0));
    EXPECT_EQ(Names(log, WM_CREATE), std::vector<std::string>{"refused"});

    // A child's record: parent, id, the rectangle in the parent's client
    // area, as PreCreateWindow left it.
    CLifeWnd parent("parent", &log), child("child", &log);
    ASSERT_TRUE(
        parent.CreateEx(0, nullptr, "p", WS_OVERLAPPEDWINDOW, CRect(0, 0, 100, 100), nullptr, 0));
    ASSERT_TRUE(child.Create(nullptr, "c", WS_VISIBLE, CRect(5, 6, 25, 36), &parent, 77));
    EXPECT_EQ(child.m_created.hwndParent, parent.m_hWnd);
    EXPECT_EQ(child.m_created.cx, 40);
    EXPECT_EQ(child.GetDlgCtrlID(), 77);
    EXPECT_EQ(parent.GetDlgItem(77), &child);
    EXPECT_EQ(parent.GetDlgItem(78), nullptr);
    EXPECT_EQ(child.GetParent(), &parent);
    CRect client;
    child.GetClientRect(&client);
    EXPECT_EQ(client, CRect(0, 0, 40, 30));
    // A child is shown with its parent, not before.
    EXPECT_FALSE(child.IsWindowVisible());
    parent.ShowWindow(SW_SHOW);
    EXPECT_TRUE(child.IsWindowVisible());
}

TEST(WindowLife, DestroyGoesParentFirstThenDeepestFirst)
{
    std::vector<Seen> log;
    CLifeWnd top("top", &log), a("a", &log), a1("a1", &log), b("b", &log);
    ASSERT_TRUE(top.CreateEx(0, nullptr, "t", WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                             CRect(0, 0, 100, 100), nullptr, 0));
    ASSERT_TRUE(a.Create(nullptr, nullptr, WS_VISIBLE, CRect(0, 0, 40, 40), &top, 1));
    ASSERT_TRUE(a1.Create(nullptr, nullptr, WS_VISIBLE, CRect(0, 0, 10, 10), &a, 2));
    ASSERT_TRUE(b.Create(nullptr, nullptr, WS_VISIBLE, CRect(50, 0, 90, 40), &top, 3));
    const HWND topHandle = top.m_hWnd;

    // Close's default processing destroys the window.
    log.clear();
    top.SendMessage(WM_CLOSE);
    EXPECT_EQ(Names(log, WM_DESTROY), (std::vector<std::string>{"top", "a", "a1", "b"}));
    EXPECT_EQ(Names(log, WM_NCDESTROY), (std::vector<std::string>{"a1", "a", "b", "top"}));
    EXPECT_EQ(Names(log, 0), (std::vector<std::string>{"a1 post", "a post", "b post", "top post"}));
    EXPECT_EQ(log.front().wParam, static_cast<WPARAM>(TRUE)); // still shown during WM_DESTROY
    EXPECT_EQ(top.m_hWnd, nullptr);
    EXPECT_EQ(a1.m_hWnd, nullptr);
    EXPECT_FALSE(IsWindow(topHandle));
    EXPECT_EQ(SendMessageA(topHandle, WM_USER, 0, 0), 0);
    PumpMessages(); // the widgets go
}

TEST(WindowLife, SendMessageToDescendantsDeepOrShallow)
{
    std::vector<Seen> log;
    CLifeWnd top("top", &log), a("a", &log), a1("a1", &log), a2("a2", &log), b("b", &log);
    ASSERT_TRUE(
        top.CreateEx(0, nullptr, "t", WS_OVERLAPPEDWINDOW, CRect(0, 0, 100, 100), nullptr, 0));
    ASSERT_TRUE(a.Create(nullptr, nullptr, 0, CRect(0, 0, 40, 40), &top, 1));
    ASSERT_TRUE(a1.Create(nullptr, nullptr, 0, CRect(0, 0, 10, 10), &a, 2));
    ASSERT_TRUE(a2.Create(nullptr, nullptr, 0, CRect(0, 0, 10, 10), &a1, 3));
    ASSERT_TRUE(b.Create(nullptr, nullptr, 0, CRect(50, 0, 90, 40), &top, 4));

    log.clear();
    top.SendMessageToDescendants(WM_USER, 7, 9);
    EXPECT_EQ(Names(log, WM_USER), (std::vector<std::string>{"a", "a1", "a2", "b"}));
    EXPECT_EQ(log.back().wParam, 7u);
    EXPECT_EQ(log.back().lParam, 9);

    log.clear();
    top.SendMessageToDescendants(WM_USER, 0, 0, FALSE);
    EXPECT_EQ(Names(log, WM_USER), (std::vector<std::string>{"a", "b"}));

    // A window whose object let go of it still hears, through the default.
    a1.Detach();
    log.clear();
    top.SendMessageToDescendants(WM_USER, 0, 0);
    EXPECT_EQ(Names(log, WM_USER), (std::vector<std::string>{"a", "a2", "b"}));
}

} // namespace
