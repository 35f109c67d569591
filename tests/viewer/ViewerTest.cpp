// The whole viewer as the user meets it: the application object started with
// or without a file, its one document, frame and view, driven by commands and
// mouse messages, with every modal box answered at once and recorded.

#include "BmpBytes.h"
#include "BmpSuite.h"
#include "app/PixmoraApp.h"
#include "docview/PixmoraDoc.h"
#include "docview/PixmoraView.h"
#include "frame/MainFrame.h"
#include "resources/Resources.h"
#include "ui/App.h"

#include <QSettings>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <fstream>
#include <memory>
#include <string>
#include <vector>

namespace {

// An 8-bit bitmap file whose two colours are `c0` and `c1` (as COLORREF),
// every pixel colour 0; a negative height stores the rows top-down.
std::vector<BYTE> TwoColourBitmap(LONG width, LONG height, COLORREF c0,
                                  COLORREF c1 = RGB(255, 255, 255))
{
    const DWORD stride = (static_cast<DWORD>(width) + 3) & ~3u;
    const DWORD rows = static_cast<DWORD>(height < 0 ? -height : height);
    const DWORD offset = 14 + 40 + 2 * 4;
    BmpBytes b;
    b.FileHeader(offset + stride * rows, offset).InfoHeader(width, height, 8, 0, 2);
    for (COLORREF c : {c0, c1})
        b.U8(static_cast<BYTE>(c >> 16))
            .U8(static_cast<BYTE>(c >> 8))
            .U8(static_cast<BYTE>(c))
            .U8(0);
    b.Fill(stride * rows, 0);
    return b.Vector();
}

class Viewer : public testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(files.isValid());
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, files.filePath("settings"));
        previousProvider = AfxSetResourceProvider(&GetResourceProvider());
        previousName = AfxGetAppName();
        app = std::make_unique<CPixmoraApp>();
        ASSERT_TRUE(app->InitApplication());
    }
    void TearDown() override
    {
        if (CWnd* main = app->GetMainWnd())
            main->DestroyWindow();
        PumpMessages();
        app.reset();
        AfxSetResourceProvider(previousProvider);
        AfxSetAppName(previousName.c_str());
    }

    BOOL Start(std::vector<CString> args = {})
    {
        app->SetCommandLine(std::move(args));
        const BOOL started = app->InitInstance();
        PumpMessages();
        return started;
    }
    std::string Write(const char* name, const std::vector<BYTE>& bytes)
    {
        const std::string path = files.filePath(name).toStdString();
        std::ofstream(path, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()),
                   static_cast<std::streamsize>(bytes.size()));
        return path;
    }
    void Open(const std::string& path)
    {
        ASSERT_NE(app->OpenDocumentFile(path.c_str()), nullptr) << path;
        PumpMessages();
    }

    CMainFrame* Frame() const { return static_cast<CMainFrame*>(app->GetMainWnd()); }
    CPixmoraView* View() const { return static_cast<CPixmoraView*>(Frame()->GetActiveView()); }
    CPixmoraDoc* Doc() const { return View()->GetDocument(); }
    CSize ScrollSize() const { return View()->GetTotalSize(); }
    void Command(UINT id)
    {
        SendMessageA(Frame()->GetSafeHwnd(), WM_COMMAND, id, 0);
        PumpMessages();
    }
    void Mouse(UINT message, int x, int y)
    {
        SendMessageA(View()->GetSafeHwnd(), message, message == WM_LBUTTONUP ? 0 : MK_LBUTTON,
                     MAKELPARAM(static_cast<WORD>(x), static_cast<WORD>(y)));
    }
    CString PaneZero() const { return Frame()->m_statusBar.GetPaneText(0); }
    std::vector<std::string> Boxes() const
    {
        std::vector<std::string> texts;
        for (const ModalRequest& r : shown)
            if (r.kind == ModalKind::MessageBox)
                texts.emplace_back(r.text.GetString());
        return texts;
    }

    QTemporaryDir files;
    std::vector<ModalRequest> shown;
    CModalHandlerScope modal{[this](ModalRequest& r) {
        shown.push_back(r);
        return IDOK;
    }};
    std::unique_ptr<CPixmoraApp> app;
    const ResourceProvider* previousProvider = nullptr;
    std::string previousName;
};

