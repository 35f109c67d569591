// CDib: the blank bitmap, and redrawing a replaced picture.

#include "dib/Dib.h"

#include "BmpBytes.h"

#include <gtest/gtest.h>

#include <cmath>
#include <tuple>
#include <vector>

namespace {

// File New shows this: black pixels over a grey ramp, never leftover heap contents.
TEST(Dib, NewObjectIsABlankGreyRamp16x16)
{
    CDib dib;
    const BITMAPINFOHEADER& h = dib.m_pInfo->bmiHeader;
    EXPECT_EQ(std::tuple(h.biSize, h.biWidth, h.biHeight, h.biBitCount, h.biCompression),
              std::tuple(40u, 16, 16, 8, 0u));
    const RGBQUAD& c = dib.m_pInfo->bmiColors[100];
    EXPECT_EQ(RGB(c.rgbRed, c.rgbGreen, c.rgbBlue), RGB(100, 100, 100));
    EXPECT_EQ(std::vector<BYTE>(dib.m_pPixels, dib.m_pPixels + dib.m_cbPixels),
              std::vector<BYTE>(256, 0));
    // Sizes no block or window can hold come out empty, never wrapped.
    ASSERT_TRUE(dib.Create(-1, 16));
    EXPECT_EQ(dib.m_cbPixels, 0u);
    EXPECT_EQ(ScaleDimension(16, std::nan("")), 0);
}

// A 4 x 3 RLE8 picture whose colour entry i is (red 4i + 2, green 4i + 1, blue 4i).
BmpBytes RunLengthPicture(std::initializer_list<BYTE> stream)
{
    const DWORD offset = 14 + 40 + 1024;
    BmpBytes image;
    image.FileHeader(offset + static_cast<DWORD>(stream.size()), offset)
        .InfoHeader(4, 3, 8, BI_RLE8)
        .Ramp(1024)
        .Bytes(stream);
    return image;
}

// The replacement's same-sized block may land where the last one was: the row index must not
// outlive it. Only the top row is shown, which the index finds without decoding the rest.
TEST(DibDraw, ReplacedRunLengthPictureDrawsItsOwnRows)
{
    const BmpBytes first = RunLengthPicture({4, 1, 0, 0, 4, 2, 0, 0, 4, 3, 0, 0, 0, 1});
    const BmpBytes second = RunLengthPicture({2, 5, 2, 5, 0, 0, 4, 6, 0, 0, 4, 7, 0, 1});
    CDib dib;
    CSurface surface(4, 1);
    CSurfaceDC dc(&surface);
    const BmpBytes* sequence[] = {&first, &second, &second, &first};
    for (int i = 0; i < 4; ++i) {
        CMemFile file(sequence[i]->Data(), sequence[i]->Size());
        ASSERT_TRUE(dib.Read(&file));
        const int top = sequence[i] == &first ? 3 : 7;
        for (int pass = 0; pass < (i == 1 ? 0 : 2); ++pass) {
            dib.Draw(&dc, 0, 0);
            EXPECT_EQ(dc.GetPixel(3, 0), RGB(4 * top + 2, 4 * top + 1, 4 * top)) << i;
        }
    }
    // A blank bitmap in its place is drawn as one; without a context nothing is.
    ASSERT_TRUE(dib.Create(4, 3));
    dib.Draw(&dc, 0, 0);
    EXPECT_EQ(dc.GetPixel(0, 0), RGB(0, 0, 0));
    EXPECT_EQ(dib.Draw(nullptr, 0, 0), 0);
}

} // namespace
