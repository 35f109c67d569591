// The application, its template, the way to an open document, recent files, the scrolling view.

#include "ui/WinApp.h"

#include "FrameHost.h"
#include "UiTestSupport.h"
#include "ui/DocTemplate.h"
#include "ui/DocView.h"
#include "ui/Frame.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QScrollBar>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QWheelEvent>

#include <gtest/gtest.h>

#include <climits>
#include <fstream>
#include <functional>
#include <memory>
#include <new>
#include <string>
#include <vector>

namespace {

int g_liveDocs = 0;
std::vector<std::string> g_log;

// Reads the first bytes of its file; a file error can be raised halfway through, and a file
// starting "MEM" runs it out of memory.
class CTestDoc : public CDocument
{
    DECLARE_DYNCREATE(CTestDoc)

public:
    CTestDoc() { ++g_liveDocs; }
    ~CTestDoc() override { --g_liveDocs; }

    void Serialize(CArchive& ar) override
    {
        CFile* file = ar.GetFile();
        ar.Flush();
        char buffer[4] = {};
        m_bytes.assign(buffer, file->Read(buffer, sizeof buffer));
        if (m_bytes == "MEM")
            throw std::bad_alloc();
        if (m_throwCause != CFileException::none)
            throw CFileException(m_throwCause);
    }
    void DeleteContents() override { m_bytes.clear(); }

