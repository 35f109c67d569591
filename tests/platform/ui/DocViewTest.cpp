// Documents and their views, and a scrolling view inside the program's frame: sizes, bars,
// keys, wheel, painting and activation.

#include "ui/DocView.h"

#include "UiTestSupport.h"
#include "resources/Resources.h"

#include <QApplication>
#include <QScrollBar>
#include <QTest>
#include <QWheelEvent>

#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

namespace {

std::vector<std::string> g_log;

// Handles Save.
class CTestDoc : public CDocument
{
protected:
    void OnFileSave() { g_log.push_back("doc save"); }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CTestDoc, CDocument)
    ON_COMMAND(ID_FILE_SAVE, OnFileSave)
END_MESSAGE_MAP()

// A picture of 50 x 50 tiles, each coloured by its place, so a pixel tells
// which part of the picture it shows.
COLORREF TileColour(int x, int y)
{
    return RGB(static_cast<BYTE>(x / 50 * 10), static_cast<BYTE>(y / 50 * 10), 200);
}

class CTestScrollView : public CScrollView
{
    DECLARE_DYNCREATE(CTestScrollView)

public:
    void OnActivateView(BOOL bActivate, CView* pActivateView, CView* pDeactiveView) override
    {
        g_log.push_back(bActivate ? "activate" : "deactivate");
        CScrollView::OnActivateView(bActivate, pActivateView, pDeactiveView);
    }
    int m_updates = 0;
    CRect m_lastPainted; // the last paint's clip box, in picture coordinates

protected:
    void OnDraw(CDC* pDC) override
    {
        pDC->GetClipBox(&m_lastPainted);
        for (int y = 0; y < 800; y += 50)
            for (int x = 0; x < 1000; x += 50)
                uitest::Fill(pDC->GetSafeHdc(), CRect(x, y, x + 50, y + 50), TileColour(x, y));
    }
    void OnUpdate(CView*, LPARAM, CObject*) override { ++m_updates; }
};

IMPLEMENT_DYNCREATE(CTestScrollView, CScrollView)

// ---- Documents ----------------------------------------------------------------------------

TEST(Document, ViewsComeAndGoWithoutDanglingEitherSide)
{
    auto doc = std::make_unique<CTestDoc>();
    CTestScrollView a, b;
    doc->AddView(&a);
    doc->AddView(&b);
    doc->AddView(&a); // already there: no second entry
    std::vector<CView*> seen;
    for (POSITION pos = doc->GetFirstViewPosition(); pos;)
        seen.push_back(doc->GetNextView(pos));
    EXPECT_EQ(seen, (std::vector<CView*>{&a, &b}));

    doc->UpdateAllViews(&a);
    EXPECT_EQ(a.m_updates, 0); // the sender knows already
    EXPECT_EQ(b.m_updates, 1);
    doc->UpdateAllViews(nullptr);
    EXPECT_EQ(a.m_updates, 1);

    {
        CTestScrollView gone;
        doc->AddView(&gone);
    }
    doc->UpdateAllViews(nullptr); // the destroyed view left the list
    EXPECT_EQ(b.m_updates, 3);

    doc.reset();
    EXPECT_EQ(a.GetDocument(), nullptr);
    EXPECT_EQ(b.GetDocument(), nullptr);
}

// ---- The scrolling view in a frame ---------------------------------------------------------

class ScrollView : public testing::Test
{
protected:
    void SetUp() override
    {
        g_log.clear();
        previous = AfxSetResourceProvider(&GetResourceProvider());
        frame = new CFrameWnd;
        CCreateContext context;
        context.m_pNewViewClass = RUNTIME_CLASS(CTestScrollView);
        context.m_pCurrentDoc = &doc;
        ASSERT_TRUE(frame->LoadFrame(IDR_MAINFRAME, WS_OVERLAPPEDWINDOW | FWS_ADDTOTITLE, nullptr,
                                     &context));
        view = dynamic_cast<CTestScrollView*>(frame->GetDlgItem(AFX_IDW_PANE_FIRST));
        ASSERT_NE(view, nullptr);
        frame->SetActiveView(view);
        WidgetOf(*frame)->resize(500, 400);
        frame->ShowWindow(SW_SHOW);
        PumpMessages();
        view->SetScrollSizes(MM_TEXT, CSize(1000, 800));
        PumpMessages();
        g_log.clear();
    }
    void TearDown() override
    {
        frame->DestroyWindow();
        AfxSetResourceProvider(previous);
    }

