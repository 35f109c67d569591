// The application object: the recent-file list, kept in the user's settings
// and shown in the File menu; File > Open through the modal seam; the command
// line; and the program ending with its main window.

#include "ui/WinApp.h"

#include "FrameHost.h"
#include "UiTestSupport.h"
#include "resources/Resources.h"
#include "ui/Dialog.h"
#include "ui/Frame.h"

#include <QDir>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QSettings>
#include <QTemporaryDir>
#include <QTimer>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// A name no real program uses, so that even a stray write lands elsewhere.
constexpr char kTestAppName[] = "PixmoraWinAppTest";

// OpenDocumentFile's success is an address only; nothing reads it.
CDocument* OpenedDocument()
{
    static int token;
    return reinterpret_cast<CDocument*>(&token);
}

// Maps New and Open the way the program does; opening succeeds or fails on
// request and, like the document template, lists what it opened.
class CTestApp : public CWinApp
{
public:
    CTestApp() : CWinApp(kTestAppName) {}

    CDocument* OpenDocumentFile(LPCSTR lpszFileName) override
    {
        opened.emplace_back(lpszFileName);
        if (!openSucceeds)
            return nullptr;
        AddToRecentFileList(lpszFileName);
        return OpenedDocument();
    }
    void OnFileNew() override
    {
        auto* frame = new CFrameWnd;
        if (frame->LoadFrame(IDR_MAINFRAME))
            m_pMainWnd = frame;
        else
            delete frame;
    }

    std::vector<std::string> opened;
    bool openSucceeds = true;

protected:
    CString GetDocTemplateString() const override { return AfxLoadString(IDR_MAINFRAME); }
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
        // Lives until the process ends; each test keeps its settings apart.
        static QTemporaryDir root;
        ASSERT_TRUE(root.isValid());
        const QString dir = root.filePath(QString::number(++s_count));
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, dir);
        previous = AfxSetResourceProvider(&GetResourceProvider());
        previousName = AfxGetAppName();
        app = std::make_unique<CTestApp>();
        app->LoadStdProfileSettings(4);
    }
    void TearDown() override
    {
        if (CWnd* main = app->GetMainWnd())
            main->DestroyWindow();
        PumpMessages();
        app.reset();
        AfxSetResourceProvider(previous);
        AfxSetAppName(previousName.c_str()); // message boxes elsewhere go by it
    }

    CFrameWnd* MakeMainFrame()
    {
        app->OnFileNew();
        return static_cast<CFrameWnd*>(app->m_pMainWnd);
    }
    // The File menu as shown: the visible items, grayed ones marked.
    static std::vector<std::string> FileMenu(CFrameWnd* frame)
    {
        QMenu* menu = FrameHostOf(frame)->MainWindow()->menuBar()->actions().at(0)->menu();
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
    void Command(UINT id) { app->m_pMainWnd->SendMessage(WM_COMMAND, id, 0); }
    std::vector<std::string> Recent() const
    {
        std::vector<std::string> paths;
        for (const CString& path : app->GetRecentFileList())
            paths.emplace_back(path.GetString());
        return paths;
    }

    static inline int s_count = 0;
    const ResourceProvider* previous = nullptr;
    std::string previousName;
    std::unique_ptr<CTestApp> app;
};

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
    CFrameWnd* frame = MakeMainFrame();
    ASSERT_NE(frame, nullptr);
    const std::vector<std::string> head = {"&New\tCtrl+N", "&Open...\tCtrl+O",
                                           "(grayed) &Save\tCtrl+S", "(grayed) Save &As...", "-"};
    auto menu = [&](std::vector<std::string> recent) {
        std::vector<std::string> all = head;
        all.insert(all.end(), recent.begin(), recent.end());
        all.insert(all.end(), {"-", "E&xit"});
        return all;
    };
    EXPECT_EQ(FileMenu(frame), menu({"(grayed) Recent File"}));

    // Two files of one name show the folder that tells them apart; '&' in a
    // name is shown, not taken as a mnemonic.
    for (const char* path : {"/p/old.bmp", "/p/one/x.bmp", "/p/two/x.bmp", "/p/R&D.bmp", "/q.bmp"})
        app->AddToRecentFileList(path);
    EXPECT_EQ(FileMenu(frame), menu({"&1 q.bmp", "&2 R&&D.bmp", "&3 two/x.bmp", "&4 one/x.bmp"}));

    // Entries send their own commands; a failed open drops the entry.
    app->openSucceeds = false;
    QMenu* file = FrameHostOf(frame)->MainWindow()->menuBar()->actions().at(0)->menu();
    file->actions().at(7)->trigger(); // the third entry
    EXPECT_EQ(app->opened, (std::vector<std::string>{"/p/two/x.bmp"}));
    EXPECT_EQ(FileMenu(frame), menu({"&1 q.bmp", "&2 R&&D.bmp", "&3 x.bmp"}));

    app->openSucceeds = true;
    Command(ID_FILE_MRU_FILE1 + 2);
    EXPECT_EQ(Recent().front(), "/p/one/x.bmp"); // opened, so first again
    Command(ID_FILE_MRU_FILE4);                  // no fourth entry: nothing to open
    EXPECT_EQ(app->opened.size(), 2u);
}