// ---- Start-up and the document's states ------------------------------------------

TEST_F(Viewer, StartsWithTheBlankPictureAndNoPalette)
{
    ASSERT_TRUE(Start());
    ASSERT_NE(Frame(), nullptr);
    ASSERT_NE(View(), nullptr);
    EXPECT_NE(Doc()->m_pDib, nullptr);
    EXPECT_EQ(Doc()->m_pDib->m_pInfo->bmiHeader.biWidth, 16);
    EXPECT_EQ(Doc()->m_pDib->m_pInfo->bmiHeader.biHeight, 16);
    EXPECT_EQ(Doc()->m_pPalette, nullptr);
    EXPECT_EQ(ScrollSize(), CSize(16, 16));
    EXPECT_EQ(View()->GetScale(), 1.0);
    EXPECT_TRUE(shown.empty());
}

TEST_F(Viewer, OpensAPalettedFileFromTheCommandLineAndNewDropsIt)
{
    const std::string pal8 = BmpSuitePath("g/pal8.bmp");
    ASSERT_TRUE(Start({CString(pal8.c_str())}));
    ASSERT_NE(Doc()->m_pPalette, nullptr);
    EXPECT_EQ(Doc()->m_pPalette->GetNumEntries(), 252);
    EXPECT_EQ(ScrollSize(), CSize(127, 64));
    EXPECT_TRUE(Boxes().empty());
    ASSERT_FALSE(app->GetRecentFileList().empty());

    Command(ID_FILE_NEW);
    EXPECT_EQ(Doc()->m_pPalette, nullptr);
    EXPECT_EQ(ScrollSize(), CSize(16, 16));
}

TEST_F(Viewer, AMissingFileOnTheCommandLineEndsStartUp)
{
    EXPECT_FALSE(Start({CString(files.filePath("gone.bmp").toUtf8().constData())}));
    EXPECT_EQ(app->GetMainWnd(), nullptr);
    EXPECT_EQ(shown.size(), 1u); // the framework's own report
}

TEST_F(Viewer, ARefusedFileLeavesTheBlankPictureAndTheEarlierPalette)
{
    ASSERT_TRUE(Start());
    Open(BmpSuitePath("g/pal8.bmp"));
    CDibPalette* earlier = Doc()->m_pPalette;
    ASSERT_NE(earlier, nullptr);
    Command(ID_VIEW_ENLARGE);

    Open(Write("junk.bmp", {'J', 'U', 'N', 'K', 0, 0, 0, 0}));
    EXPECT_EQ(Boxes(), std::vector<std::string>{"Failed to load image!"});
    EXPECT_EQ(Doc()->m_pPalette, earlier);
    EXPECT_EQ(ScrollSize(), CSize(16, 16));
    EXPECT_EQ(View()->GetScale(), 1.0);
    EXPECT_EQ(std::string(Doc()->GetTitle()), "junk.bmp");
}

TEST_F(Viewer, ATrueColourFileIsShownWithoutAPalette)
{
    ASSERT_TRUE(Start());
    Open(BmpSuitePath("g/pal8.bmp"));
    Open(BmpSuitePath("g/rgb24.bmp"));
    EXPECT_EQ(Boxes(), std::vector<std::string>{"Failed to create palette from DIB file"});
    EXPECT_EQ(Doc()->m_pPalette, nullptr);
    EXPECT_EQ(ScrollSize(), CSize(127, 64));
}

TEST_F(Viewer, SaveWritesNothingAndAsksNothing)
{
    ASSERT_TRUE(Start());
    Open(BmpSuitePath("g/pal8.bmp"));
    Command(ID_FILE_SAVE);
    Command(ID_FILE_SAVE_AS);
    EXPECT_TRUE(shown.empty());
}

// ---- Zoom ------------------------------------------------------------------------

