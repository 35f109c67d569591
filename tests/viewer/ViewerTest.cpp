// The whole viewer as the user meets it: start-up, documents, dropped files, zoom, frame, palettes.

#include "BmpBytes.h"
#include "BmpSuite.h"
#include "Hwnd.h"
#include "PaletteRecord.h"
#include "ViewerFixture.h"

#include <QApplication>
#include <QDropEvent>
#include <QImage>
#include <QMimeData>
#include <QTest>
#include <QUrl>
#include <QWidget>

#include <gtest/gtest.h>

#include <fstream>
#include <memory>
#include <set>
#include <string>
#include <vector>

namespace {

using viewertest::Caption;
using viewertest::PalettedBitmap;
using viewertest::Viewer;

// `count` colours from green to red: none grey, so none passes for an empty frame.
std::vector<COLORREF> Ramp(int count, BYTE blue)
{
    std::vector<COLORREF> colours;
    for (int i = 0; i < count; ++i) {
        const auto red = static_cast<BYTE>(i * 255 / (count - 1));
        colours.push_back(RGB(red, 255 - red, blue));
    }
    return colours;
}

// At start-up the frame has its bars and no palette. Saving writes nothing and asks nothing;
// zoom scales the scrollable area within bounds, odd sizes losing the fraction; a refused file
// leaves the blank picture and the earlier palette.
TEST_F(Viewer, StartUpSavingZoomAndRefusedFilesLeaveFrameAndDocumentAsTheyShould)
{
    ASSERT_TRUE(Start());
    std::vector<UINT> panes;
    for (int i = 0; i < Frame()->m_statusBar.GetCount(); ++i)
        panes.push_back(Frame()->m_statusBar.GetItemID(i));
    EXPECT_EQ(panes, (std::vector<UINT>{ID_SEPARATOR, ID_INDICATOR_CAPS, ID_INDICATOR_NUM,
                                        ID_INDICATOR_SCRL}));
    CControlBar* toolBar = Frame()->GetControlBar(AFX_IDW_TOOLBAR);
    ASSERT_NE(toolBar, nullptr);
    EXPECT_TRUE(toolBar->IsVisible());
    const DWORD want = CBRS_TOOLTIPS | CBRS_FLYBY | CBRS_SIZE_DYNAMIC | CBRS_ALIGN_TOP;
    EXPECT_EQ(toolBar->GetBarStyle() & want, want);
    EXPECT_EQ(toolBar->GetDockingStyle(), CBRS_ALIGN_ANY);
    // Their items and buttons are greyed.
    for (UINT id : {ID_EDIT_UNDO, ID_EDIT_CUT, ID_EDIT_COPY, ID_EDIT_PASTE, ID_FILE_PRINT})
        EXPECT_FALSE(Frame()->IsCommandHandled(id)) << id;

    EXPECT_EQ(Doc()->m_pPalette, nullptr);
    EXPECT_EQ(ScrollSize(), CSize(16, 16));
    const std::vector<BYTE> bytes = PalettedBitmap(8, {RGB(0, 0, 255)}, 100, 80);
    const std::string path = Write("100x80.bmp", bytes);
    Open(path);
    Command(ID_FILE_SAVE);
    Command(ID_FILE_SAVE_AS);
    QTest::keyClick(WidgetOf(View()->GetSafeHwnd()), Qt::Key_S, Qt::ControlModifier);
    PumpMessages();
    EXPECT_TRUE(shown.empty());
    std::ifstream in(path, std::ios::binary);
    EXPECT_EQ(std::vector<BYTE>(std::istreambuf_iterator<char>(in), {}), bytes);

    EXPECT_EQ(ScrollSize(), CSize(100, 80));
    Command(ID_VIEW_ENLARGE);
    EXPECT_EQ(ScrollSize(), CSize(200, 160));
    Command(ID_VIEW_SHRINK);
    Command(ID_VIEW_SHRINK);
    EXPECT_EQ(ScrollSize(), CSize(50, 40));
    EXPECT_EQ(View()->GetScale(), 0.5);
    Open(Write("75x33.bmp", PalettedBitmap(8, {RGB(0, 0, 255)}, 75, 33)));
    Command(ID_VIEW_SHRINK);
    EXPECT_EQ(ScrollSize(), CSize(37, 16));
    Open(BmpSuitePath("g/pal8topdown.bmp")); // scrolls over its real height
    Command(ID_VIEW_SHRINK);
    EXPECT_EQ(ScrollSize(), CSize(63, 32));

    Open(Write("wide.bmp", PalettedBitmap(8, {RGB(0, 0, 255)}, 4096, 1)));
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

    Open(BmpSuitePath("g/pal8.bmp"));
    CDibPalette* earlier = Doc()->m_pPalette;
    ASSERT_NE(earlier, nullptr);
    Command(ID_VIEW_ENLARGE);

    Open(Write("junk.bmp", {'J', 'U', 'N', 'K', 0, 0, 0, 0}));
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].text, CString("Failed to load image!"));
    EXPECT_EQ(Doc()->m_pPalette, earlier);
    EXPECT_EQ(ScrollSize(), CSize(16, 16));
    EXPECT_EQ(View()->GetScale(), 1.0);
    EXPECT_EQ(std::string(Doc()->GetTitle()), "junk.bmp");

    Open(BmpSuitePath("g/rgb24.bmp"));
    EXPECT_EQ(shown.back().text, CString("Failed to create palette from DIB file"));
    EXPECT_EQ(Doc()->m_pPalette, nullptr);
    EXPECT_EQ(ScrollSize(), CSize(127, 64));
    Command(ID_FILE_NEW);
    EXPECT_EQ(ScrollSize(), CSize(16, 16));
}