TEST_F(WinApp, CancelledFileOpenOpensNothingEvenWithANameTyped)
{
    CModalHandlerScope scope([](ModalRequest& r) {
        r.answer = "/p/pic.bmp";
        return IDCANCEL;
    });
    MakeMainFrame();
    Command(ID_FILE_OPEN);
    EXPECT_TRUE(app->opened.empty());
}

TEST_F(WinApp, CommandLineNamesTheFileToOpenOrAsksForNew)
{
    auto parse = [&](std::vector<CString> args) {
        app->SetCommandLine(std::move(args));
        auto info = std::make_unique<CCommandLineInfo>();
        app->ParseCommandLine(*info);
        return info;
    };
    EXPECT_EQ(parse({})->m_nShellCommand, CCommandLineInfo::FileNew);
    auto info = parse({"-x", "/p/a.bmp", "b.bmp"}); // options skipped, first file wins
    EXPECT_EQ(info->m_nShellCommand, CCommandLineInfo::FileOpen);
    EXPECT_EQ(info->m_strFileName, "/p/a.bmp");

    app->openSucceeds = false;
    EXPECT_FALSE(app->ProcessShellCommand(*info));
    EXPECT_EQ(app->opened, (std::vector<std::string>{"/p/a.bmp"}));
    // New counts as done only when it left a main window.
    EXPECT_TRUE(app->ProcessShellCommand(*parse({})));
    EXPECT_NE(app->m_pMainWnd, nullptr);
}

TEST_F(WinApp, ExitClosesTheMainWindowAndTheLoopEndsWithIt)
{
    CFrameWnd* frame = MakeMainFrame();
    const HWND hwnd = frame->GetSafeHwnd();
    Command(ID_APP_EXIT);
    EXPECT_FALSE(IsWindow(hwnd));
    EXPECT_EQ(app->m_pMainWnd, nullptr);

    // From inside the loop, as from the menu.
    frame = MakeMainFrame();
    frame->ShowWindow(SW_SHOW);
    QTimer::singleShot(0, [this] { Command(ID_APP_EXIT); });
    EXPECT_EQ(app->Run(), 0);
    EXPECT_EQ(AfxGetMainWnd(), nullptr);

    // Without a main window there is no loop to run.
    EXPECT_EQ(app->Run(), 0);
}

TEST(WinAppStart, NameComesFromTheStringsAndAFailedStartEndsAtOnce)
{
    const ResourceProvider* previous = AfxSetResourceProvider(&GetResourceProvider());
    const std::string previousName = AfxGetAppName();
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
    AfxSetResourceProvider(previous);
    AfxSetAppName(previousName.c_str());
}

} // namespace