    std::string m_bytes;
    int m_throwCause = CFileException::none;

protected:
    void OnEditCopy() { g_log.push_back("doc copy"); }
    DECLARE_MESSAGE_MAP()
};

IMPLEMENT_DYNCREATE(CTestDoc, CDocument)

BEGIN_MESSAGE_MAP(CTestDoc, CDocument)
    ON_COMMAND(ID_EDIT_COPY, OnEditCopy)
END_MESSAGE_MAP()

// 50 x 50 tiles coloured by their place, so a pixel tells which part it shows.
COLORREF TileColour(int x, int y)
{
    return RGB(static_cast<BYTE>(x / 50 * 10), static_cast<BYTE>(y / 50 * 10), 200);
}

// Shows the tiled picture; counts initial updates and logs activation.
class CTestView : public CScrollView
{
    DECLARE_DYNCREATE(CTestView)

public:
    void OnInitialUpdate() override
    {
        ++m_initialUpdates;
        SetScrollSizes(MM_TEXT, CSize(16, 16));
        CScrollView::OnInitialUpdate();
    }
    void OnActivateView(BOOL bActivate, CView* pActivateView, CView* pDeactiveView) override
    {
        g_log.push_back(bActivate ? "activate" : "deactivate");
        CScrollView::OnActivateView(bActivate, pActivateView, pDeactiveView);
    }
    int m_initialUpdates = 0;
    CRect m_lastPainted; // the last paint's clip box, in picture coordinates

protected:
    void OnDraw(CDC* pDC) override
    {
        pDC->GetClipBox(&m_lastPainted);
        for (int y = 0; y < 800; y += 50)
            for (int x = 0; x < 1000; x += 50)
                uitest::Fill(pDC->GetSafeHdc(), CRect(x, y, x + 50, y + 50), TileColour(x, y));
    }
};

IMPLEMENT_DYNCREATE(CTestView, CScrollView)

constexpr char kTestAppName[] = "PixmoraWinAppTest";

class CTestApp : public CWinApp
{
public:
    CTestApp() : CWinApp(kTestAppName) {}

protected:
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CTestApp, CWinApp)
    ON_COMMAND(ID_FILE_NEW, OnFileNew)
    ON_COMMAND(ID_FILE_OPEN, OnFileOpen)
END_MESSAGE_MAP()

class WinApp : public testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(files.isValid());
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, files.filePath("settings"));
        pic = Write("pic.bmp", "BMxyz");
        other = Write("other.bmp", "BMabc");
        missing = files.filePath("gone.bmp").toStdString();

        app = std::make_unique<CTestApp>();
        app->LoadStdProfileSettings(4);
        tmpl = new CSingleDocTemplate(IDR_MAINFRAME, RUNTIME_CLASS(CTestDoc),
                                      RUNTIME_CLASS(CFrameWnd), RUNTIME_CLASS(CTestView));
        app->AddDocTemplate(tmpl);
    }
    void TearDown() override
    {
        if (CWnd* main = app->GetMainWnd())
            main->DestroyWindow();
        app.reset();
        PumpMessages();
    }

    std::string Write(const char* name, const char* bytes)
    {
        const std::string path = files.filePath(name).toStdString();
        std::ofstream(path, std::ios::binary) << bytes;
        return path;
    }
    // Runs the command line with message boxes answered at once.
    BOOL Shell(std::vector<CString> args)
    {
        app->SetCommandLine(std::move(args));
        CCommandLineInfo info;
        app->ParseCommandLine(info);
        return app->ProcessShellCommand(info);
    }
    CDocument* Open(const std::string& path) { return app->OpenDocumentFile(path.c_str()); }
    void Command(UINT id) { app->m_pMainWnd->SendMessage(WM_COMMAND, id, 0); }

    CTestDoc* Doc() const { return static_cast<CTestDoc*>(tmpl->GetDocument()); }
    std::string Path() const { return Doc()->GetPathName().GetString(); }
    CFrameWnd* Frame() const { return tmpl->GetFrame(); }
    std::vector<CView*> Views() const
    {
        std::vector<CView*> views;
        for (POSITION pos = Doc()->GetFirstViewPosition(); pos;)
            views.push_back(Doc()->GetNextView(pos));
        return views;
    }
    CTestView* View() const { return static_cast<CTestView*>(Views().at(0)); }
    std::string Caption() const { return uitest::TextOf(*Frame()); }
    std::vector<std::string> Recent() const
    {
        std::vector<std::string> paths;
        for (const CString& path : app->GetRecentFileList())
            paths.emplace_back(path.GetString());
        return paths;
    }
    QMenu* FilePopup() const
    {
        return FrameHostOf(Frame())->MainWindow()->menuBar()->actions().at(0)->menu();
    }
    // The File menu as shown: the visible items, grayed ones marked.
    std::vector<std::string> FileMenu() const
    {
        QMenu* menu = FilePopup();
        emit menu->aboutToShow();
        std::vector<std::string> items;
        for (QAction* item : menu->actions()) {
            if (item->isVisible())
                items.push_back(item->isSeparator() ? "-"
                                                    : (item->isEnabled() ? "" : "(grayed) ") +
                                                          item->text().toStdString());
        }
        return items;
    }

    // File > Open with the toolkit's own dialog: `act` once, then whatever is open is dismissed.
    void OpenThroughTheDialog(const std::function<void(QFileDialog*)>& act)
    {
        CModalHandlerScope real{ModalHandler()};
        bool acted = false;
        QTimer driver;
        QObject::connect(&driver, &QTimer::timeout, [&] {
            bool box = false;
            for (QWidget* w : QApplication::topLevelWidgets())
                if (auto* b = qobject_cast<QMessageBox*>(w); b && b->isVisible()) {
                    box = true;
                    b->reject();
                }
            for (QWidget* w : QApplication::topLevelWidgets())
                if (auto* dialog = qobject_cast<QFileDialog*>(w);
                    dialog && dialog->isVisible() && !box) {
                    if (acted)
                        dialog->reject();
                    else
                        act(dialog);
                    acted = true;
                }
        });
        driver.start(10);
        app->OnFileOpen();
    }

    QTemporaryDir files;
    std::string pic, other, missing;
    std::vector<std::string> boxes;
    std::string chosen; // the file-open dialog's answer
    bool cancel = false;
    std::vector<std::string> filters;
    CModalHandlerScope modal{[this](ModalRequest& r) {
        if (r.kind != ModalKind::FileOpen) {
            boxes.emplace_back(r.text.GetString());
            return IDOK;
        }
        for (const CString& f : r.filters)
            filters.emplace_back(f.GetString());
        r.answer = chosen.c_str();
        return chosen.empty() || cancel ? IDCANCEL : IDOK;
    }};
    uitest::ProgramResources resources;
    std::unique_ptr<CTestApp> app;
    CSingleDocTemplate* tmpl = nullptr; // owned by app
};

