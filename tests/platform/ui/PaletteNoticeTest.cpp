// The palette notice: a foreground realisation on a window's context that
// changes the system palette is announced to every top-level window; and
// activation asks the window for its palette.

#include "PaletteRecord.h"
#include "UiTestSupport.h"

#include <QApplication>
#include <QTest>

#include <gtest/gtest.h>

#include <vector>

using uitest::Seen;

namespace {

// A palette of `count` colours that no other test realises: `salt` keeps
// them apart.
HPALETTE MakeOddPalette(int count, BYTE salt)
{
    return MakePalette(count, [salt](int i) {
        return PALETTEENTRY{static_cast<BYTE>(11 + i), salt, 77, 0};
    });
}

class CPaletteWnd : public CWnd
{
public:
    CPaletteWnd(std::vector<Seen>* log, const char* name) : m_log(log), m_name(name) {}

protected:
    void OnPaletteChanged(CWnd* pFocusWnd)
    {
        m_log->push_back(
            {m_name, WM_PALETTECHANGED, reinterpret_cast<WPARAM>(pFocusWnd->GetSafeHwnd()), 0});
    }
    BOOL OnQueryNewPalette()
    {
        m_log->push_back({m_name, WM_QUERYNEWPALETTE, 0, 0});
        return FALSE;
    }
    void OnActivate(UINT nState, CWnd*, BOOL)
    {
        m_log->push_back({m_name, WM_ACTIVATE, nState, 0});
    }

    DECLARE_MESSAGE_MAP()

private:
    std::vector<Seen>* m_log;
    const char* m_name;
};

BEGIN_MESSAGE_MAP(CPaletteWnd, CWnd)
    ON_WM_PALETTECHANGED()
    ON_WM_QUERYNEWPALETTE()
    ON_WM_ACTIVATE()
END_MESSAGE_MAP()

TEST(PaletteNotice, EveryTopLevelWindowHearsWhichWindowChangedThePalette)
{
    std::vector<Seen> log;
    CPaletteWnd frame(&log, "frame"), view(&log, "view"), other(&log, "other");
    ASSERT_TRUE(
        frame.CreateEx(0, nullptr, "frame", WS_OVERLAPPEDWINDOW, CRect(0, 0, 80, 60), nullptr, 0));
    ASSERT_TRUE(view.Create(nullptr, nullptr, WS_VISIBLE, CRect(0, 0, 40, 40), &frame, 1));
    ASSERT_TRUE(
        other.CreateEx(0, nullptr, "other", WS_OVERLAPPEDWINDOW, CRect(0, 0, 80, 60), nullptr, 0));
    const HPALETTE palette = MakeOddPalette(7, 202);

    CDC* dc = view.GetDC();
    CPalette* wrapper = CPalette::FromHandle(palette);
    CPalette* old = dc->SelectPalette(wrapper, TRUE);
    EXPECT_EQ(dc->RealizePalette(), 0u); // in the background: maps nothing, says nothing
    EXPECT_TRUE(log.empty());
    dc->SelectPalette(wrapper, FALSE);
    EXPECT_EQ(dc->RealizePalette(), 7u);
    // Sent at once, to the top-level windows only, naming the view.
    ASSERT_EQ(log.size(), 2u);
    for (const Seen& s : log) {
        EXPECT_NE(s.who, "view");
        EXPECT_EQ(s.message, WM_PALETTECHANGED);
        EXPECT_EQ(s.wParam, reinterpret_cast<WPARAM>(view.m_hWnd));
    }

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
    CPaletteWnd frame(&log, "frame"), view(&log, "view");
    ASSERT_TRUE(frame.CreateEx(0, nullptr, "frame", WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                               CRect(0, 0, 80, 60), nullptr, 0));
    ASSERT_TRUE(view.Create(nullptr, nullptr, WS_VISIBLE, CRect(0, 0, 40, 40), &frame, 1));
    QWidget* widget = WidgetOf(frame);
    widget->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(widget));
    PumpMessages();
    EXPECT_EQ(GetActiveWindow(), frame.m_hWnd);
    ASSERT_EQ(log.size(), 2u);
    EXPECT_EQ(log[0].who, "frame");
    EXPECT_EQ(log[0].message, WM_ACTIVATE);
    EXPECT_EQ(log[0].wParam, WA_ACTIVE);
    EXPECT_EQ(log[1].who, "frame");
    EXPECT_EQ(log[1].message, WM_QUERYNEWPALETTE);
}

} // namespace
