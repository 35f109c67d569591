// Rectangles: half-open edges and intersection, which clipping and hit tests rely on.

#include "core/Geometry.h"

#include <gtest/gtest.h>

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
}