// New and opens reuse the one document, frame and view; recent files show in the File menu.
TEST_F(WinApp, NewOpensAndRecentFilesReuseTheOneDocumentFrameAndView)
{
    ASSERT_TRUE(Shell({}));
    // The File menu shows a grayed placeholder for the empty recent-file list.
    const std::vector<std::string> head = {"&New\tCtrl+N", "&Open...\tCtrl+O",
                                           "(grayed) &Save\tCtrl+S", "(grayed) Save &As...", "-"};
    auto menu = [&](std::vector<std::string> recent) {
        std::vector<std::string> all = head;
        all.insert(all.end(), recent.begin(), recent.end());
        all.insert(all.end(), {"-", "E&xit"});
        return all;
    };
    EXPECT_EQ(FileMenu(), menu({"(grayed) Recent File"}));

    CTestDoc* doc = Doc();
    CFrameWnd* frame = Frame();
    ASSERT_NE(frame, nullptr);
    EXPECT_EQ(AfxGetMainWnd(), frame);
    EXPECT_TRUE(frame->IsWindowVisible());
    CTestView* view = View();
    EXPECT_EQ(frame->GetActiveView(), view);
    EXPECT_EQ(Caption(), "Untitled - Pixmora");

    // File > Open, cancelled with a name typed, opens nothing.
    chosen = pic;
    cancel = true;
    Command(ID_FILE_OPEN);
    EXPECT_EQ(Caption(), "Untitled - Pixmora");
    cancel = false;
    Command(ID_FILE_OPEN);
    EXPECT_EQ(filters, (std::vector<std::string>{"Bitmap Files (*.bmp)", "All Files (*.*)",
                                                 "Bitmap Files (*.bmp)", "All Files (*.*)"}));
    EXPECT_EQ(Doc(), doc);
    EXPECT_EQ(doc->m_bytes, "BMxy");
    EXPECT_EQ(Caption(), "pic.bmp - Pixmora");
    EXPECT_EQ(view->m_initialUpdates, 2);

    EXPECT_EQ(Open(other), doc);
    app->OnFileNew();
    EXPECT_EQ(Doc(), doc);
    EXPECT_EQ(Frame(), frame);
    EXPECT_EQ(Views(), std::vector<CView*>{view});
    EXPECT_EQ(view->m_initialUpdates, 4);
    EXPECT_EQ(Caption(), "Untitled - Pixmora");
    EXPECT_TRUE(doc->m_bytes.empty()); // New empties the one document
    EXPECT_EQ(Recent(), (std::vector<std::string>{other, pic}));
    EXPECT_TRUE(boxes.empty());

    // The real dialog starts in the working folder, then the document's; a bare name gets .bmp.
    QString folder;
    OpenThroughTheDialog([&](QFileDialog* dialog) { folder = dialog->directory().path(); });
    EXPECT_EQ(folder, QDir::currentPath());
    ASSERT_TRUE(QDir(files.path()).mkdir("inner"));
    ASSERT_NE(app->OpenDocumentFile(Write("inner/in.bmp", "BMi").c_str()), nullptr);
    const std::string inner = Write("inner/pic.bmp", "BMp");
    OpenThroughTheDialog([&](QFileDialog* dialog) {
        folder = dialog->directory().path();
        dialog->findChild<QLineEdit*>("fileNameEdit")->setText("pic");
        // Later, so that a refusal's own box finds the driver free.
        QTimer::singleShot(0, dialog, [dialog] { static_cast<QDialog*>(dialog)->accept(); });
    });
    EXPECT_EQ(folder, files.filePath("inner"));
    EXPECT_EQ(Path(), inner);

    // Same-named files show the folder apart; '&' is shown, not a mnemonic.
    ASSERT_TRUE(QDir(files.path()).mkpath("one"));
    const std::string one = Write("one/x.bmp", "BMone"); // two/x.bmp does not exist
    const std::string two = files.filePath("two/x.bmp").toStdString();
    for (const std::string& path :
         {std::string("/p/old.bmp"), one, two, std::string("/p/R&D.bmp"), std::string("/q.bmp")})
        app->AddToRecentFileList(path.c_str());
    EXPECT_EQ(FileMenu(), menu({"&1 q.bmp", "&2 R&&D.bmp", "&3 two/x.bmp", "&4 one/x.bmp"}));

    // Entries send their own commands; a failed open drops the entry.
    FilePopup()->actions().at(7)->trigger(); // the third entry
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_NE(boxes[0].find(two), std::string::npos) << boxes[0];
    EXPECT_EQ(FileMenu(), menu({"&1 q.bmp", "&2 R&&D.bmp", "&3 x.bmp"}));

    Command(ID_FILE_MRU_FILE1 + 2);
    EXPECT_EQ(Path(), one);
    EXPECT_EQ(Recent().front(), one); // opened, so first again
    Command(ID_FILE_MRU_FILE4);       // no fourth entry: nothing to open
    EXPECT_EQ(boxes.size(), 1u);
    EXPECT_EQ(Path(), one);

    // Newest first, each once, at most four.
    for (const char* path : {"/p/a.bmp", "/p/b.bmp", "/p/c.bmp", "/p/x/../a.bmp"})
        app->AddToRecentFileList(path);
    EXPECT_EQ(Recent(), (std::vector<std::string>{"/p/a.bmp", "/p/c.bmp", "/p/b.bmp", one}));

    app->AddToRecentFileList("d.bmp"); // relative: made absolute
    app->AddToRecentFileList("/p/e.bmp");
    const std::string d = QDir::current().absoluteFilePath("d.bmp").toStdString();
    EXPECT_EQ(Recent(), (std::vector<std::string>{"/p/e.bmp", d, "/p/a.bmp", "/p/c.bmp"}));

    // Written at once: a new object, as after a crash, finds the same list.
    const std::vector<std::string> before = Recent();
    app.reset();
    app = std::make_unique<CTestApp>();
    app->LoadStdProfileSettings(2);
    EXPECT_EQ(Recent(), (std::vector<std::string>{before[0], before[1]}));

    // A settings file edited by hand may name one file twice: it is listed once.
    {
        QSettings settings(QSettings::IniFormat, QSettings::UserScope, kTestAppName, kTestAppName);
        settings.remove("Recent File List");
        settings.setValue("Recent File List/File1", "/p/a.bmp");
        settings.setValue("Recent File List/File2", "/p/a.bmp");
        settings.setValue("Recent File List/File3", "/p/b.bmp");
    }
    app->LoadStdProfileSettings(4);
    EXPECT_EQ(Recent(), (std::vector<std::string>{"/p/a.bmp", "/p/b.bmp"}));
}

