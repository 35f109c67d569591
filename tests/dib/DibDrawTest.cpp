// Drawing a CDib: scaling, orientation and what lands on the surface.

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

// A 4 x 3 RLE8 picture with a grey-blue ramp for colours: entry i is
// (red 4i + 2, green 4i + 1, blue 4i).
BmpBytes RunLengthPicture(std::initializer_list<BYTE> stream)
{
    BmpBytes image;
    const DWORD offset = 14 + 40 + 1024;
    image.FileHeader(offset + static_cast<DWORD>(stream.size()), offset)
        .InfoHeader(4, 3, 8, BI_RLE8)
        .Ramp(1024)
        .Bytes(stream);
    return image;
}

// A compressed picture's rows are found again after the bitmap is replaced,
// here by one whose rows start at other offsets of a block of the same size.
TEST(DibDraw, ReplacedRunLengthPictureDrawsItsOwnRows)
{
    const BmpBytes first = RunLengthPicture({4, 1, 0, 0, 4, 2, 0, 0, 4, 3, 0, 0, 0, 1});
    const BmpBytes second = RunLengthPicture({2, 5, 2, 5, 0, 0, 4, 6, 0, 0, 4, 7, 0, 1});
    CDib dib;
    CSurface surface(4, 3);
    CSurfaceDC dc(&surface);
    for (const BmpBytes* image : {&first, &second, &first}) {
        CMemFile file(image->Data(), image->Size());
        ASSERT_TRUE(dib.Read(&file));
        const int top = image == &first ? 3 : 7;
        // Twice: the first draw indexes the rows, the second uses the index.
        for (int pass = 0; pass < 2; ++pass) {
            EXPECT_EQ(dib.Draw(&dc, 0, 0), 3);
            EXPECT_EQ(dc.GetPixel(0, 0), RGB(4 * top + 2, 4 * top + 1, 4 * top));
            EXPECT_EQ(dc.GetPixel(3, 2), RGB(4 * (top - 2) + 2, 4 * (top - 2) + 1, 4 * (top - 2)));
        }
    }
    // A blank bitmap in its place is drawn as one.
    ASSERT_TRUE(dib.Create(4, 3));
    dib.Draw(&dc, 0, 0);
    EXPECT_EQ(dc.GetPixel(0, 0), RGB(0, 0, 0));
}

} // namespace
