// Rectangles: the half-open intersection that painting clips with.

#include "core/Geometry.h"

#include <gtest/gtest.h>

TEST(Rect, IntersectionOfOverlappingTouchingAndDisjointRects)
{
    CRect r;
    EXPECT_TRUE(r.IntersectRect(CRect(0, 0, 10, 10), CRect(5, -5, 20, 6)));
    EXPECT_EQ(r, CRect(5, 0, 10, 6));
    EXPECT_EQ(r.Width(), 5);
    EXPECT_EQ(r.Height(), 6);
    // Rectangles that only share an edge have nothing in common.
    EXPECT_FALSE(r.IntersectRect(CRect(0, 0, 10, 10), CRect(10, 0, 20, 10)));
    EXPECT_EQ(r, CRect());
    EXPECT_FALSE(r.IntersectRect(CRect(0, 0, 10, 10), CRect(50, 50, 60, 60)));
    EXPECT_TRUE(CRect(9, 5, 5, 9).IsRectEmpty());
}