// From a failed start to the application's end: failed opens, Exit, a new frame, deletion.
TEST_F(WinApp, FailedOpensSayWhyExitClosesTheFrameAndTheAppDeletesAll)
{
    // Options are skipped up to "--"; the first file wins and the others are named on stderr.
    testing::internal::CaptureStderr();
    EXPECT_FALSE(Shell({"-x", "--", "-gone.bmp", "--", pic.c_str()}));
    const std::string said = testing::internal::GetCapturedStderr();
    for (const std::string& name : {std::string("'--'"), "'" + pic + "'"})
        EXPECT_NE(said.find(name), std::string::npos) << said;
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_NE(boxes[0].find("-gone.bmp"), std::string::npos) << boxes[0];
    // The frame made for it is gone, not merely hidden.
    EXPECT_EQ(Frame(), nullptr);
    EXPECT_EQ(app->GetMainWnd(), nullptr);

    // The same template still works: a file that opens is the document.
    ASSERT_TRUE(Shell({pic.c_str()}));
    EXPECT_EQ(app->m_pMainWnd, Frame());
    EXPECT_EQ(Caption(), "pic.bmp - Pixmora");
    EXPECT_EQ(Recent(), std::vector<std::string>{pic});

    // Later failed opens say why, keep an untouched document and empty a half-read one.
    boxes.clear();
    CTestDoc* doc = Doc();

    // Never opened: the shown document is as it was.
    EXPECT_EQ(Open(missing), nullptr);
    EXPECT_EQ(doc->m_bytes, "BMxy");
    EXPECT_EQ(Path(), pic);
    EXPECT_EQ(View()->m_initialUpdates, 1);

    // A read error halfway: nothing half-read stays under the old name.
    doc->m_throwCause = CFileException::hardIO;
    EXPECT_EQ(Open(other), nullptr);
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_NE(boxes[1].find(other), std::string::npos) << boxes[1];
    EXPECT_EQ(Doc(), doc);
    EXPECT_TRUE(doc->m_bytes.empty());
    EXPECT_EQ(Caption(), "Untitled - Pixmora");
    EXPECT_EQ(View()->m_initialUpdates, 2); // the view shows the empty document
    EXPECT_FALSE(doc->IsModified());
    EXPECT_EQ(Recent(), std::vector<std::string>{pic});

    // The box says why; the window stays and the next open works.
    doc->m_throwCause = CFileException::none;
    const std::string big = Write("big.bmp", "MEM"), folder = files.path().toStdString();
    for (const std::string& path : {big, folder}) {
        EXPECT_EQ(Open(path), nullptr);
        ASSERT_NE(app->GetMainWnd(), nullptr);
        EXPECT_EQ(Open(pic), doc);
        EXPECT_EQ(doc->m_bytes, "BMxy");
    }
    EXPECT_EQ(std::vector(boxes.begin() + 2, boxes.end()),
              (std::vector<std::string>{big + " could not be opened: there is not enough memory.",
                                        folder + " is a folder, not a file."}));

    // Exit closes the frame; an open makes it again for the same document.
    const HWND first = Frame()->GetSafeHwnd();
    Command(ID_APP_EXIT);
    ASSERT_FALSE(IsWindow(first)); // else the loop below would never end
    EXPECT_EQ(Frame(), nullptr);
    EXPECT_EQ(app->m_pMainWnd, nullptr);
    EXPECT_TRUE(Views().empty());

    ASSERT_EQ(Open(pic), doc);
    EXPECT_EQ(app->m_pMainWnd, Frame());
    EXPECT_EQ(Views().size(), 1u);
    EXPECT_EQ(g_liveDocs, 1);

    // From inside the loop, as from the menu; without a main window there is no loop to run.
    QTimer::singleShot(0, [this] { Command(ID_APP_EXIT); });
    EXPECT_EQ(app->Run(), 0);
    EXPECT_EQ(AfxGetMainWnd(), nullptr);
    EXPECT_EQ(app->Run(), 0);

    // The template, its document and its window go with the application.
    ASSERT_EQ(Open(pic), doc);
    const HWND frame = Frame()->GetSafeHwnd();
    app.reset();
    EXPECT_EQ(g_liveDocs, 0);
    EXPECT_FALSE(IsWindow(frame));
    {
        // The name comes from the strings; a failed start ends at once.
        struct CFailingApp : CWinApp
        {
            BOOL InitInstance() override { return FALSE; }
        } failing;
        ASSERT_EQ(AfxGetApp(), &failing);
        EXPECT_EQ(failing.m_pszAppName, nullptr);
        char name[] = "pixmora";
        char* argv[] = {name, nullptr};
        EXPECT_NE(AfxWinMain(1, argv), 0); // a loop run without a window would say 0
        EXPECT_STREQ(failing.m_pszAppName, "Pixmora");
        EXPECT_STREQ(AfxGetAppName(), "Pixmora");
    }
    app = std::make_unique<CTestApp>(); // for TearDown

    // A view outliving its document must not keep a pointer to it.
    CTestView view;
    auto alone = std::make_unique<CTestDoc>();
    alone->AddView(&view);
    alone.reset();
    EXPECT_EQ(view.GetDocument(), nullptr);
}

