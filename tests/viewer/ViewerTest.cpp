// The whole viewer as the user meets it: start-up, the document's states,
// zoom, the read-out, the palette dialog and the palette notices.

#include "BmpBytes.h"
#include "BmpSuite.h"
#include "Hwnd.h"
#include "PaletteRecord.h"
#include "ViewerFixture.h"

#include <QTest>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <numeric>
#include <set>
#include <string>
#include <vector>

namespace {

// A bitmap file of `bits` (4 or 8) per pixel whose colour table is `colours`
// with a used-colour count of 0, every pixel colour 0.
std::vector<BYTE> PalettedBitmap(WORD bits, const std::vector<COLORREF>& colours, LONG width = 8,
                                 LONG height = 8)
{
    const DWORD stride = (static_cast<DWORD>(width) * bits / 8 + 3) & ~3u;
    const DWORD offset = 14 + 40 + static_cast<DWORD>(colours.size()) * 4;
    const DWORD size = stride * static_cast<DWORD>(height);
    BmpBytes b;
    b.FileHeader(offset + size, offset).InfoHeader(width, height, bits, 0, 0);
    for (COLORREF c : colours)
        b.U8(GetBValue(c)).U8(GetGValue(c)).U8(GetRValue(c)).U8(0);
    b.Fill(size, 0);
    return b.Vector();
}

// An 8-bit picture all of colour `c`.
std::vector<BYTE> OneColour(LONG width, LONG height, COLORREF c)
{
    return PalettedBitmap(8, {c, RGB(255, 255, 255)}, width, height);
}

// `count` colours along a green-to-red ramp: none of them grey, so none
// can pass for an empty swatch frame.
std::vector<COLORREF> Ramp(int count, BYTE blue)
{
    std::vector<COLORREF> colours;
    for (int i = 0; i < count; ++i) {
        const auto red = static_cast<BYTE>(i * 255 / (count - 1));
        colours.push_back(RGB(red, 255 - red, blue));
    }
    return colours;
}

std::string SamplePath(const char* name)
{
    return std::string(PIXMORA_SAMPLES_DIR) + "/" + name;
}

using viewertest::Viewer;

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

TEST_F(Viewer, SaveSaveAsAndCtrlSWriteNothingAndAskNothing)
{
    ASSERT_TRUE(Start());
    const std::vector<BYTE> bytes = OneColour(10, 10, RGB(0, 0, 255));
    const std::string path = Write("kept.bmp", bytes);
    Open(path);
    auto listing = [&] {
        std::set<std::pair<std::string, std::filesystem::file_time_type>> entries;
        for (const auto& e :
             std::filesystem::recursive_directory_iterator(files.path().toStdString()))
            entries.emplace(e.path().string(), e.last_write_time());
        return entries;
    };
    const auto before = listing();
    // A file dialog, were one shown, would name a file that must not appear.
    const std::string elsewhere = files.filePath("copy.bmp").toStdString();
    CModalHandlerScope saver([&](ModalRequest& r) {
        shown.push_back(r);
        r.answer = elsewhere.c_str();
        return IDOK;
    });

    Command(ID_FILE_SAVE);
    Command(ID_FILE_SAVE_AS);
    QTest::keyClick(WidgetOf(View()->GetSafeHwnd()), Qt::Key_S, Qt::ControlModifier);
    PumpMessages();

    EXPECT_TRUE(shown.empty());
    EXPECT_EQ(listing(), before);
    std::ifstream in(path, std::ios::binary);
    EXPECT_EQ(std::vector<BYTE>(std::istreambuf_iterator<char>(in), {}), bytes);
}

TEST_F(Viewer, FileOpenAndTheRecentFileListOpenTheChosenFile)
{
    ASSERT_TRUE(Start());
    const std::string first = Write("first.bmp", OneColour(30, 20, RGB(0, 0, 255)));
    const std::string second = Write("second.bmp", OneColour(50, 40, RGB(0, 0, 255)));
    std::string answer;
    std::vector<ModalKind> asked;
    CModalHandlerScope chooser([&](ModalRequest& r) {
        asked.push_back(r.kind);
        r.answer = answer.c_str();
        return answer.empty() ? IDCANCEL : IDOK;
    });

    answer = first;
    Command(ID_FILE_OPEN);
    EXPECT_EQ(std::string(Doc()->GetTitle()), "first.bmp");
    EXPECT_EQ(ScrollSize(), CSize(30, 20));
    answer = second;
    Command(ID_FILE_OPEN);
    EXPECT_EQ(ScrollSize(), CSize(50, 40));
    answer.clear(); // cancelled: the document stays
    Command(ID_FILE_OPEN);
    EXPECT_EQ(std::string(Doc()->GetTitle()), "second.bmp");
    EXPECT_EQ(asked, std::vector<ModalKind>(3, ModalKind::FileOpen));

    // The most recent file comes first in the list.
    Command(ID_FILE_MRU_FILE1 + 1);
    EXPECT_EQ(std::string(Doc()->GetTitle()), "first.bmp");
    EXPECT_EQ(ScrollSize(), CSize(30, 20));
    Command(ID_FILE_NEW);
    Command(ID_FILE_MRU_FILE1);
    EXPECT_EQ(std::string(Doc()->GetTitle()), "first.bmp");
    EXPECT_EQ(ScrollSize(), CSize(30, 20));
    EXPECT_EQ(asked.size(), 3u);
    EXPECT_TRUE(Boxes().empty());
}

TEST_F(Viewer, EditCommandsAndPrintAreDisabled)
{
    ASSERT_TRUE(Start());
    Open(SamplePath("sample.bmp"));
    auto enabled = [&](UINT id) {
        CCmdUI state;
        state.m_nID = id;
        state.DoUpdate(Frame(), TRUE);
        return state.m_bEnabled;
    };
    for (UINT id : {ID_EDIT_UNDO, ID_EDIT_CUT, ID_EDIT_COPY, ID_EDIT_PASTE, ID_FILE_PRINT})
        EXPECT_FALSE(enabled(id)) << id;
    for (UINT id : {ID_FILE_OPEN, ID_FILE_SAVE, ID_VIEW_ENLARGE, ID_VIEW_DIB_PALETTE})
        EXPECT_TRUE(enabled(id)) << id;
}

// ---- Zoom ------------------------------------------------------------------------

TEST_F(Viewer, EnlargeAndShrinkScaleTheScrollableArea)
{
    ASSERT_TRUE(Start());
    Open(Write("100x80.bmp", OneColour(100, 80, RGB(0, 0, 255))));
    EXPECT_EQ(ScrollSize(), CSize(100, 80));
    Command(ID_VIEW_ENLARGE);
    EXPECT_EQ(ScrollSize(), CSize(200, 160));
    Command(ID_VIEW_SHRINK);
    Command(ID_VIEW_SHRINK);
    EXPECT_EQ(ScrollSize(), CSize(50, 40));
    EXPECT_EQ(View()->GetScale(), 0.5);

    // Odd sizes lose the fraction, as the drawing does.
    Open(Write("75x33.bmp", OneColour(75, 33, RGB(0, 0, 255))));
    Command(ID_VIEW_SHRINK);
    EXPECT_EQ(ScrollSize(), CSize(37, 16));
    // A top-down picture scrolls over its real height.
    Open(BmpSuitePath("g/pal8topdown.bmp"));
    Command(ID_VIEW_SHRINK);
    EXPECT_EQ(ScrollSize(), CSize(63, 32));
}

TEST_F(Viewer, ZoomStopsAtItsBoundsAndSizesStayInRange)
{
    ASSERT_TRUE(Start());
    Open(Write("wide.bmp", OneColour(4096, 1, RGB(0, 0, 255))));
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
    Open(Write("red.bmp", OneColour(40, 30, RGB(255, 0, 0))));
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

TEST_F(Viewer, PaletteAndAboutCommandsOpenTheirDialogsAndTheSwatchesReadOut)
{
    ASSERT_TRUE(Start());
    Open(Write("red.bmp", OneColour(40, 30, RGB(255, 0, 0))));
    std::vector<std::string> captions; // on opening, then after the mouse move
    CModalHandlerScope reader([&](ModalRequest& r) {
        shown.push_back(r);
        CWnd* dlg = CWnd::FromHandle(r.hWnd);
        auto caption = [&] {
            CString text;
            dlg->GetWindowText(text);
            captions.emplace_back(text.GetString());
        };
        caption();
        dlg->ShowWindow(SW_SHOW);
        PumpMessages();
        dlg->UpdateWindow();
        // Inside the first swatch, just within the etched frame.
        SendMessageA(r.hWnd, WM_MOUSEMOVE, 0, MAKELPARAM(20, 17));
        caption();
        return IDOK;
    });
    Command(ID_VIEW_DIB_PALETTE);
    Command(ID_VIEW_CURRENT_PALETTE);
    Command(ID_APP_ABOUT);
    ASSERT_EQ(shown.size(), 3u);
    EXPECT_EQ(shown[0].type, IDD_PALETTE);
    EXPECT_EQ(shown[1].type, IDD_PALETTE);
    EXPECT_EQ(shown[2].type, IDD_ABOUTBOX);
    ASSERT_EQ(captions.size(), 6u);
    EXPECT_EQ(captions[0], "View Palette");
    EXPECT_EQ(captions[1], "RGB(255, 0, 0)");
    EXPECT_EQ(captions[2], "View Palette");
    // Without a palette the frame is empty: whatever shows there, it is no swatch.
    EXPECT_NE(captions[3], "RGB(255, 0, 0)");
    EXPECT_EQ(captions[3].rfind("RGB(", 0), 0u);
    EXPECT_EQ(captions[4], "About Pixmora");
}

TEST_F(Viewer, APaletteDialogShowsOneSwatchPerPaletteEntry)
{
    ASSERT_TRUE(Start());
    // The colour at the middle of every grid cell of the swatch frame.
    std::vector<std::vector<COLORREF>> grids;
    CModalHandlerScope reader([&](ModalRequest& r) {
        CWnd* dlg = CWnd::FromHandle(r.hWnd);
        dlg->ShowWindow(SW_SHOW);
        PumpMessages();
        dlg->UpdateWindow();
        CWnd* frame = dlg->GetDlgItem(IDC_PALETTE_SWATCH);
        CRect area;
        frame->GetClientRect(&area);
        CDC* dc = frame->GetDC();
        std::vector<COLORREF> cells;
        for (int row = 0; row < 16; ++row)
            for (int column = 0; column < 16; ++column)
                cells.push_back(dc->GetPixel((2 * column + 1) * area.Width() / 32,
                                             (2 * row + 1) * area.Height() / 32));
        frame->ReleaseDC(dc);
        grids.push_back(cells);
        return IDOK;
    });
    Command(ID_VIEW_CURRENT_PALETTE);
    Open(Write("256.bmp", PalettedBitmap(8, Ramp(256, 40))));
    Command(ID_VIEW_DIB_PALETTE);
    Command(ID_VIEW_CURRENT_PALETTE);
    Open(Write("16.bmp", PalettedBitmap(4, Ramp(16, 90))));
    Command(ID_VIEW_DIB_PALETTE);
    ASSERT_EQ(grids.size(), 4u);

    // A cell holds a swatch when it differs from the empty frame.
    const std::vector<COLORREF>& empty = grids[0];
    auto swatches = [&](const std::vector<COLORREF>& cells) {
        std::vector<int> at;
        for (size_t i = 0; i < cells.size(); ++i)
            if (cells[i] != empty[i])
                at.push_back(static_cast<int>(i));
        return at;
    };
    EXPECT_EQ(std::set<COLORREF>(empty.begin(), empty.end()).size(), 1u);
    EXPECT_EQ(swatches(grids[1]).size(), 256u);
    EXPECT_TRUE(swatches(grids[2]).empty()); // Current Palette, with a palette loaded
    std::vector<int> topRow(16);
    std::iota(topRow.begin(), topRow.end(), 0);
    EXPECT_EQ(swatches(grids[3]), topRow);
    EXPECT_EQ(grids[3][0], RGB(0, 255, 90));
    EXPECT_EQ(grids[3][15], RGB(255, 0, 90));
}

TEST_F(Viewer, ATopDownSampleIsShownUpright)
{
    ASSERT_TRUE(Start());
    Open(SamplePath("sample-topdown.bmp"));
    View()->UpdateWindow();
    CDC* dc = View()->GetDC();
    // 96 x 128: the arrow's head widens downwards from row 16 to row 63, its
    // shaft, 21 pixels wide, runs on to row 111.
    const COLORREF shaft = dc->GetPixel(48, 100);
    const COLORREF beside = dc->GetPixel(78, 100);
    const COLORREF headWide = dc->GetPixel(78, 60);
    const COLORREF aboveTip = dc->GetPixel(48, 8);
    const COLORREF nearTip = dc->GetPixel(48, 20);
    View()->ReleaseDC(dc);
    EXPECT_NE(shaft, beside);
    EXPECT_EQ(headWide, shaft);
    EXPECT_EQ(nearTip, shaft);
    EXPECT_EQ(aboveTip, beside);
}

// A palette realisation that maps entries, as the platform reports it.
std::vector<UINT> g_mapped;
PALETTEREALIZEDPROC g_notice = nullptr;

// A window inside the frame that records the palette notices reaching it.
class CNoticeSpy : public CWnd
{
public:
    std::vector<HWND> m_named;

protected:
    void OnPaletteChanged(CWnd* pFocusWnd) { m_named.push_back(pFocusWnd->GetSafeHwnd()); }

    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CNoticeSpy, CWnd)
    ON_WM_PALETTECHANGED()
END_MESSAGE_MAP()

void RecordRealisation(HDC hdc, UINT mapped)
{
    g_mapped.push_back(mapped);
    if (g_notice)
        g_notice(hdc, mapped);
}

// Another program realises its own palette in the foreground, taking the
// free slots of the system palette from whoever held them; returns the
// entries it mapped.
UINT TakeSystemPalette()
{
    HPALETTE other = MakePalette(4, [](int i) {
        return PALETTEENTRY{3, static_cast<BYTE>(100 + i), 211, 0};
    });
    CSurface surface(2, 2);
    HDC dc = CreateSurfaceDC(&surface);
    HPALETTE previous = SelectPalette(dc, other, FALSE);
    const UINT mapped = RealizePalette(dc);
    SelectPalette(dc, previous, FALSE);
    DeleteDC(dc);
    DeleteObject(other); // its slots are free again; the earlier holder stays out
    return mapped;
}

TEST_F(Viewer, TheViewTakesItsPaletteBackAfterAnotherWindowTookTheSystemPalette)
{
    ASSERT_TRUE(Start());
    // Eight colours no other test uses, so the system has none of them.
    Open(Write("eight.bmp", PalettedBitmap(8, Ramp(8, 7))));
    View()->UpdateWindow();

    g_mapped.clear();
    g_notice = SetPaletteRealizedHook(&RecordRealisation);
    EXPECT_GT(TakeSystemPalette(), 0u);
    // The frame passes the notice, naming no window of the viewer, to the view.
    SendMessageA(Frame()->GetSafeHwnd(), WM_PALETTECHANGED, 0, 0);
    EXPECT_EQ(g_mapped.back(), 8u);

    // Activation asks the frame, which asks the view: it answers with the count.
    // The other windows inside the frame hear of the view's palette once
    // either way: from the system when the view remapped entries, from the
    // frame when it did not.
    CNoticeSpy spy;
    ASSERT_TRUE(spy.Create(nullptr, nullptr, 0, CRect(0, 0, 4, 4), Frame(), 4242));
    const HWND view = View()->GetSafeHwnd();
    EXPECT_GT(TakeSystemPalette(), 0u);
    EXPECT_EQ(SendMessageA(Frame()->GetSafeHwnd(), WM_QUERYNEWPALETTE, 0, 0), 8);
    EXPECT_EQ(spy.m_named, std::vector<HWND>{view});
    spy.m_named.clear();
    EXPECT_EQ(SendMessageA(Frame()->GetSafeHwnd(), WM_QUERYNEWPALETTE, 0, 0), 0); // held
    EXPECT_EQ(spy.m_named, std::vector<HWND>{view});
    spy.DestroyWindow();
    SetPaletteRealizedHook(g_notice);
    g_notice = nullptr;
    PumpMessages();
}

// The dialog paints its swatches with the palette in the foreground: after
// another program took the system palette, painting maps the entries again.
TEST_F(Viewer, ThePaletteDialogRealisesItsPaletteInTheForeground)
{
    ASSERT_TRUE(Start());
    Open(Write("nine.bmp", PalettedBitmap(8, Ramp(9, 23))));
    View()->UpdateWindow();
    std::vector<UINT> mapped;
    CModalHandlerScope painter([&](ModalRequest& r) {
        CWnd* dlg = CWnd::FromHandle(r.hWnd);
        dlg->ShowWindow(SW_SHOW);
        PumpMessages();
        // Recorded only: no notice reaches the view while the dialog paints.
        const PALETTEREALIZEDPROC previous = SetPaletteRealizedHook(&RecordRealisation);
        EXPECT_GT(TakeSystemPalette(), 0u);
        g_mapped.clear();
        dlg->Invalidate();
        dlg->UpdateWindow();
        mapped = g_mapped;
        SetPaletteRealizedHook(previous);
        return IDOK;
    });
    Command(ID_VIEW_DIB_PALETTE);
    EXPECT_EQ(mapped, std::vector<UINT>{9});
}

TEST_F(Viewer, AHugePictureOpensAndScrollsByPages)
{
    ASSERT_TRUE(Start());
    // 8 bits, 20000 x 20000, stored top-down: 128-pixel squares in two colours.
    const LONG side = 20000;
    const std::string path = files.filePath("huge.bmp").toStdString();
    {
        const DWORD offset = 14 + 40 + 2 * 4;
        BmpBytes head;
        head.FileHeader(offset + side * side, offset).InfoHeader(side, -side, 8, 0, 2);
        head.U32(0x0000FF).U32(0xFFFF00); // blue, yellow
        std::ofstream out(path, std::ios::binary);
        out.write(reinterpret_cast<const char*>(head.Vector().data()),
                  static_cast<std::streamsize>(head.Vector().size()));
        std::vector<char> row(side);
        for (LONG y = 0; y < side; ++y) {
            for (LONG x = 0; x < side; ++x)
                row[x] = static_cast<char>(((x / 128) + (y / 128)) % 2);
            out.write(row.data(), side);
        }
    }
    Open(path);
    View()->UpdateWindow();
    ASSERT_EQ(ScrollSize(), CSize(side, side));

    auto expected = [&](int x, int y) {
        const CPoint at = View()->GetScrollPosition();
        return ((at.x + x) / 128 + (at.y + y) / 128) % 2 ? RGB(255, 255, 0) : RGB(0, 0, 255);
    };
    for (int page = 0; page < 3; ++page) {
        SendMessageA(View()->GetSafeHwnd(), WM_KEYDOWN, VK_NEXT, 1);
        PumpMessages();
        View()->UpdateWindow();
        EXPECT_EQ(View()->GetScrollPosition(), CPoint(0, (page + 1) * side / 10));
        CDC* dc = View()->GetDC();
        for (CPoint p : {CPoint(5, 5), CPoint(130, 5), CPoint(5, 140), CPoint(200, 200)})
            EXPECT_EQ(dc->GetPixel(p.x, p.y), expected(p.x, p.y)) << p.x << "," << p.y;
        View()->ReleaseDC(dc);
    }
}

} // namespace
