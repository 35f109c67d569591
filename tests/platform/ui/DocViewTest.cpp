// Documents opened from real files, their views, and a scrolling view inside
// the program's frame: sizes, bars, keys, wheel, painting and command routes.

#include "ui/DocView.h"

#include "UiTestSupport.h"
#include "resources/Resources.h"
#include "ui/WinApp.h"

#include <QApplication>
#include <QScrollBar>
#include <QTest>
#include <QWheelEvent>

#include <gtest/gtest.h>

#include <climits>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

std::vector<std::string> g_log;

// Reads the first bytes of its file directly, as the program's document does.
class CTestDoc : public CDocument
{
    DECLARE_DYNCREATE(CTestDoc)

public:
    void Serialize(CArchive& ar) override
    {
        CFile* file = ar.GetFile();
        ar.Flush();
        if (m_throwCause != CFileException::none)
            throw CFileException(m_throwCause);
        char buffer[4] = {};
        m_bytes.assign(buffer, file->Read(buffer, sizeof buffer));
    }
    void DeleteContents() override
    {
        g_log.push_back("delete");
        m_bytes.clear();
    }

    std::string m_bytes;
    int m_throwCause = CFileException::none;

protected:
    void OnFileSave() { g_log.push_back("doc save"); }
    void OnViewEnlarge() { g_log.push_back("doc enlarge"); }
    DECLARE_MESSAGE_MAP()
};

IMPLEMENT_DYNCREATE(CTestDoc, CDocument)

BEGIN_MESSAGE_MAP(CTestDoc, CDocument)
    ON_COMMAND(ID_FILE_SAVE, OnFileSave)
    ON_COMMAND(ID_VIEW_ENLARGE, OnViewEnlarge)
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
    void OnViewEnlarge() { g_log.push_back("view enlarge"); }
    DECLARE_MESSAGE_MAP()
};

IMPLEMENT_DYNCREATE(CTestScrollView, CScrollView)

BEGIN_MESSAGE_MAP(CTestScrollView, CScrollView)
    ON_COMMAND(ID_VIEW_ENLARGE, OnViewEnlarge)
END_MESSAGE_MAP()

class CTestFrame : public CFrameWnd
{
protected:
    void OnFileSave() { g_log.push_back("frame save"); }
    void OnFileNew() { g_log.push_back("frame new"); }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CTestFrame, CFrameWnd)
    ON_COMMAND(ID_FILE_SAVE, OnFileSave)
    ON_COMMAND(ID_FILE_NEW, OnFileNew)
END_MESSAGE_MAP()

// Keeps the recent-file list of the documents' paths in memory only.
std::vector<std::string> g_recent;
class CRecordingApp : public CWinApp
{
public:
    void AddToRecentFileList(LPCSTR lpszPathName) override { g_recent.emplace_back(lpszPathName); }
};

// ---- Documents ----------------------------------------------------------------------------

class Document : public testing::Test
{
protected:
    void SetUp() override
    {
        g_log.clear();
        g_recent.clear();
        path = (std::filesystem::temp_directory_path() /
                ("pixmora-doc-" + std::to_string(::getpid()) + ".bmp"))
                   .string();
        std::ofstream(path, std::ios::binary) << "BMxyz";
    }
    void TearDown() override { std::remove(path.c_str()); }

    // Opens with message boxes answered at once; returns their texts.
    std::vector<std::string> Open(CDocument& doc, const std::string& file, BOOL* result)
    {
        std::vector<std::string> boxes;
        CModalHandlerScope scope([&](ModalRequest& request) {
            boxes.emplace_back(request.text.GetString());
            return IDOK;
        });
        *result = doc.OnOpenDocument(file.c_str());
        return boxes;
    }

    CRecordingApp app;
    std::string path;
};

