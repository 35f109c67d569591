// CDib: the blank bitmap, Create and the colour count.

#include "dib/Dib.h"

#include "BmpBytes.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <ostream>
#include <string>
#include <vector>

namespace {

bool AllZero(const BYTE* p, size_t n)
{
    return std::all_of(p, p + n, [](BYTE b) { return b == 0; });
}

TEST(Dib, NewObjectIsABlankGreyRamp16x16)
{
    CDib dib;
    const BITMAPINFOHEADER& h = dib.m_pInfo->bmiHeader;
    EXPECT_EQ(h.biSize, 40u);
    EXPECT_EQ(h.biWidth, 16);
    EXPECT_EQ(h.biHeight, 16);
    EXPECT_EQ(h.biPlanes, 1);
    EXPECT_EQ(h.biBitCount, 8);
    EXPECT_EQ(h.biCompression | h.biSizeImage | h.biClrUsed | h.biClrImportant, 0u);
    EXPECT_EQ(h.biXPelsPerMeter | h.biYPelsPerMeter, 0);
    EXPECT_EQ(dib.GetColorCount(), 256);

    for (int i : {0, 100, 255}) {
        const RGBQUAD& c = dib.m_pInfo->bmiColors[i];
        EXPECT_EQ(c.rgbBlue, i);
        EXPECT_EQ(c.rgbGreen, i);
        EXPECT_EQ(c.rgbRed, i);
        EXPECT_EQ(c.rgbReserved, 0);
    }
    // The pixels are defined (black), never leftover heap contents.
    ASSERT_EQ(dib.m_cbPixels, 256u);
    EXPECT_TRUE(AllZero(dib.m_pPixels, dib.m_cbPixels));
}

struct CreateCase
{
    int width, height;
    size_t pixelBytes;
    friend void PrintTo(const CreateCase& c, std::ostream* os)
    {
        *os << c.width << " x " << c.height;
    }
};

class DibCreate : public testing::TestWithParam<CreateCase>
{
};

TEST_P(DibCreate, PixelBlockFollowsTheStrideRule)
{
    const CreateCase c = GetParam();
    CDib dib;
    ASSERT_TRUE(dib.Create(c.width, c.height));
    EXPECT_EQ(dib.m_cbPixels, c.pixelBytes);
    ASSERT_NE(dib.m_pPixels, nullptr);
    EXPECT_TRUE(AllZero(dib.m_pPixels, dib.m_cbPixels));
    // The header keeps the size asked for, even where no block could be made.
    EXPECT_EQ(dib.m_pInfo->bmiHeader.biWidth, c.width);
    EXPECT_EQ(dib.m_pInfo->bmiHeader.biHeight, c.height);
    EXPECT_EQ(dib.m_pInfo->bmiColors[255].rgbRed, 255);
}

INSTANTIATE_TEST_SUITE_P(
    Sizes, DibCreate,
    testing::Values(CreateCase{1, 1, 4}, CreateCase{5, 3, 24}, CreateCase{4, 2, 8},
                    CreateCase{0, 16, 0}, CreateCase{16, 0, 0},
                    // Negative sizes and 32-bit overflows get no pixels.
                    CreateCase{-1, 5, 0}, CreateCase{5, -3, 0}, CreateCase{INT_MAX, 1, 0},
                    CreateCase{46341, 46341, 0}, CreateCase{INT_MIN, INT_MIN, 0}),
    [](const auto& info) {
        auto n = [](int v) {
            return (v < 0 ? "minus" : "") + std::to_string(std::abs(static_cast<long long>(v)));
        };
        return n(info.param.width) + "x" + n(info.param.height);
    });

std::vector<BYTE> InfoHeaderBytes(WORD bitCount, DWORD clrUsed, DWORD size = 40)
{
    return BmpBytes().InfoHeader(3, 3, bitCount, 0, clrUsed, size).Vector();
}

TEST(DibColorCount, InfoHeaderMapsBitCountUnlessColoursUsedIsGiven)
{
    EXPECT_EQ(DibColorCount(InfoHeaderBytes(1, 0).data()), 2);
    EXPECT_EQ(DibColorCount(InfoHeaderBytes(4, 0).data()), 16);
    EXPECT_EQ(DibColorCount(InfoHeaderBytes(8, 0).data()), 256);
    for (WORD bits : {0, 2, 16, 24, 32})
        EXPECT_EQ(DibColorCount(InfoHeaderBytes(bits, 0).data()), 0) << bits << " bits";

    EXPECT_EQ(DibColorCount(InfoHeaderBytes(4, 7).data()), 7);
    EXPECT_EQ(DibColorCount(InfoHeaderBytes(24, 300).data()), 300); // more than the table holds
    // Any size but 12 is the info kind.
    EXPECT_EQ(DibColorCount(InfoHeaderBytes(8, 5, 108).data()), 5);
    // A count an int cannot hold must not turn negative.
    EXPECT_EQ(DibColorCount(InfoHeaderBytes(8, 0xFFFFFFFF).data()), INT_MAX);
    EXPECT_EQ(DibColorCount(InfoHeaderBytes(8, 0x80000000).data()), INT_MAX);
}

TEST(DibColorCount, CoreHeaderReadsNothingPastItsTwelveBytes)
{
    // Exactly 12 bytes on the heap: the sanitizer catches any read beyond.
    for (auto [bits, count] : {std::pair{1, 2}, {4, 16}, {8, 256}, {24, 0}}) {
        const std::vector<BYTE> header =
            BmpBytes().CoreHeader(2, 2, static_cast<WORD>(bits)).Vector();
        ASSERT_EQ(header.size(), 12u);
        EXPECT_EQ(DibColorCount(header.data()), count) << bits << " bits";
    }
}

TEST(IsInfoHeader, OnlyTwelveIsTheCoreKind)
{
    for (DWORD size : {40u, 108u, 124u, 0u, 13u})
        EXPECT_TRUE(IsInfoHeader(BmpBytes().U32(size).Data())) << size;
    EXPECT_FALSE(IsInfoHeader(BmpBytes().U32(12).Data()));
}

} // namespace
