// The way to an open document: text into the toolkit, the Open dialog, failures, the command line.

#include "Hwnd.h"
#include "resources/Resources.h"
#include "ui/DocTemplate.h"
#include "ui/DocView.h"
#include "ui/MessageLoop.h"
#include "ui/Modal.h"
#include "ui/WinApp.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QSettings>
#include <QTemporaryDir>
#include <QTimer>

#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <memory>
#include <new>
#include <string>
#include <vector>

namespace {

// Keeps the first bytes of its file; a file starting "MEM" runs it out of memory.
class CBytesDoc : public CDocument
{
    DECLARE_DYNCREATE(CBytesDoc)

public:
    void Serialize(CArchive& ar) override
    {
        ar.Flush();
        char buffer[3] = {};
        m_bytes.assign(buffer, ar.GetFile()->Read(buffer, sizeof buffer));
        if (m_bytes == "MEM")
            throw std::bad_alloc();
    }
    std::string m_bytes;
};
IMPLEMENT_DYNCREATE(CBytesDoc, CDocument)

class CBlankView : public CView
{
    DECLARE_DYNCREATE(CBlankView)

protected:
    void OnDraw(CDC*) override {}
};
IMPLEMENT_DYNCREATE(CBlankView, CView)

// One template over the document above; every message box is recorded and answered at once.
class OpenPath : public testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(files.isValid());
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, files.filePath("settings"));
        previous = AfxSetResourceProvider(&GetResourceProvider());
        app = std::make_unique<CWinApp>("PixmoraOpenPathTest");
        tmpl = new CSingleDocTemplate(IDR_MAINFRAME, RUNTIME_CLASS(CBytesDoc),
                                      RUNTIME_CLASS(CFrameWnd), RUNTIME_CLASS(CBlankView));
        app->AddDocTemplate(tmpl);
    }
    void TearDown() override
    {
        if (CWnd* main = app->GetMainWnd())
            main->DestroyWindow();
        app.reset();
        PumpMessages();
        AfxSetResourceProvider(previous);
    }
    std::string Write(const char* name, const char* bytes)
    {
        const std::string path = files.filePath(name).toStdString();
        std::ofstream(path, std::ios::binary) << bytes;
        return path;
    }
    CBytesDoc* Doc() const { return static_cast<CBytesDoc*>(tmpl->GetDocument()); }
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
    std::vector<ModalRequest> shown;
    CModalHandlerScope modal{[this](ModalRequest& r) {
        shown.push_back(r);
        return IDCANCEL;
    }};
    const ResourceProvider* previous = nullptr;
    std::unique_ptr<CWinApp> app;
    CSingleDocTemplate* tmpl = nullptr; // owned by app
};

// A failed open names the file and why; the window stays and the next open works.
TEST_F(OpenPath, AFailedOpenSaysWhyAndTheNextOneWorks)
{
    const std::string good = Write("good.bmp", "BMx");
    ASSERT_NE(app->OpenDocumentFile(good.c_str()), nullptr);
    const struct
    {
        std::string path;
        const char* why;
    } cases[] = {
        {Write("big.bmp", "MEM"), " could not be opened: there is not enough memory."},
        {files.path().toStdString(), " is a folder, not a file."},
    };
    for (const auto& c : cases) {
        shown.clear();
        EXPECT_EQ(app->OpenDocumentFile(c.path.c_str()), nullptr);
        ASSERT_EQ(shown.size(), 1u);
        EXPECT_EQ(shown[0].text, CString((c.path + c.why).c_str()));
        ASSERT_NE(app->GetMainWnd(), nullptr);
        EXPECT_NE(app->OpenDocumentFile(good.c_str()), nullptr);
        EXPECT_EQ(Doc()->m_bytes, "BMx");
    }
}

// A caption shows the program's UTF-8 text as written.
TEST(ToolkitText, ProgramTextReachesTheToolkitAsUtf8)
{
    const char* title = "caf\xC3\xA9.bmp - Pixmora";
    CWnd wnd;
    ASSERT_TRUE(
        wnd.CreateEx(0, nullptr, title, WS_OVERLAPPEDWINDOW, CRect(0, 0, 80, 60), nullptr, 0));
    EXPECT_EQ(WidgetOf(wnd)->windowTitle(), QString::fromUtf8(title));
    wnd.SetWindowText("\xC3\xBC");
    EXPECT_EQ(WidgetOf(wnd)->windowTitle(), QString(QChar(0xFC)));
    wnd.DestroyWindow();
}

// The dialog starts in the working folder, then the document's; a bare name gets the extension.
TEST_F(OpenPath, TheOpenDialogStartsInTheDocumentsFolderAndAddsTheExtension)
{
    QString folder;
    OpenThroughTheDialog([&](QFileDialog* dialog) { folder = dialog->directory().path(); });
    EXPECT_EQ(folder, QDir::currentPath());
    ASSERT_TRUE(QDir(files.path()).mkdir("inner"));
    ASSERT_NE(app->OpenDocumentFile(Write("inner/in.bmp", "BMi").c_str()), nullptr);
    const std::string pic = Write("inner/pic.bmp", "BMp");
    OpenThroughTheDialog([&](QFileDialog* dialog) {
        folder = dialog->directory().path();
        dialog->findChild<QLineEdit*>("fileNameEdit")->setText("pic");
        // Later, so that a refusal's own box finds the driver free.
        QTimer::singleShot(0, dialog, [dialog] { static_cast<QDialog*>(dialog)->accept(); });
    });
    EXPECT_EQ(folder, files.filePath("inner"));
    EXPECT_EQ(Doc()->GetPathName(), CString(pic.c_str()));
}

// "--" ends the options; files after the first are named on standard error.
TEST_F(OpenPath, DoubleDashEndsTheOptionsAndExtraFilesAreNamed)
{
    app->SetCommandLine({"-x", "--", "-dash.bmp", "--", "b.bmp"});
    CCommandLineInfo info;
    testing::internal::CaptureStderr();
    app->ParseCommandLine(info);
    const std::string said = testing::internal::GetCapturedStderr();
    EXPECT_EQ(info.m_nShellCommand, CCommandLineInfo::FileOpen);
    EXPECT_EQ(info.m_strFileName, "-dash.bmp");
    for (const char* name : {"'--'", "'b.bmp'"})
        EXPECT_NE(said.find(name), std::string::npos) << said;
}

} // namespace