TEST_F(Document, OpenReadsFromTheStartAndTheCallerNamesIt)
{
    std::unique_ptr<CObject> object(RUNTIME_CLASS(CTestDoc)->CreateObject());
    auto* doc = dynamic_cast<CTestDoc*>(object.get());
    ASSERT_NE(doc, nullptr);
    doc->SetModifiedFlag();
    BOOL ok = FALSE;
    EXPECT_TRUE(Open(*doc, path, &ok).empty());
    EXPECT_TRUE(ok);
    EXPECT_EQ(doc->m_bytes, "BMxy");
    EXPECT_EQ(g_log, std::vector<std::string>{"delete"}); // emptied before reading
    EXPECT_FALSE(doc->IsModified());

    doc->SetPathName(path.c_str(), FALSE);
    EXPECT_TRUE(g_recent.empty());
    doc->SetPathName(path.c_str());
    EXPECT_EQ(std::string(doc->GetPathName()), path);
    EXPECT_EQ(std::string(doc->GetTitle()), std::filesystem::path(path).filename().string());
    EXPECT_EQ(g_recent, std::vector<std::string>{path});
}

TEST_F(Document, FailuresAreReportedNamingTheFileAndFailTheOpen)
{
    CTestDoc doc;
    BOOL ok = TRUE;
    const std::string missing = path + ".gone";
    std::vector<std::string> boxes = Open(doc, missing, &ok);
    EXPECT_FALSE(ok);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_NE(boxes[0].find(missing), std::string::npos) << boxes[0];
    EXPECT_NE(boxes[0].find("not found"), std::string::npos) << boxes[0];
    EXPECT_TRUE(g_log.empty()); // nothing was emptied for a file never opened

    // A read error that names no file still gets the file's name.
    doc.m_throwCause = CFileException::hardIO;
    boxes = Open(doc, path, &ok);
    EXPECT_FALSE(ok);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_NE(boxes[0].find(path), std::string::npos) << boxes[0];
    EXPECT_NE(boxes[0].find("device"), std::string::npos) << boxes[0];
    EXPECT_TRUE(g_recent.empty());
}

TEST_F(Document, NewDocumentStartsUntitledAndUnmodified)
{
    CTestDoc doc;
    doc.SetPathName(path.c_str(), FALSE);
    doc.SetModifiedFlag();
    doc.m_bytes = "old";
    EXPECT_TRUE(doc.OnNewDocument());
    EXPECT_TRUE(doc.GetPathName().IsEmpty());
    EXPECT_EQ(std::string(doc.GetTitle()), "Untitled");
    EXPECT_FALSE(doc.IsModified());
    EXPECT_TRUE(doc.m_bytes.empty());
}

TEST_F(Document, ViewsComeAndGoWithoutDanglingEitherSide)
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
        frame = new CTestFrame;
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
    CTestFrame* frame = nullptr;
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
    // Repainted at once; a client context has no scroll offset.
    EXPECT_EQ(uitest::ReadPixel(*view, 0, 0), TileColour(130, 70));
    EXPECT_EQ(uitest::ReadPixel(*view, 25, 35), TileColour(155, 105));
    PumpMessages();
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

// A scroll moves what is already shown and draws only the strip it uncovers.
TEST_F(ScrollView, ScrollingDrawsOnlyTheUncoveredStrip)
{
    const CRect client = Client();
    view->ScrollToPosition(CPoint(0, 30));
    EXPECT_EQ(view->m_lastPainted, CRect(0, client.Height(), client.Width(), client.Height() + 30));
    view->ScrollToPosition(CPoint(20, 30));
    EXPECT_EQ(view->m_lastPainted,
              CRect(client.Width(), 30, client.Width() + 20, client.Height() + 30));
    view->ScrollToPosition(CPoint(20, 10));
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

TEST_F(ScrollView, CommandsReachViewThenDocumentThenFrame)
{
    auto command = [&](UINT id) { frame->SendMessage(WM_COMMAND, MAKEWPARAM(id, 0), 0); };
    command(ID_VIEW_ENLARGE);
    command(ID_FILE_SAVE);
    command(ID_FILE_NEW);
    EXPECT_EQ(g_log, (std::vector<std::string>{"view enlarge", "doc save", "frame new"}));
}

TEST_F(ScrollView, ActivationAndCaptionFollowTheDocument)
{
    EXPECT_EQ(view->GetDocument(), &doc);
    EXPECT_EQ(frame->GetActiveDocument(), &doc);
    doc.SetPathName("/tmp/some/picture.bmp", FALSE);
    CString caption;
    frame->GetWindowText(caption);
    EXPECT_EQ(std::string(caption), "picture.bmp - " + std::string(frame->GetTitle()));

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
