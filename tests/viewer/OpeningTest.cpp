// Opening pictures: dropped files, and a new picture after zoom and scroll.

#include "Hwnd.h"
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

// A picture opened by dropping files, or a new one, after zoom and scroll is shown at scale 1,
// as a fresh paint shows it.
TEST_F(Viewer, ADroppedOrNewPictureAfterZoomAndScrollIsDrawnAtItsOwnSize)
{
    ASSERT_TRUE(Start());
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
            EXPECT_EQ(viewertest::Caption(Frame()), "sample4.bmp - Pixmora");
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

} // namespace
