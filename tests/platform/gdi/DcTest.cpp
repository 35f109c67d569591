// Device contexts: viewport origin and clip, for shapes and pictures; object lifetimes.

#include "gdi/Dc.h"

#include "StretchDibSupport.h"
#include "gdi/Gdi.h"

#include <gtest/gtest.h>

#include <climits>
#include <vector>

namespace {

constexpr COLORREF kSentinel = RGB(1, 2, 3);

class Context : public testing::Test
{
protected:
    CSurface surface{20, 12, kSentinel};
    CSurfaceDC dc{&surface};

    COLORREF At(int x, int y) const { return SurfaceColor(surface.Row(y)[x]); }
};

TEST_F(Context, ViewportOriginAndClipDecideWhichPixelsChange)
{
    dc.SetViewportOrg(-5, 4); // logical (5, -4) is surface (0, 0)
    const RECT clip{0, 0, 6, 6};
    ASSERT_TRUE(SetDeviceClipRect(dc.GetSafeHdc(), &clip));
    CRect box;
    dc.GetClipBox(&box);
    EXPECT_EQ(box, CRect(5, -4, 11, 2));

    CBrush red(RGB(255, 0, 0));
    dc.SelectObject(&red);
    dc.Rectangle(INT_MIN, INT_MIN, INT_MAX, INT_MAX); // nothing overflows
    for (int y = 0; y < 12; ++y)
        for (int x = 0; x < 20; ++x)
            EXPECT_EQ(At(x, y), x < 6 && y < 6 ? RGB(255, 0, 0) : kSentinel) << x << "," << y;

    // Inside, outside the clip, outside the surface.
    EXPECT_EQ((std::vector<COLORREF>{dc.GetPixel(5, -4), dc.GetPixel(10, 1), dc.GetPixel(11, 1),
                                     dc.GetPixel(4, -4), dc.GetPixel(INT_MAX, INT_MIN)}),
              (std::vector<COLORREF>{RGB(255, 0, 0), RGB(255, 0, 0), CLR_INVALID, CLR_INVALID,
                                     CLR_INVALID}));

    // A picture goes through the same origin and clip: logical (10, -4) is surface (5, 0).
    TestDib d(1, 1, 8);
    d.bits = {9, 0, 0, 0};
    EXPECT_EQ(StretchDIBits(dc.GetSafeHdc(), 10, -4, 2, 1, 0, 0, 1, 1, d.bits.data(), d.bits.size(),
                            &d.info, DIB_RGB_COLORS, SRCCOPY),
              1);
    EXPECT_EQ((std::vector<COLORREF>{At(4, 0), At(5, 0), At(6, 0)}),
              (std::vector<COLORREF>{RGB(255, 0, 0), SurfaceColor(Pal(9)), kSentinel}));
}

TEST(GdiObjects, DeletedWhileSelectedGoesWhenDeselectedAndWrappersOwnTheirHandles)
{
    CSurface surface(4, 4);
    HDC hdc = CreateSurfaceDC(&surface);
    HBRUSH brush = CreateSolidBrush(RGB(9, 9, 9));
    HBRUSH original = SelectObject(hdc, brush);
    ASSERT_NE(original, nullptr);

    EXPECT_TRUE(DeleteObject(brush));
    EXPECT_TRUE(Rectangle(hdc, -1, -1, 5, 5));
    EXPECT_EQ(GetPixel(hdc, 1, 1), RGB(9, 9, 9));
    EXPECT_EQ(SelectObject(hdc, brush), nullptr);    // no new selections of it
    EXPECT_EQ(SelectObject(hdc, original), nullptr); // deleted on the way out
    EXPECT_FALSE(DeleteObject(brush));

    EXPECT_TRUE(DeleteObject(original)); // a stock brush: harmless, not deleted
    EXPECT_NE(SelectObject(hdc, original), nullptr);

    // Deleting the context lets go of what it held.
    HPEN pen = CreatePen(PS_NULL, 1, 0);
    SelectObject(hdc, pen);
    EXPECT_TRUE(DeleteObject(pen));
    EXPECT_TRUE(DeleteDC(hdc)); // the sanitizer's leak check sees the pen go
    EXPECT_FALSE(DeleteDC(hdc));
    EXPECT_EQ(GetPixel(hdc, 0, 0), CLR_INVALID);

    // Wrappers own what they attach.
    HBRUSH handle = nullptr;
    {
        CBrush brush(RGB(1, 1, 1));
        handle = brush;
        EXPECT_EQ(CBrush::FromHandle(handle), &brush);
    }
    EXPECT_FALSE(DeleteObject(handle)); // gone with its wrapper

    // A borrowed wrapper never deletes the handle it stands for.
    HBRUSH loose = CreateSolidBrush(RGB(2, 2, 2));
    CBrush* borrowed = CBrush::FromHandle(loose);
    EXPECT_EQ(CBrush::FromHandle(loose), borrowed);
    EXPECT_TRUE(DeleteObject(loose));
}

} // namespace
