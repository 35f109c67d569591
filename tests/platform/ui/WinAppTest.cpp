// The application object and its single-document template: one document,
// frame and view made from their class records and reused; opening files from
// the command line, File > Open, the recent-file list (kept in the user's
// settings and shown in the File menu) and after failures; and the program
// ending with its main window.

#include "ui/WinApp.h"

#include "FrameHost.h"
#include "UiTestSupport.h"
#include "ui/Dialog.h"
#include "ui/DocTemplate.h"
#include "ui/DocView.h"
#include "ui/Frame.h"

#include <QDir>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QSettings>
#include <QTemporaryDir>
#include <QTimer>

#include <gtest/gtest.h>

#include <fstream>
#include <memory>
#include <string>
#include <vector>

namespace {

int g_liveDocs = 0;

// Reads the first bytes of its file directly, as the program's document does;
// a file error can be raised halfway through.
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
        if (m_throwCause != CFileException::none)
            throw CFileException(m_throwCause);
    }
    void DeleteContents() override { m_bytes.clear(); }

    std::string m_bytes;
    int m_throwCause = CFileException::none;
};

IMPLEMENT_DYNCREATE(CTestDoc, CDocument)

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
    int m_initialUpdates = 0;

protected:
    void OnDraw(CDC*) override {}
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

TEST_F(WinApp, NewThenOpensReuseTheOneDocumentFrameAndView)
{
    ASSERT_TRUE(Shell({}));
    CTestDoc* doc = Doc();
    CFrameWnd* frame = Frame();
    ASSERT_NE(frame, nullptr);
    EXPECT_EQ(AfxGetMainWnd(), frame);
    EXPECT_TRUE(frame->IsWindowVisible());
    CTestView* view = View();
    EXPECT_EQ(frame->GetActiveView(), view);
    EXPECT_EQ(frame->GetActiveDocument(), doc);
    EXPECT_EQ(Caption(), "Untitled - Pixmora");

    // File > Open offers the template's filter; cancelled, it opens nothing
    // even with a name typed.
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
}

TEST_F(WinApp, CommandLineFileThatCannotBeOpenedEndsWithoutAWindow)
{
    // Options are skipped and the first file wins.
    EXPECT_FALSE(Shell({"-x", missing.c_str(), pic.c_str()}));
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_NE(boxes[0].find(missing), std::string::npos) << boxes[0];
    // The frame made for it is gone, not merely hidden.
    EXPECT_EQ(Frame(), nullptr);
    EXPECT_EQ(app->GetMainWnd(), nullptr);

    // The same template still works: a file that opens is the document.
    ASSERT_TRUE(Shell({pic.c_str()}));
    EXPECT_EQ(app->m_pMainWnd, Frame());
    EXPECT_EQ(Caption(), "pic.bmp - Pixmora");
    EXPECT_EQ(Recent(), std::vector<std::string>{pic});
}

TEST_F(WinApp, FailedOpenKeepsAnUntouchedDocumentAndEmptiesAHalfReadOne)
{
    ASSERT_NE(Open(pic), nullptr);
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
}

TEST_F(WinApp, ClosedFrameIsRemadeForTheSameDocumentAndTheAppDeletesAll)
{
    ASSERT_TRUE(Shell({}));
    CTestDoc* doc = Doc();
    Frame()->DestroyWindow();
    PumpMessages();
    EXPECT_EQ(Frame(), nullptr);
    EXPECT_EQ(app->m_pMainWnd, nullptr);
    EXPECT_TRUE(Views().empty());

    ASSERT_EQ(Open(pic), doc);
    EXPECT_EQ(app->m_pMainWnd, Frame());
    EXPECT_EQ(Views().size(), 1u);
    EXPECT_EQ(g_liveDocs, 1);

    // The template, its document and its window go with the application.
    const HWND frame = Frame()->GetSafeHwnd();
    app.reset();
    EXPECT_EQ(g_liveDocs, 0);
    EXPECT_FALSE(IsWindow(frame));
    app = std::make_unique<CTestApp>(); // for TearDown
}

TEST_F(WinApp, RecentFilesAreNewestFirstUniqueAtMostFourAndKeptInTheSettings)
{
    for (const char* path : {"/p/a.bmp", "/p/b.bmp", "/p/c.bmp", "/p/x/../a.bmp"})
        app->AddToRecentFileList(path);
    EXPECT_EQ(Recent(), (std::vector<std::string>{"/p/a.bmp", "/p/c.bmp", "/p/b.bmp"}));

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

TEST_F(WinApp, FileMenuShowsThePlaceholderOrTheNumberedEntries)
{
    ASSERT_TRUE(Shell({}));
    const std::vector<std::string> head = {"&New\tCtrl+N", "&Open...\tCtrl+O",
                                           "(grayed) &Save\tCtrl+S", "(grayed) Save &As...", "-"};
    auto menu = [&](std::vector<std::string> recent) {
        std::vector<std::string> all = head;
        all.insert(all.end(), recent.begin(), recent.end());
        all.insert(all.end(), {"-", "E&xit"});
        return all;
    };
    EXPECT_EQ(FileMenu(), menu({"(grayed) Recent File"}));

    // Two files of one name show the folder that tells them apart; '&' in a
    // name is shown, not taken as a mnemonic.
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
}

TEST_F(WinApp, ExitClosesTheMainWindowAndTheLoopEndsWithIt)
{
    ASSERT_TRUE(Shell({}));
    const HWND hwnd = Frame()->GetSafeHwnd();
    Command(ID_APP_EXIT);
    EXPECT_FALSE(IsWindow(hwnd));
    EXPECT_EQ(app->m_pMainWnd, nullptr);

    // From inside the loop, as from the menu.
    ASSERT_TRUE(Shell({}));
    QTimer::singleShot(0, [this] { Command(ID_APP_EXIT); });
    EXPECT_EQ(app->Run(), 0);
    EXPECT_EQ(AfxGetMainWnd(), nullptr);

    // Without a main window there is no loop to run.
    EXPECT_EQ(app->Run(), 0);
}

TEST(WinAppStart, NameComesFromTheStringsAndAFailedStartEndsAtOnce)
{
    uitest::ProgramResources resources;
    struct CFailingApp : CWinApp
    {
        BOOL InitInstance() override { return FALSE; }
        int Run() override
        {
            ran = true;
            return 0;
        }
        bool ran = false;
    } app;
    ASSERT_EQ(AfxGetApp(), &app);
    EXPECT_EQ(app.m_pszAppName, nullptr);
    char name[] = "pixmora";
    char* argv[] = {name, nullptr};
    EXPECT_NE(AfxWinMain(1, argv), 0);
    EXPECT_FALSE(app.ran);
    EXPECT_STREQ(app.m_pszAppName, "Pixmora");
    EXPECT_STREQ(AfxGetAppName(), "Pixmora");
}

} // namespace
