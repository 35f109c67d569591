#include "BmpBytes.h"
#include "dib/Dib.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <limits>

namespace {

TEST(ScaleDimension, TruncatesTowardZeroAndStaysInRange)
{
    struct Case
    {
        int dimension;
        double scale;
        int expected;
    };
    const Case cases[] = {
        {16, 2.0, 32},
        {15, 0.5, 7},
        {1, 0.5, 0},
        {3, 0.25, 0},
        {640, 0.125, 80},
        {480, 0.125, 60},
        {-15, 0.5, -7},
        {16, 1.0, 16},
        {7, 1.5, 10},
        {0, 8.0, 0},
        {INT_MAX, 2.0, INT_MAX},
        {-5, 1e300, INT_MIN},
        {5, std::numeric_limits<double>::infinity(), INT_MAX},
        {5, std::nan(""), 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ScaleDimension(c.dimension, c.scale), c.expected)
            << c.dimension << " x " << c.scale;
}

// A 2 x 2 24-bit picture, red and green on top, blue and white below, in
// either row order.
BmpBytes TwoByTwo(bool topDown)
{
    BmpBytes image;
    image.FileHeader(54 + 16, 54).InfoHeader(2, topDown ? -2 : 2, 24);
    const BYTE top[] = {0, 0, 255, 0, 255, 0, 0, 0};        // red, green, padding
    const BYTE bottom[] = {255, 0, 0, 255, 255, 255, 0, 0}; // blue, white, padding
    const BYTE* rows[] = {topDown ? top : bottom, topDown ? bottom : top};
    for (const BYTE* row : rows)
        for (int i = 0; i < 8; ++i)
            image.U8(row[i]);
    return image;
}

TEST(DibDraw, TopDownAndBottomUpPicturesAppearUprightInTheSamePlace)
{
    for (bool topDown : {false, true}) {
        SCOPED_TRACE(topDown ? "top-down" : "bottom-up");
        const BmpBytes image = TwoByTwo(topDown);
        CMemFile file(image.Data(), image.Size());
        CDib dib;
        ASSERT_TRUE(dib.Read(&file));
        CSurface surface(6, 6);
        CSurfaceDC dc(&surface);
        EXPECT_EQ(dib.Draw(&dc, 1, 1, 2.0), 2);
        EXPECT_EQ(dc.GetPixel(1, 1), RGB(255, 0, 0));
        EXPECT_EQ(dc.GetPixel(4, 2), RGB(0, 255, 0));
        EXPECT_EQ(dc.GetPixel(2, 4), RGB(0, 0, 255));
        EXPECT_EQ(dc.GetPixel(4, 4), RGB(255, 255, 255));
        EXPECT_EQ(dc.GetPixel(0, 0), RGB(0, 0, 0)); // outside the picture: untouched
        EXPECT_EQ(dc.GetPixel(5, 5), RGB(0, 0, 0));
    }
}

TEST(DibDraw, NaturalSizeIsScaleOneAndANullContextDrawsNothing)
{
    const BmpBytes image = TwoByTwo(false);
    CMemFile file(image.Data(), image.Size());
    CDib dib;
    ASSERT_TRUE(dib.Read(&file));
    CSurface natural(4, 4), scaled(4, 4);
    CSurfaceDC naturalDc(&natural), scaledDc(&scaled);
    EXPECT_EQ(dib.Draw(&naturalDc, 1, 0), 2);
    EXPECT_EQ(dib.Draw(&scaledDc, 1, 0, 1.0), 2);
    EXPECT_TRUE(std::equal(natural.Bits(), natural.Bits() + 16, scaled.Bits()));
    EXPECT_EQ(naturalDc.GetPixel(2, 1), RGB(255, 255, 255));

    EXPECT_EQ(dib.Draw(nullptr, 0, 0), 0);
    EXPECT_EQ(dib.Draw(nullptr, 0, 0, 2.0), 0);
}

} // namespace
