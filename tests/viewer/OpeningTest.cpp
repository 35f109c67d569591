// Opening pictures and drawing them: the palette left behind, a new picture, dropped files.

#include "Hwnd.h"
#include "PaletteRecord.h"
#include "ViewerFixture.h"

#include <QApplication>
#include <QDropEvent>
#include <QImage>
#include <QMimeData>
#include <QUrl>
#include <QWidget>

#include <gtest/gtest.h>

namespace {

using viewertest::Viewer;

// The view's drawing reached as any caller of it would.
struct DrawAccess : CPixmoraView
{
    static void Draw(CPixmoraView* view, CDC* dc)
    {
        void (CPixmoraView::*draw)(CDC*) = &DrawAccess::OnDraw;
        (view->*draw)(dc);
    }
};

// The caller's palette comes back in the foreground: realising it maps its colours.
TEST_F(Viewer, DrawingPutsTheCallersPaletteBackInTheForeground)
{
    ASSERT_TRUE(Start({CString(PIXMORA_SAMPLES_DIR "/sample.bmp")}));
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

// A new picture after zoom and scroll is shown at scale 1, as a fresh paint shows it.
TEST_F(Viewer, ANewPictureAfterZoomAndScrollIsDrawnAtItsOwnSize)
{
    ASSERT_TRUE(Start());
    for (const bool open : {true, false}) {
        Open(PIXMORA_SAMPLES_DIR "/sample.bmp");
        Command(ID_VIEW_ENLARGE);
        Command(ID_VIEW_ENLARGE);
        const HWND view = View()->GetSafeHwnd();
        for (const WPARAM key : {VK_END, VK_RIGHT, VK_RIGHT, VK_RIGHT, VK_RIGHT, VK_RIGHT})
            SendMessageA(view, WM_KEYDOWN, key, 1);
        ASSERT_NE(View()->GetScrollPosition(), CPoint(0, 0));
        if (open)
            Open(PIXMORA_SAMPLES_DIR "/sample4.bmp");
        else
            Command(ID_FILE_NEW);
        EXPECT_EQ(View()->GetScale(), 1.0);
        EXPECT_EQ(ScrollSize(), open ? CSize(160, 120) : CSize(16, 16));
        const QImage shown = WidgetOf(view)->grab().toImage();
        View()->Invalidate();
        View()->UpdateWindow();
        EXPECT_EQ(shown, WidgetOf(view)->grab().toImage()) << (open ? "open" : "new");
    }
}

TEST_F(Viewer, DroppingFilesOpensTheFirst)
{
    ASSERT_TRUE(Start({CString(PIXMORA_SAMPLES_DIR "/sample.bmp")}));
    Command(ID_VIEW_ENLARGE);
    const std::string first = PIXMORA_SAMPLES_DIR "/sample4.bmp";
    QMimeData files;
    files.setUrls({QUrl::fromLocalFile(QString::fromStdString(first)),
                   QUrl::fromLocalFile(PIXMORA_SAMPLES_DIR "/sample24.bmp")});
    QWidget* window = WidgetOf(Frame()->GetSafeHwnd());
    QDragEnterEvent enter(QPoint(20, 20), Qt::CopyAction, &files, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(window, &enter);
    EXPECT_TRUE(enter.isAccepted());
    QDropEvent drop(QPointF(20, 20), Qt::CopyAction, &files, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(window, &drop);
    PumpMessages();
    EXPECT_EQ(Doc()->GetPathName(), CString(first.c_str()));
    EXPECT_EQ(viewertest::Caption(Frame()), "sample4.bmp - Pixmora");
    EXPECT_EQ(app->GetRecentFileList().front(), CString(first.c_str()));
}

} // namespace