TEST_F(Viewer, EnlargeAndShrinkScaleTheScrollableArea)
{
    ASSERT_TRUE(Start());
    Open(Write("100x80.bmp", TwoColourBitmap(100, 80, RGB(0, 0, 255))));
    EXPECT_EQ(ScrollSize(), CSize(100, 80));
    Command(ID_VIEW_ENLARGE);
    EXPECT_EQ(ScrollSize(), CSize(200, 160));
    Command(ID_VIEW_SHRINK);
    Command(ID_VIEW_SHRINK);
    EXPECT_EQ(ScrollSize(), CSize(50, 40));
    EXPECT_EQ(View()->GetScale(), 0.5);

    // Odd sizes lose the fraction, as the drawing does.
    Open(Write("75x33.bmp", TwoColourBitmap(75, 33, RGB(0, 0, 255))));
    Command(ID_VIEW_SHRINK);
    EXPECT_EQ(ScrollSize(), CSize(37, 16));
}

TEST_F(Viewer, ATopDownPictureScrollsOverItsRealHeight)
{
    ASSERT_TRUE(Start());
    Open(BmpSuitePath("g/pal8topdown.bmp"));
    EXPECT_EQ(ScrollSize(), CSize(127, 64));
    Command(ID_VIEW_SHRINK);
    EXPECT_EQ(ScrollSize(), CSize(63, 32));
}

TEST_F(Viewer, ZoomStopsAtItsBoundsAndSizesStayInRange)
{
    ASSERT_TRUE(Start());
    Open(Write("wide.bmp", TwoColourBitmap(4096, 1, RGB(0, 0, 255))));
    for (int i = 0; i < 25; ++i)
        Command(ID_VIEW_ENLARGE);
    EXPECT_EQ(View()->GetScale(), CPixmoraView::kMaxScale);
    EXPECT_EQ(ScrollSize(), CSize(INT_MAX, 1 << 20));

    for (int i = 0; i < 45; ++i)
        Command(ID_VIEW_SHRINK);
    EXPECT_EQ(View()->GetScale(), CPixmoraView::kMinScale);
    EXPECT_EQ(ScrollSize(), CSize(0, 0));
    Command(ID_VIEW_ENLARGE);
    EXPECT_EQ(View()->GetScale(), 2 * CPixmoraView::kMinScale);
}

// ---- Pixel read-out --------------------------------------------------------------

TEST_F(Viewer, ThePressShowsTheColourUnderTheMouseUntilRelease)
{
    ASSERT_TRUE(Start());
    Open(Write("red.bmp", TwoColourBitmap(40, 30, RGB(255, 0, 0))));
    View()->UpdateWindow();

    Mouse(WM_LBUTTONDOWN, 5, 5);
    EXPECT_EQ(std::string(PaneZero()), "RGB(255, 0, 0)");
    // Beyond the picture the view's white background shows.
    Mouse(WM_MOUSEMOVE, 60, 5);
    EXPECT_EQ(std::string(PaneZero()), "RGB(255, 255, 255)");
    // Outside the client area the platform's invalid colour reads as white too.
    Mouse(WM_MOUSEMOVE, 5, 5);
    Mouse(WM_MOUSEMOVE, -3, -3);
    EXPECT_EQ(std::string(PaneZero()), "RGB(255, 255, 255)");
    Mouse(WM_LBUTTONUP, -3, -3);
    Mouse(WM_MOUSEMOVE, 5, 5);
    EXPECT_EQ(std::string(PaneZero()), "RGB(255, 255, 255)");
}

TEST(PixelColorText, TakesTheLowThreeBytesOnly)
{
    EXPECT_EQ(std::string(FormatPixelColor(RGB(255, 0, 0))), "RGB(255, 0, 0)");
    EXPECT_EQ(std::string(FormatPixelColor(0x02030405)), "RGB(5, 4, 3)");
    EXPECT_EQ(std::string(FormatPixelColor(CLR_INVALID)), "RGB(255, 255, 255)");
}

// ---- Frame, dialogs ----------------------------------------------------------------

