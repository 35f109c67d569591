// The basic types: colour macros, little-endian loads and rectangles.

#include "core/Types.h"

#include "core/Endian.h"
#include "core/Geometry.h"

#include <gtest/gtest.h>

TEST(Colour, ChannelsRoundTripThroughColorref)
{
    constexpr COLORREF c = RGB(0x12, 0x34, 0xFE);
    static_assert(c == 0x00FE3412);
    EXPECT_EQ(GetRValue(c), 0x12);
    EXPECT_EQ(GetGValue(c), 0x34);
    EXPECT_EQ(GetBValue(c), 0xFE);
    EXPECT_EQ(GetRValue(CLR_INVALID), 0xFF); // the marker is not a colour of its own
    EXPECT_EQ(PALETTEINDEX(300), 0x0100012Cu);
}

TEST(Endian, LoadsAreLittleEndianAndSignedOnlyWhenAsked)
{
    const BYTE bytes[] = {0xFE, 0xFF, 0xFF, 0xFF, 0x42, 0x4D};
    EXPECT_EQ(LoadLE16(bytes + 4), 0x4D42); // "BM"
    EXPECT_EQ(LoadLE32(bytes), 0xFFFFFFFEu);
    EXPECT_EQ(LoadLE32Signed(bytes), -2);
    EXPECT_EQ(LoadLE32(bytes + 1), 0x42FFFFFFu);
}

TEST(Rect, EdgesAreHalfOpen)
{
    const CRect r(10, 20, 30, 40);
    EXPECT_EQ(r.Width(), 20);
    EXPECT_EQ(r.Height(), 20);
    EXPECT_TRUE(r.PtInRect(CPoint(10, 20)));
    EXPECT_TRUE(r.PtInRect(CPoint(29, 39)));
    EXPECT_FALSE(r.PtInRect(CPoint(30, 39)));
    EXPECT_FALSE(r.PtInRect(CPoint(29, 40)));
    EXPECT_TRUE(CRect(5, 5, 5, 9).IsRectEmpty());
    EXPECT_TRUE(CRect(9, 5, 5, 9).IsRectEmpty());
}

TEST(Rect, IntersectionOfOverlappingTouchingAndDisjointRects)
{
    CRect r;
    EXPECT_TRUE(r.IntersectRect(CRect(0, 0, 10, 10), CRect(5, -5, 20, 6)));
    EXPECT_EQ(r, CRect(5, 0, 10, 6));

    // Rectangles that only share an edge have nothing in common.
    EXPECT_FALSE(r.IntersectRect(CRect(0, 0, 10, 10), CRect(10, 0, 20, 10)));
    EXPECT_EQ(r, CRect());
    EXPECT_FALSE(r.IntersectRect(CRect(0, 0, 10, 10), CRect(50, 50, 60, 60)));
    EXPECT_EQ(r, CRect());

    CRect moved(CPoint(1, 2), CSize(3, 4));
    moved.OffsetRect(-1, -2);
    EXPECT_EQ(moved, CRect(0, 0, 3, 4));
}
