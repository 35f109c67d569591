// The single-document template behind the application: one document, frame
// and view made from their class records and reused; opening files from the
// command line, File > Open and after failures; and what the template owns.

#include "ui/DocTemplate.h"

#include "resources/Resources.h"
#include "ui/Dialog.h"
#include "ui/DocView.h"
#include "ui/MessageLoop.h"
#include "ui/WinApp.h"

#include <QDir>
#include <QSettings>
#include <QTemporaryDir>

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

constexpr char kTestAppName[] = "PixmoraDocTemplateTest";

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

class DocTemplate : public testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(files.isValid());
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, files.filePath("settings"));
        previous = AfxSetResourceProvider(&GetResourceProvider());
        previousName = AfxGetAppName();
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
        AfxSetResourceProvider(previous);
        AfxSetAppName(previousName.c_str());
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

    CTestDoc* Doc() const { return static_cast<CTestDoc*>(tmpl->GetDocument()); }
    CFrameWnd* Frame() const { return tmpl->GetFrame(); }
    std::vector<CView*> Views() const
    {
        std::vector<CView*> views;
        for (POSITION pos = Doc()->GetFirstViewPosition(); pos;)
            views.push_back(Doc()->GetNextView(pos));
        return views;
    }
    CTestView* View() const { return static_cast<CTestView*>(Views().at(0)); }
    std::string Caption() const
    {
        CString text;
        Frame()->GetWindowText(text);
        return text.GetString();
    }

    QTemporaryDir files;
    std::string pic, other, missing;
    std::vector<std::string> boxes;
    std::string chosen; // the file-open dialog's answer
    std::vector<std::string> filters;
    CModalHandlerScope modal{[this](ModalRequest& r) {
        if (r.kind != ModalKind::FileOpen) {
            boxes.emplace_back(r.text.GetString());
            return IDOK;
        }
        for (const CString& f : r.filters)
            filters.emplace_back(f.GetString());
        r.answer = chosen.c_str();
        return chosen.empty() ? IDCANCEL : IDOK;
    }};
    const ResourceProvider* previous = nullptr;
    std::string previousName;
    std::unique_ptr<CTestApp> app;
    CSingleDocTemplate* tmpl = nullptr; // owned by app
};

TEST_F(DocTemplate, NewThenOpensReuseTheOneDocumentFrameAndView)
{
    ASSERT_TRUE(Shell({}));
    CTestDoc* doc = Doc();
    CFrameWnd* frame = Frame();
    ASSERT_NE(doc, nullptr);
    ASSERT_NE(frame, nullptr);
    EXPECT_EQ(app->m_pMainWnd, frame);
    EXPECT_EQ(AfxGetMainWnd(), frame);
    EXPECT_TRUE(frame->IsWindowVisible());
    ASSERT_EQ(Views().size(), 1u);
    CTestView* view = View();
    EXPECT_EQ(frame->GetActiveView(), view);
    EXPECT_EQ(frame->GetActiveDocument(), doc);
    EXPECT_EQ(view->m_initialUpdates, 1);
    EXPECT_EQ(Caption(), "Untitled - Pixmora");

    EXPECT_EQ(Open(pic), doc);
    EXPECT_EQ(doc->m_bytes, "BMxy");
    EXPECT_EQ(std::string(doc->GetPathName()), pic);
    EXPECT_EQ(Caption(), "pic.bmp - Pixmora");
    EXPECT_EQ(app->GetRecentFileList().size(), 1u);
    EXPECT_EQ(view->m_initialUpdates, 2);

    EXPECT_EQ(Open(other), doc);
    app->OnFileNew();
    EXPECT_EQ(Doc(), doc);
    EXPECT_EQ(Frame(), frame);
    EXPECT_EQ(Views(), std::vector<CView*>{view});
    EXPECT_EQ(view->m_initialUpdates, 4);
    EXPECT_EQ(Caption(), "Untitled - Pixmora");
    EXPECT_TRUE(doc->GetPathName().IsEmpty());
    EXPECT_TRUE(doc->m_bytes.empty()); // New empties the one document
    const std::vector<CString> recent = app->GetRecentFileList();
    ASSERT_EQ(recent.size(), 2u);
    EXPECT_EQ(std::string(recent[0]), other);
    EXPECT_TRUE(boxes.empty());
}

TEST_F(DocTemplate, CommandLineFileThatCannotBeOpenedEndsWithoutAWindow)
{
    EXPECT_FALSE(Shell({missing.c_str()}));
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_NE(boxes[0].find(missing), std::string::npos) << boxes[0];
    // The frame made for it is gone, not merely hidden.
    EXPECT_EQ(Frame(), nullptr);
    EXPECT_EQ(app->GetMainWnd(), nullptr);
    EXPECT_TRUE(app->GetRecentFileList().empty());

    // The same template still works: a file that opens is the document.
    ASSERT_TRUE(Shell({pic.c_str()}));
    EXPECT_EQ(app->m_pMainWnd, Frame());
    EXPECT_EQ(Caption(), "pic.bmp - Pixmora");
    EXPECT_EQ(View()->m_initialUpdates, 1);
}

TEST_F(DocTemplate, FailedOpenKeepsAnUntouchedDocumentAndEmptiesAHalfReadOne)
{
    ASSERT_NE(Open(pic), nullptr);
    CTestDoc* doc = Doc();

    // Never opened: the shown document is as it was.
    EXPECT_EQ(Open(missing), nullptr);
    EXPECT_EQ(doc->m_bytes, "BMxy");
    EXPECT_EQ(std::string(doc->GetPathName()), pic);
    EXPECT_EQ(Caption(), "pic.bmp - Pixmora");
    EXPECT_EQ(View()->m_initialUpdates, 1);

    // A read error halfway: nothing half-read stays under the old name.
    doc->m_throwCause = CFileException::hardIO;
    EXPECT_EQ(Open(other), nullptr);
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_NE(boxes[1].find(other), std::string::npos) << boxes[1];
    EXPECT_EQ(Doc(), doc);
    EXPECT_TRUE(doc->m_bytes.empty());
    EXPECT_TRUE(doc->GetPathName().IsEmpty());
    EXPECT_EQ(Caption(), "Untitled - Pixmora");
    EXPECT_EQ(View()->m_initialUpdates, 2); // the view shows the empty document
    EXPECT_FALSE(doc->IsModified());
    EXPECT_EQ(app->GetRecentFileList().size(), 1u);
}

TEST_F(DocTemplate, FileOpenOffersTheTemplateFilterAndOpensTheChoice)
{
    ASSERT_TRUE(Shell({}));
    chosen = pic;
    app->m_pMainWnd->SendMessage(WM_COMMAND, ID_FILE_OPEN, 0);
    EXPECT_EQ(filters, (std::vector<std::string>{"Bitmap Files (*.bmp)", "All Files (*.*)"}));
    EXPECT_EQ(std::string(Doc()->GetPathName()), pic);
    EXPECT_EQ(Caption(), "pic.bmp - Pixmora");
}

TEST_F(DocTemplate, ClosedFrameIsRemadeForTheSameDocumentAndTheAppDeletesAll)
{
    ASSERT_TRUE(Shell({}));
    CTestDoc* doc = Doc();
    Frame()->DestroyWindow();
    PumpMessages();
    EXPECT_EQ(Frame(), nullptr);
    EXPECT_EQ(app->m_pMainWnd, nullptr);
    EXPECT_TRUE(Views().empty());

    ASSERT_EQ(Open(pic), doc);
    ASSERT_NE(Frame(), nullptr);
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

} // namespace
