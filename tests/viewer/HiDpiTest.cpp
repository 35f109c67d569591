// The viewer at scale factor 2: pictures, the read-out and dialogs measured in device pixels.

#include "BmpBytes.h"
#include "Hwnd.h"
#include "ViewerFixture.h"

#include <QImage>
#include <QPixmap>
#include <QTest>

#include <gtest/gtest.h>

#include <string>

using uitest::ClientOf;
using viewertest::Viewer;

TEST_F(Viewer, PicturesReadOutsAndDialogsAreMeasuredInDevicePixels)
{
    ASSERT_TRUE(Start());
    QWidget* view = WidgetOf(View()->GetSafeHwnd());
    ASSERT_EQ(view->devicePixelRatioF(), 2.0);
    // 200 x 150 at 24 bits, every pixel its own colour: red is x, green is y.
    BmpBytes coords;
    coords.FileHeader(54 + 600 * 150, 54).InfoHeader(200, 150, 24);
    for (int y = 149; y >= 0; --y)
        for (int x = 0; x < 200; ++x)
            coords.U8(50).U8(static_cast<BYTE>(y)).U8(static_cast<BYTE>(x));
    Open(Write("coords.bmp", coords.Vector()));
    View()->UpdateWindow();

    // The program sees the client area in device pixels.
    const CRect client = ClientOf(View()->GetSafeHwnd());
    EXPECT_EQ(client, CRect(0, 0, 2 * view->width(), 2 * view->height()));
    ASSERT_GE(client.Width(), 200);
    ASSERT_GE(client.Height(), 150);

    // What reaches the screen: device pixel (x, y) shows picture pixel (x, y).
    const QImage shown = view->grab().toImage();
    ASSERT_EQ(shown.devicePixelRatio(), 2.0);
    for (const QPoint p : {QPoint(0, 0), QPoint(1, 0), QPoint(0, 1), QPoint(37, 91),
                           QPoint(199, 149), QPoint(120, 3)})
        EXPECT_EQ(shown.pixel(p) & 0xFFFFFF, static_cast<QRgb>((p.x() << 16) | (p.y() << 8) | 50))
            << p.x() << "," << p.y();
    EXPECT_EQ(shown.pixel(200, 10) & 0xFFFFFF, 0xFFFFFFu); // beyond the picture

    // A press at logical (30, 40) is device pixel (60, 80); the drag follows.
    QTest::mousePress(view, Qt::LeftButton, Qt::NoModifier, QPoint(30, 40));
    EXPECT_EQ(std::string(PaneZero()), "RGB(60, 80, 50)");
    QTest::mouseMove(view, QPoint(31, 41));
    EXPECT_EQ(std::string(PaneZero()), "RGB(62, 82, 50)");
    // Beyond the picture and outside the window it reads white; released, nothing reads.
    QTest::mouseMove(view, QPoint(103, 40));
    EXPECT_EQ(std::string(PaneZero()), "RGB(255, 255, 255)");
    QTest::mouseMove(view, QPoint(30, 40));
    QTest::mouseMove(view, QPoint(-2, -2));
    EXPECT_EQ(std::string(PaneZero()), "RGB(255, 255, 255)");
    QTest::mouseRelease(view, Qt::LeftButton, Qt::NoModifier, QPoint(31, 41));
    SendMessageA(View()->GetSafeHwnd(), WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(60, 80));
    EXPECT_EQ(std::string(PaneZero()), "RGB(255, 255, 255)");

    // Enlarged, each picture pixel is a 2 x 2 block of device pixels.
    Command(ID_VIEW_ENLARGE);
    View()->UpdateWindow();
    EXPECT_EQ(View()->GetTotalSize(), CSize(400, 300));
    const QImage enlarged = view->grab().toImage();
    for (const QPoint p : {QPoint(10, 6), QPoint(11, 7)})
        EXPECT_EQ(enlarged.pixel(p) & 0xFFFFFF, static_cast<QRgb>((5 << 16) | (3 << 8) | 50));

    // In a window smaller than the picture in device pixels, a scroll moves by device pixels.
    Frame()->MoveWindow(0, 0, 400, 360);
    PumpMessages();
    ASSERT_LT(ClientOf(View()->GetSafeHwnd()).Height(), 300);
    SendMessageA(View()->GetSafeHwnd(), WM_KEYDOWN, VK_DOWN, 1);
    PumpMessages();
    View()->UpdateWindow();
    const CPoint at = View()->GetScrollPosition();
    ASSERT_GT(at.y, 1);
    const QImage scrolled = view->grab().toImage();
    for (const QPoint p : {QPoint(0, 0), QPoint(17, 23), QPoint(3, 60)})
        EXPECT_EQ(scrolled.pixel(p) & 0xFFFFFF,
                  static_cast<QRgb>((p.x() / 2 << 16) | ((p.y() + at.y) / 2 << 8) | 50));

    // The palette dialog keeps its size on the screen and reads its swatches.
    Open(Write("four.bmp", viewertest::PalettedBitmap(8, {RGB(255, 0, 0), RGB(0, 0, 255)}, 4, 4)));
    CSize frame, logicalFrame;
    std::string caption;
    CModalHandlerScope reader([&](ModalRequest& r) {
        CWnd* dlg = CWnd::FromHandle(r.hWnd);
        dlg->ShowWindow(SW_SHOW);
        PumpMessages();
        dlg->UpdateWindow();
        const HWND control = GetDlgItem(r.hWnd, IDC_PALETTE_SWATCH);
        frame = ClientOf(control).Size();
        logicalFrame = CSize(WidgetOf(control)->width(), WidgetOf(control)->height());
        // Inside the first swatch, in the dialog's device pixels.
        SendMessageA(r.hWnd, WM_MOUSEMOVE, 0, MAKELPARAM(40, 34));
        caption = viewertest::Caption(dlg);
        return IDOK;
    });
    Command(ID_VIEW_DIB_PALETTE);
    // The template's 381 x 179 frame, twice over in device pixels.
    EXPECT_EQ(logicalFrame, CSize(381, 179));
    EXPECT_EQ(frame, CSize(762, 358));
    EXPECT_EQ(caption, "RGB(255, 0, 0)");
}