// A picture opened by dropping files, or a new one, after zoom and scroll is shown at scale 1,
// as a fresh paint shows it.
TEST_F(Viewer, ADroppedOrNewPictureAfterZoomAndScrollIsDrawnAtItsOwnSize)
{
    ASSERT_TRUE(Start({CString(PIXMORA_SAMPLES_DIR "/sample.bmp")}));
    const std::string first = PIXMORA_SAMPLES_DIR "/sample4.bmp";
    for (const bool drop : {true, false}) {
        Open(PIXMORA_SAMPLES_DIR "/sample.bmp");
        Command(ID_VIEW_ENLARGE);
        Command(ID_VIEW_ENLARGE);
        const HWND view = View()->GetSafeHwnd();
        for (const WPARAM key : {VK_END, VK_RIGHT, VK_RIGHT, VK_RIGHT, VK_RIGHT, VK_RIGHT})
            SendMessageA(view, WM_KEYDOWN, key, 1);
        ASSERT_NE(View()->GetScrollPosition(), CPoint(0, 0));
        if (drop) {
            QMimeData files;
            files.setUrls({QUrl::fromLocalFile(QString::fromStdString(first)),
                           QUrl::fromLocalFile(PIXMORA_SAMPLES_DIR "/sample24.bmp")});
            QWidget* window = WidgetOf(Frame()->GetSafeHwnd());
            QDragEnterEvent enter(QPoint(20, 20), Qt::CopyAction, &files, Qt::LeftButton,
                                  Qt::NoModifier);
            QApplication::sendEvent(window, &enter);
            EXPECT_TRUE(enter.isAccepted());
            QDropEvent drop(QPointF(20, 20), Qt::CopyAction, &files, Qt::LeftButton,
                            Qt::NoModifier);
            QApplication::sendEvent(window, &drop);
            PumpMessages();
            EXPECT_EQ(Doc()->GetPathName(), CString(first.c_str()));
            EXPECT_EQ(Caption(Frame()), "sample4.bmp - Pixmora");
            EXPECT_EQ(app->GetRecentFileList().front(), CString(first.c_str()));
        } else {
            Command(ID_FILE_NEW);
        }
        EXPECT_EQ(View()->GetScale(), 1.0);
        EXPECT_EQ(ScrollSize(), drop ? CSize(160, 120) : CSize(16, 16));
        const QImage shown = WidgetOf(view)->grab().toImage();
        View()->Invalidate();
        View()->UpdateWindow();
        EXPECT_EQ(shown, WidgetOf(view)->grab().toImage()) << (drop ? "dropped" : "new");
    }
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

// Another program takes the system palette's free slots; returns the entries it mapped.
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

// The view's drawing reached as any caller of it would.
struct DrawAccess : CPixmoraView
{
    static void Draw(CPixmoraView* view, CDC* dc)
    {
        void (CPixmoraView::*draw)(CDC*) = &DrawAccess::OnDraw;
        (view->*draw)(dc);
    }
};

// DIB Palette shows a 16 x 16 grid of swatches, Current Palette an empty frame. After another
// program took the system palette, the dialog, the view and a caller of the view's drawing
// realise their palettes in the foreground again; a frame without a view has none.
TEST_F(Viewer, PaletteDialogsShowTheirSwatchesAndPalettesAreRealisedAgain)
{
    auto* bare = static_cast<CMainFrame*>(RUNTIME_CLASS(CMainFrame)->CreateObject());
    ASSERT_TRUE(bare->LoadFrame(IDR_MAINFRAME));
    EXPECT_EQ(SendMessageA(bare->GetSafeHwnd(), WM_QUERYNEWPALETTE, 0, 0), 0);
    bare->DestroyWindow(); // the frame deletes itself with its window

    ASSERT_TRUE(Start());
    struct Seen
    {
        UINT type;
        std::string caption, hovered;
        std::vector<COLORREF> cells; // the middle of every grid cell
        std::vector<UINT> mapped;    // by a repaint after another program took the palette
    };
    std::vector<Seen> seen;
    CModalHandlerScope reader([&](ModalRequest& r) {
        CWnd* dlg = CWnd::FromHandle(r.hWnd);
        Seen s{r.type, Caption(dlg), "", {}, {}};
        dlg->ShowWindow(SW_SHOW);
        PumpMessages();
        dlg->UpdateWindow();
        if (CWnd* frame = dlg->GetDlgItem(IDC_PALETTE_SWATCH)) {
            CRect area;
            frame->GetClientRect(&area);
            CDC* dc = frame->GetDC();
            for (int i = 0; i < 256; ++i)
                s.cells.push_back(dc->GetPixel((2 * (i % 16) + 1) * area.Width() / 32,
                                               (2 * (i / 16) + 1) * area.Height() / 32));
            frame->ReleaseDC(dc);
        }
        // Inside the first swatch, just within the etched frame.
        SendMessageA(r.hWnd, WM_MOUSEMOVE, 0, MAKELPARAM(20, 17));
        s.hovered = Caption(dlg);
        // Recorded only: no notice reaches the view while the dialog paints.
        const PALETTEREALIZEDPROC system = SetPaletteRealizedHook(&RecordRealisation);
        TakeSystemPalette();
        g_mapped.clear();
        dlg->Invalidate();
        dlg->UpdateWindow();
        s.mapped = g_mapped;
        SetPaletteRealizedHook(system);
        seen.push_back(s);
        return IDOK;
    });
    Command(ID_VIEW_CURRENT_PALETTE);
    Open(Write("256.bmp", PalettedBitmap(8, Ramp(256, 40))));
    Command(ID_VIEW_DIB_PALETTE);
    Command(ID_VIEW_CURRENT_PALETTE);
    Open(Write("16.bmp", PalettedBitmap(4, Ramp(16, 90))));
    Command(ID_VIEW_DIB_PALETTE);
    Command(ID_APP_ABOUT);
    ASSERT_EQ(seen.size(), 5u);
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(seen[i].type == IDD_PALETTE && seen[i].caption == "View Palette", true) << i;
    EXPECT_EQ(seen[4].type, IDD_ABOUTBOX);
    EXPECT_EQ(seen[4].caption, "About Pixmora");

    // A cell holds a swatch when it differs from the empty frame.
    const std::vector<COLORREF>& empty = seen[0].cells;
    auto swatches = [&](const std::vector<COLORREF>& cells) {
        std::vector<int> at;
        for (size_t i = 0; i < cells.size(); ++i)
            if (cells[i] != empty[i])
                at.push_back(static_cast<int>(i));
        return at;
    };
    EXPECT_EQ(std::set<COLORREF>(empty.begin(), empty.end()).size(), 1u);
    EXPECT_EQ(swatches(seen[1].cells).size(), 256u);
    EXPECT_EQ(seen[1].hovered, "RGB(0, 255, 40)");
    EXPECT_TRUE(swatches(seen[2].cells).empty()); // Current Palette, with a palette loaded
    EXPECT_NE(seen[2].hovered, "RGB(0, 255, 40)");
    EXPECT_EQ(seen[2].hovered.rfind("RGB(", 0), 0u);
    std::vector<int> topRow;
    for (int i = 0; i < 16; ++i)
        topRow.push_back(i);
    EXPECT_EQ(swatches(seen[3].cells), topRow);
    EXPECT_EQ(seen[3].cells[0], RGB(0, 255, 90));
    EXPECT_EQ(seen[3].cells[15], RGB(255, 0, 90));
    EXPECT_EQ(seen[3].mapped, std::vector<UINT>{16});

    // The sixteen-colour picture stays open; no other test uses its colours.
    g_mapped.clear();
    g_notice = SetPaletteRealizedHook(&RecordRealisation);
    EXPECT_GT(TakeSystemPalette(), 0u);
    // The frame passes the notice, naming no window of the viewer, to the view.
    SendMessageA(Frame()->GetSafeHwnd(), WM_PALETTECHANGED, 0, 0);
    EXPECT_EQ(g_mapped.back(), 16u);

    // Activation asks the view through the frame; the other windows inside hear of
    // the view's palette once, from the system or from the frame.
    CNoticeSpy spy;
    ASSERT_TRUE(spy.Create(nullptr, nullptr, 0, CRect(0, 0, 4, 4), Frame(), 4242));
    const HWND view = View()->GetSafeHwnd();
    EXPECT_GT(TakeSystemPalette(), 0u);
    EXPECT_EQ(SendMessageA(Frame()->GetSafeHwnd(), WM_QUERYNEWPALETTE, 0, 0), 16);
    EXPECT_EQ(spy.m_named, std::vector<HWND>{view});
    spy.m_named.clear();
    EXPECT_EQ(SendMessageA(Frame()->GetSafeHwnd(), WM_QUERYNEWPALETTE, 0, 0), 0); // held
    EXPECT_EQ(spy.m_named, std::vector<HWND>{view});
    spy.DestroyWindow();
    SetPaletteRealizedHook(g_notice);
    g_notice = nullptr;
    PumpMessages();

    // The caller's palette comes back in the foreground: realising it maps its colours.
    HPALETTE own = MakePalette(3, [](int i) {
        return PALETTEENTRY{static_cast<BYTE>(61 + i), 7, 149, 0};
    });
    CSurface surface(4, 4);
    HDC dc = CreateSurfaceDC(&surface);
    HPALETTE previous = SelectPalette(dc, own, FALSE);
    DrawAccess::Draw(View(), CDC::FromHandle(dc));
    EXPECT_EQ(RealizePalette(dc), 3u);
    SelectPalette(dc, previous, FALSE);
    DeleteDC(dc);
    DeleteObject(own);
}

// 20000 x 20000 top-down, far beyond what is copied rather than mapped; bands of 128 rows.
TEST_F(Viewer, AHugePictureOpensAndScrollsByPages)
{
    ASSERT_TRUE(Start());
    const LONG side = 20000;
    const std::string path = files.filePath("huge.bmp").toStdString();
    {
        const DWORD offset = 14 + 40 + 2 * 4;
        BmpBytes head;
        head.FileHeader(offset + side * side, offset).InfoHeader(side, -side, 8, 0, 2);
        head.U32(0x0000FF).U32(0xFFFF00);
        std::ofstream out(path, std::ios::binary);
        out.write(reinterpret_cast<const char*>(head.Data()),
                  static_cast<std::streamsize>(head.Size()));
        for (LONG y = 0; y < side; ++y)
            out.write(std::string(side, static_cast<char>(y / 128 % 2)).data(), side);
    }
    Open(path);
    View()->UpdateWindow();
    ASSERT_EQ(ScrollSize(), CSize(side, side));
    for (int page = 1; page <= 3; ++page) {
        SendMessageA(View()->GetSafeHwnd(), WM_KEYDOWN, VK_NEXT, 1);
        PumpMessages();
        View()->UpdateWindow();
        const CPoint at = View()->GetScrollPosition();
        EXPECT_EQ(at, CPoint(0, page * side / 10));
        CDC* dc = View()->GetDC();
        for (int y : {5, 140, 200})
            EXPECT_EQ(dc->GetPixel(300, y),
                      (at.y + y) / 128 % 2 ? RGB(255, 255, 0) : RGB(0, 0, 255))
                << y;
        View()->ReleaseDC(dc);
    }
}

} // namespace