// The scrolling view, 500 x 400 over a 1000 x 800 picture of tiles.
TEST_F(WinApp, ScrollViewMovesByKeysWheelAndBarsDrawsWhatItUncoversAndRoutesCommands)
{
    ASSERT_TRUE(Shell({}));
    CTestView* view = View();
    WidgetOf(*Frame())->resize(500, 400);
    PumpMessages();
    view->SetScrollSizes(MM_TEXT, CSize(1000, 800));
    PumpMessages();
    g_log.clear();
    auto clientRect = [&] { return uitest::ClientOf(*view); };
    auto pane = [&] { return CSize(WidgetOf(*view)->width(), WidgetOf(*view)->height()); };
    auto maxPos = [&] { return CPoint(1000 - clientRect().Width(), 800 - clientRect().Height()); };
    auto key = [&](Qt::Key k) { QTest::keyClick(WidgetOf(*view), k); };
    auto wheel = [&](int delta) {
        QWidget* w = WidgetOf(*view);
        const QPointF at(10, 10);
        QWheelEvent event(at, w->mapToGlobal(at), QPoint(), QPoint(0, delta), Qt::NoButton,
                          Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(w, &event);
    };
    auto bar = [&](Qt::Orientation o) -> QScrollBar* {
        for (auto* b : WidgetOf(*view)->findChildren<QScrollBar*>())
            if (b->orientation() == o)
                return b;
        return nullptr;
    };
    // The bars' page and line steps: across, down, across, down.
    auto steps = [&] {
        return std::vector<int>{bar(Qt::Horizontal)->pageStep(), bar(Qt::Vertical)->pageStep(),
                                bar(Qt::Horizontal)->singleStep(), bar(Qt::Vertical)->singleStep()};
    };

    // A scroll moves what is shown; the next paint draws only the strip it uncovered.
    const CRect client = clientRect();
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
    for (const CPoint p : {CPoint(0, 0), CPoint(client.Width() - 1, client.Height() - 1),
                           CPoint(client.Width() / 2, 5), CPoint(3, client.Height() / 2)})
        EXPECT_EQ(uitest::ReadPixel(*view, p.x, p.y), TileColour(p.x + 20, p.y + 10)) << p.x;
    PumpMessages();
    EXPECT_EQ(uitest::ScreenPixel(*view, 25, 35), TileColour(45, 45));

    // The last row moved crosses a tile edge, so a row left behind would show.
    const int down = (client.Height() + 9) % 50 + 1;
    view->ScrollToPosition(CPoint(20, 10 + down));
    view->UpdateWindow();
    for (int y = 0; y < client.Height(); ++y)
        ASSERT_EQ(uitest::ReadPixel(*view, 3, y), TileColour(23, y + 10 + down)) << y;

    // Grown past the picture, the view drops its bars.
    WidgetOf(*Frame())->resize(1400, 1200);
    PumpMessages();
    ASSERT_GE(pane().cx, 1000);
    ASSERT_GE(pane().cy, 800);
    EXPECT_FALSE(view->HasHorzScrollBar());
    EXPECT_FALSE(view->HasVertScrollBar());
    EXPECT_EQ(view->GetScrollPosition(), CPoint(0, 0));
    EXPECT_EQ(clientRect().Size(), pane());
    EXPECT_EQ(uitest::ReadPixel(*view, 999, 799), TileColour(999, 799));
    EXPECT_EQ(uitest::ReadPixel(*view, 1000, 5), RGB(255, 255, 255)); // the background

    // Back to its size: keys, the wheel and calls move within the range.
    WidgetOf(*Frame())->resize(500, 400);
    PumpMessages();
    key(Qt::Key_Down);
    key(Qt::Key_Right);
    EXPECT_EQ(view->GetScrollPosition(), CPoint(10, 8));
    key(Qt::Key_PageDown);
    EXPECT_EQ(view->GetScrollPosition(), CPoint(10, 88));
    key(Qt::Key_End);
    EXPECT_EQ(view->GetScrollPosition(), CPoint(10, maxPos().y));
    key(Qt::Key_Down); // already at the end
    EXPECT_EQ(view->GetScrollPosition(), CPoint(10, maxPos().y));
    key(Qt::Key_Home);
    key(Qt::Key_Left);
    key(Qt::Key_Left);
    EXPECT_EQ(view->GetScrollPosition(), CPoint(0, 0));

    // One notch towards the user: the platform's number of lines down.
    wheel(-WHEEL_DELTA);
    EXPECT_EQ(view->GetScrollPosition(), CPoint(0, 8 * QApplication::wheelScrollLines()));
    // Half notches add up rather than vanish.
    wheel(WHEEL_DELTA / 2);
    wheel(WHEEL_DELTA / 2);
    EXPECT_EQ(view->GetScrollPosition(), CPoint(0, 0));

    view->ScrollToPosition(CPoint(-5, 99999));
    EXPECT_EQ(view->GetScrollPosition(), CPoint(0, maxPos().y));
    EXPECT_EQ(bar(Qt::Vertical)->value(), maxPos().y);
    // Dragging a bar scrolls the view.
    bar(Qt::Horizontal)->setValue(40);
    EXPECT_EQ(view->GetScrollPosition(), CPoint(40, maxPos().y));

    // Commands go through the view in use to its document.
    EXPECT_EQ(Frame()->GetActiveDocument(), Doc());
    Command(ID_EDIT_COPY);
    EXPECT_EQ(g_log, std::vector<std::string>{"doc copy"});
    g_log.clear();

    // A second view taking over: the first hears it lost, the second that it won.
    auto* other = new CTestView;
    CCreateContext context;
    context.m_pCurrentDoc = Doc();
    ASSERT_TRUE(
        other->Create(nullptr, nullptr, WS_VISIBLE, CRect(0, 0, 50, 50), Frame(), 1, &context));
    Frame()->SetActiveView(other);
    EXPECT_EQ(g_log, (std::vector<std::string>{"deactivate", "activate"}));
    EXPECT_EQ(Frame()->GetActiveView(), other);
    // A click brings the first one back.
    QTest::mouseClick(WidgetOf(*view), Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_EQ(Frame()->GetActiveView(), view);
    other->DestroyWindow(); // and the object with it

    // The bars lie outside the client area.
    ASSERT_LT(pane().cx, 1000);
    EXPECT_TRUE(view->HasHorzScrollBar());
    EXPECT_TRUE(view->HasVertScrollBar());
    ASSERT_NE(bar(Qt::Vertical), nullptr);
    EXPECT_TRUE(bar(Qt::Vertical)->isVisible());
    // A page is a tenth of the total, a line a tenth of a page.
    EXPECT_EQ(steps(), (std::vector<int>{100, 80, 10, 8}));
    EXPECT_EQ(clientRect().Width(), pane().cx - bar(Qt::Vertical)->width());
    EXPECT_EQ(clientRect().Height(), pane().cy - bar(Qt::Horizontal)->height());
    // The bars are not part of what a client context reads.
    EXPECT_EQ(uitest::ReadPixel(*view, clientRect().Width() + 1, 5), CLR_INVALID);

    // Given steps stay; a zero in one direction takes that direction's default.
    view->SetScrollSizes(MM_TEXT, CSize(1000, 800), CSize(0, 50), CSize(7, 0));
    EXPECT_EQ(steps(), (std::vector<int>{100, 50, 7, 5}));

    view->SetScrollSizes(MM_TEXT, CSize(-15, INT_MIN));
    EXPECT_FALSE(view->HasHorzScrollBar());
    EXPECT_FALSE(view->HasVertScrollBar());
    EXPECT_EQ(clientRect().Size(), pane());
    key(Qt::Key_PageDown);
    wheel(-WHEEL_DELTA);
    EXPECT_EQ(view->GetScrollPosition(), CPoint(0, 0));
    EXPECT_EQ(view->GetTotalSize(), CSize(-15, INT_MIN)); // kept as given

    // Too wide, and just too tall once the horizontal bar takes its strip.
    const int barHeight = bar(Qt::Horizontal)->sizeHint().height();
    view->SetScrollSizes(MM_TEXT, CSize(pane().cx + 100, pane().cy - barHeight / 2));
    EXPECT_TRUE(view->HasHorzScrollBar());
    EXPECT_TRUE(view->HasVertScrollBar());
    // The same width with a short picture needs only the one bar.
    view->SetScrollSizes(MM_TEXT, CSize(pane().cx + 100, 10));
    EXPECT_TRUE(view->HasHorzScrollBar());
    EXPECT_FALSE(view->HasVertScrollBar());
    key(Qt::Key_End); // with nothing to scroll vertically, End goes right
    EXPECT_EQ(view->GetScrollPosition(), CPoint(pane().cx + 100 - clientRect().Width(), 0));
}

} // namespace