TEST_F(Viewer, TheFrameHasItsBarsAndPanes)
{
    ASSERT_TRUE(Start());
    CStatusBar& status = Frame()->m_statusBar;
    ASSERT_EQ(status.GetCount(), 4);
    EXPECT_EQ(status.GetItemID(0), ID_SEPARATOR);
    EXPECT_EQ(status.GetItemID(1), ID_INDICATOR_CAPS);
    EXPECT_EQ(status.GetItemID(2), ID_INDICATOR_NUM);
    EXPECT_EQ(status.GetItemID(3), ID_INDICATOR_SCRL);

    CControlBar* toolBar = Frame()->GetControlBar(AFX_IDW_TOOLBAR);
    ASSERT_NE(toolBar, nullptr);
    EXPECT_TRUE(toolBar->IsVisible());
    const DWORD want = CBRS_TOOLTIPS | CBRS_FLYBY | CBRS_SIZE_DYNAMIC | CBRS_ALIGN_TOP;
    EXPECT_EQ(toolBar->GetBarStyle() & want, want);
    EXPECT_EQ(toolBar->GetDockingStyle(), CBRS_ALIGN_ANY);
}

TEST_F(Viewer, AFrameWithoutAViewAnswersNoToThePaletteQuery)
{
    auto* frame = static_cast<CMainFrame*>(RUNTIME_CLASS(CMainFrame)->CreateObject());
    ASSERT_TRUE(frame->LoadFrame(IDR_MAINFRAME));
    EXPECT_EQ(SendMessageA(frame->GetSafeHwnd(), WM_QUERYNEWPALETTE, 0, 0), 0);
    frame->DestroyWindow(); // the frame deletes itself with its window
}

TEST_F(Viewer, PaletteAndAboutCommandsOpenTheirDialogs)
{
    ASSERT_TRUE(Start());
    Open(BmpSuitePath("g/pal8.bmp"));
    std::vector<std::string> captions;
    CModalHandlerScope reader([&](ModalRequest& r) {
        shown.push_back(r);
        CString caption;
        CWnd::FromHandle(r.hWnd)->GetWindowText(caption);
        captions.emplace_back(caption.GetString());
        return IDOK;
    });
    Command(ID_VIEW_DIB_PALETTE);
    Command(ID_VIEW_CURRENT_PALETTE);
    Command(ID_APP_ABOUT);
    ASSERT_EQ(shown.size(), 3u);
    EXPECT_EQ(shown[0].type, IDD_PALETTE);
    EXPECT_EQ(shown[1].type, IDD_PALETTE);
    EXPECT_EQ(shown[2].type, IDD_ABOUTBOX);
    EXPECT_EQ(captions,
              (std::vector<std::string>{"View Palette", "View Palette", "About Pixmora"}));
}

TEST_F(Viewer, ThePaletteDialogReadsOutTheSwatchUnderTheMouse)
{
    ASSERT_TRUE(Start());
    Open(Write("red.bmp", TwoColourBitmap(40, 30, RGB(255, 0, 0))));
    std::vector<std::string> captions;
    CModalHandlerScope reader([&](ModalRequest& r) {
        CWnd* dlg = CWnd::FromHandle(r.hWnd);
        dlg->ShowWindow(SW_SHOW);
        PumpMessages();
        dlg->UpdateWindow();
        // Inside the first swatch, just within the etched frame.
        SendMessageA(r.hWnd, WM_MOUSEMOVE, 0, MAKELPARAM(20, 17));
        CString caption;
        dlg->GetWindowText(caption);
        captions.emplace_back(caption.GetString());
        return IDOK;
    });
    Command(ID_VIEW_DIB_PALETTE);
    Command(ID_VIEW_CURRENT_PALETTE);
    ASSERT_EQ(captions.size(), 2u);
    EXPECT_EQ(captions[0], "RGB(255, 0, 0)");
    // Without a palette the frame is empty: whatever shows there, it is no swatch.
    EXPECT_NE(captions[1], "RGB(255, 0, 0)");
    EXPECT_EQ(captions[1].rfind("RGB(", 0), 0u);
}

} // namespace