    CRect Client() const
    {
        CRect r;
        view->GetClientRect(&r);
        return r;
    }
    CSize Pane() const
    {
        const QSize s = WidgetOf(*view)->size();
        return CSize(s.width(), s.height());
    }
    CPoint Max() const { return CPoint(1000 - Client().Width(), 800 - Client().Height()); }
    void Key(Qt::Key key) { QTest::keyClick(WidgetOf(*view), key); }
    void Wheel(int delta)
    {
        QWidget* w = WidgetOf(*view);
        const QPointF at(10, 10);
        QWheelEvent event(at, w->mapToGlobal(at), QPoint(), QPoint(0, delta), Qt::NoButton,
                          Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(w, &event);
    }
    QScrollBar* Bar(Qt::Orientation o) const
    {
        for (auto* bar : WidgetOf(*view)->findChildren<QScrollBar*>())
            if (bar->orientation() == o)
                return bar;
        return nullptr;
    }
    // The bars' page and line steps: across, down, across, down.
    std::vector<int> Steps() const
    {
        return {Bar(Qt::Horizontal)->pageStep(), Bar(Qt::Vertical)->pageStep(),
                Bar(Qt::Horizontal)->singleStep(), Bar(Qt::Vertical)->singleStep()};
    }

    const ResourceProvider* previous = nullptr;
    CTestDoc doc;
    CFrameWnd* frame = nullptr;
    CTestScrollView* view = nullptr;
};

TEST_F(ScrollView, DefaultStepsAndBarsOutsideTheClientArea)
{
    ASSERT_LT(Pane().cx, 1000);
    EXPECT_TRUE(view->HasHorzScrollBar());
    EXPECT_TRUE(view->HasVertScrollBar());
    ASSERT_NE(Bar(Qt::Vertical), nullptr);
    EXPECT_TRUE(Bar(Qt::Vertical)->isVisible());
    // A page is a tenth of the total, a line a tenth of a page.
    EXPECT_EQ(Steps(), (std::vector<int>{100, 80, 10, 8}));
    EXPECT_EQ(Client().Width(), Pane().cx - Bar(Qt::Vertical)->width());
    EXPECT_EQ(Client().Height(), Pane().cy - Bar(Qt::Horizontal)->height());
    // The bars are not part of what a client context reads.
    EXPECT_EQ(uitest::ReadPixel(*view, Client().Width() + 1, 5), CLR_INVALID);

    // Given steps stay; a zero in one direction takes that direction's default.
    view->SetScrollSizes(MM_TEXT, CSize(1000, 800), CSize(0, 50), CSize(7, 0));
    EXPECT_EQ(Steps(), (std::vector<int>{100, 50, 7, 5}));
}

TEST_F(ScrollView, KeysWheelAndCallsMoveWithinTheRange)
{
    Key(Qt::Key_Down);
    Key(Qt::Key_Right);
    EXPECT_EQ(view->GetScrollPosition(), CPoint(10, 8));
    Key(Qt::Key_PageDown);
    EXPECT_EQ(view->GetScrollPosition(), CPoint(10, 88));
    Key(Qt::Key_End);
    EXPECT_EQ(view->GetScrollPosition(), CPoint(10, Max().y));
    Key(Qt::Key_Down); // already at the end
    EXPECT_EQ(view->GetScrollPosition(), CPoint(10, Max().y));
    Key(Qt::Key_Home);
    Key(Qt::Key_Left);
    Key(Qt::Key_Left);
    EXPECT_EQ(view->GetScrollPosition(), CPoint(0, 0));

    // One notch towards the user: the platform's number of lines down.
    Wheel(-WHEEL_DELTA);
    EXPECT_EQ(view->GetScrollPosition(), CPoint(0, 8 * QApplication::wheelScrollLines()));
    // Half notches add up rather than vanish.
    Wheel(WHEEL_DELTA / 2);
    Wheel(WHEEL_DELTA / 2);
    EXPECT_EQ(view->GetScrollPosition(), CPoint(0, 0));

    view->ScrollToPosition(CPoint(-5, 99999));
    EXPECT_EQ(view->GetScrollPosition(), CPoint(0, Max().y));
    EXPECT_EQ(Bar(Qt::Vertical)->value(), Max().y);
    // Dragging a bar scrolls the view.
    Bar(Qt::Horizontal)->setValue(40);
    EXPECT_EQ(view->GetScrollPosition(), CPoint(40, Max().y));
}

TEST_F(ScrollView, PaintingFollowsThePositionAndClientReadsMatchTheScreen)
{
    EXPECT_EQ(uitest::ReadPixel(*view, 60, 10), TileColour(60, 10));
    view->ScrollToPosition(CPoint(130, 70));
    PumpMessages(); // painted when the loop runs
    // A client context has no scroll offset.
    EXPECT_EQ(uitest::ReadPixel(*view, 0, 0), TileColour(130, 70));
    EXPECT_EQ(uitest::ReadPixel(*view, 25, 35), TileColour(155, 105));
    EXPECT_EQ(uitest::ScreenPixel(*view, 25, 35), TileColour(155, 105));

    // Growing the window past the picture drops the bars and scrolls back.
    WidgetOf(*frame)->resize(1400, 1200);
    PumpMessages();
    ASSERT_GE(Pane().cx, 1000);
    ASSERT_GE(Pane().cy, 800);
    EXPECT_FALSE(view->HasHorzScrollBar());
    EXPECT_FALSE(view->HasVertScrollBar());
    EXPECT_EQ(view->GetScrollPosition(), CPoint(0, 0));
    EXPECT_EQ(Client().Size(), Pane());
    EXPECT_EQ(uitest::ReadPixel(*view, 999, 799), TileColour(999, 799));
    EXPECT_EQ(uitest::ReadPixel(*view, 1000, 5), RGB(255, 255, 255)); // the background
}

// A scroll moves what is already shown; the next paint draws only the strip
// it uncovered.
TEST_F(ScrollView, ScrollingDrawsOnlyTheUncoveredStrip)
{
    const CRect client = Client();
    view->ScrollToPosition(CPoint(0, 30));
    view->UpdateWindow();
    EXPECT_EQ(view->m_lastPainted, CRect(0, client.Height(), client.Width(), client.Height() + 30));
    view->ScrollToPosition(CPoint(20, 30));
    view->UpdateWindow();
    EXPECT_EQ(view->m_lastPainted,
              CRect(client.Width(), 30, client.Width() + 20, client.Height() + 30));
    view->ScrollToPosition(CPoint(20, 10));
    view->UpdateWindow();
    EXPECT_EQ(view->m_lastPainted, CRect(20, 10, client.Width() + 20, 30));
    // Moved and fresh pixels alike show the picture at the new position.
    for (const CPoint p : {CPoint(0, 0), CPoint(client.Width() - 1, client.Height() - 1),
                           CPoint(client.Width() / 2, 5), CPoint(3, client.Height() / 2)})
        EXPECT_EQ(uitest::ReadPixel(*view, p.x, p.y), TileColour(p.x + 20, p.y + 10)) << p.x;
}

TEST_F(ScrollView, BarsAppearOnlyForWhatDoesNotFit)
{
    view->SetScrollSizes(MM_TEXT, CSize(-15, INT_MIN));
    EXPECT_FALSE(view->HasHorzScrollBar());
    EXPECT_FALSE(view->HasVertScrollBar());
    EXPECT_EQ(Client().Size(), Pane());
    Key(Qt::Key_PageDown);
    Wheel(-WHEEL_DELTA);
    EXPECT_EQ(view->GetScrollPosition(), CPoint(0, 0));
    EXPECT_EQ(view->GetTotalSize(), CSize(-15, INT_MIN)); // kept as given

    // Too wide, and just too tall once the horizontal bar takes its strip.
    const int barHeight = Bar(Qt::Horizontal)->sizeHint().height();
    view->SetScrollSizes(MM_TEXT, CSize(Pane().cx + 100, Pane().cy - barHeight / 2));
    EXPECT_TRUE(view->HasHorzScrollBar());
    EXPECT_TRUE(view->HasVertScrollBar());
    // The same width with a short picture needs only the one bar.
    view->SetScrollSizes(MM_TEXT, CSize(Pane().cx + 100, 10));
    EXPECT_TRUE(view->HasHorzScrollBar());
    EXPECT_FALSE(view->HasVertScrollBar());
    Key(Qt::Key_End); // with nothing to scroll vertically, End goes right
    EXPECT_EQ(view->GetScrollPosition(), CPoint(Pane().cx + 100 - Client().Width(), 0));
}

TEST_F(ScrollView, ActivationAndCommandsFollowTheViewInUse)
{
    EXPECT_EQ(view->GetDocument(), &doc);
    EXPECT_EQ(frame->GetActiveDocument(), &doc);
    frame->SendMessage(WM_COMMAND, ID_FILE_SAVE, 0); // through the view to its document
    EXPECT_EQ(g_log, std::vector<std::string>{"doc save"});
    g_log.clear();

    // A second view taking over: the first hears it lost, the second that it won.
    auto* other = new CTestScrollView;
    CCreateContext context;
    context.m_pCurrentDoc = &doc;
    ASSERT_TRUE(
        other->Create(nullptr, nullptr, WS_VISIBLE, CRect(0, 0, 50, 50), frame, 1, &context));
    frame->SetActiveView(other);
    EXPECT_EQ(g_log, (std::vector<std::string>{"deactivate", "activate"}));
    EXPECT_EQ(frame->GetActiveView(), other);
    // A click brings the first one back.
    QTest::mouseClick(WidgetOf(*view), Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_EQ(frame->GetActiveView(), view);
    other->DestroyWindow(); // and the object with it
}

} // namespace
