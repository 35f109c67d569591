// CDib::Read: headers of every kind, colour tables, pixel blocks and refusals.

#include "BmpBytes.h"
#include "BmpSuite.h"
#include "dib/Dib.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <ostream>
#include <string>
#include <vector>

namespace {

// Reads `image` placed at `offset` in a file whose first bytes are junk.
BOOL ReadImage(CDib& dib, const BmpBytes& image, size_t offset = 0)
{
    std::vector<BYTE> bytes(offset, 0xEE);
    bytes.insert(bytes.end(), image.Vector().begin(), image.Vector().end());
    CMemFile file(bytes.data(), bytes.size());
    file.Seek(static_cast<LONGLONG>(offset), CFile::begin);
    return dib.Read(&file);
}

// Everything a failed read must leave as it was.
struct Snapshot
{
    explicit Snapshot(const CDib& dib)
        : info(dib.m_pInfo), pixels(dib.m_pPixels), cbPixels(dib.m_cbPixels),
          infoBytes(reinterpret_cast<const BYTE*>(dib.m_pInfo),
                    reinterpret_cast<const BYTE*>(dib.m_pInfo) + sizeof(BITMAPINFO)),
          pixelBytes(dib.m_pPixels, dib.m_pPixels + dib.m_cbPixels)
    {
    }
    bool operator==(const Snapshot&) const = default;

    const BITMAPINFO* info;
    const BYTE* pixels;
    size_t cbPixels;
    std::vector<BYTE> infoBytes;
    std::vector<BYTE> pixelBytes;
};

std::vector<BYTE> ColourBytes(const CDib& dib, int first, int count)
{
    const BYTE* table = reinterpret_cast<const BYTE*>(dib.m_pInfo->bmiColors);
    return {table + 4 * first, table + 4 * (first + count)};
}

std::vector<BYTE> PixelBytes(const CDib& dib)
{
    return {dib.m_pPixels, dib.m_pPixels + dib.m_cbPixels};
}

std::vector<BYTE> RampBytes(size_t count, BYTE first)
{
    return BmpBytes().Ramp(count, first).Vector();
}

TEST(DibRead, RefusesAnythingThatDoesNotStartWithBM)
{
    for (const BmpBytes& image : {BmpBytes(), BmpBytes().U8('B'), BmpBytes().Bytes({'B', 'A'}),
                                  BmpBytes().Bytes({'M', 'B'}).Fill(100, 0)}) {
        CDib dib;
        const Snapshot before(dib);
        EXPECT_FALSE(ReadImage(dib, image));
        EXPECT_TRUE(Snapshot(dib) == before);
    }
}

class DibReadAtOffset : public testing::TestWithParam<size_t>
{
};

// 1 x 1 at 8 bits: header at 14-53, colours at 54-1077, pixel row at 1078-1081.
TEST_P(DibReadAtOffset, InfoHeaderImage)
{
    BmpBytes image;
    image.FileHeader(1082, 1078).InfoHeader(1, 1, 8).Ramp(1024, 7).Bytes({0xAB, 1, 2, 3});
    image.Fill(10, 0x55); // past the file size field: not part of the image

    CDib dib;
    ASSERT_TRUE(ReadImage(dib, image, GetParam()));
    const BITMAPINFOHEADER& h = dib.m_pInfo->bmiHeader;
    EXPECT_EQ(h.biSize, 40u);
    EXPECT_EQ(h.biWidth, 1);
    EXPECT_EQ(h.biHeight, 1);
    EXPECT_EQ(h.biBitCount, 8);
    EXPECT_EQ(h.biXPelsPerMeter, 2835);
    EXPECT_EQ(ColourBytes(dib, 0, 256), RampBytes(1024, 7));
    EXPECT_EQ(PixelBytes(dib), (std::vector<BYTE>{0xAB, 1, 2, 3}));
    EXPECT_EQ(dib.GetColorCount(), 256);
}

// 2 x 2 at 1 bit: core header at 14-25, two triples at 26-31, rows at 32-39.
TEST_P(DibReadAtOffset, CoreHeaderImage)
{
    BmpBytes image;
    image.FileHeader(40, 32).CoreHeader(2, 2, 1).Bytes({1, 2, 3, 4, 5, 6}).Ramp(8, 0x80);

    CDib dib;
    ASSERT_TRUE(ReadImage(dib, image, GetParam()));
    const BITMAPINFOHEADER& h = dib.m_pInfo->bmiHeader;
    EXPECT_EQ(h.biSize, 40u);
    EXPECT_EQ(h.biWidth, 2);
    EXPECT_EQ(h.biHeight, 2);
    EXPECT_EQ(h.biPlanes, 1);
    EXPECT_EQ(h.biBitCount, 1);
    EXPECT_EQ(h.biCompression | h.biSizeImage | h.biClrUsed | h.biClrImportant, 0u);
    EXPECT_EQ(h.biXPelsPerMeter | h.biYPelsPerMeter, 0);
    EXPECT_EQ(ColourBytes(dib, 0, 2), (std::vector<BYTE>{1, 2, 3, 0, 4, 5, 6, 0}));
    EXPECT_EQ(ColourBytes(dib, 2, 254), std::vector<BYTE>(254 * 4, 0)); // never read: cleared
    EXPECT_EQ(PixelBytes(dib), RampBytes(8, 0x80));
    EXPECT_EQ(dib.GetColorCount(), 2);
}

INSTANTIATE_TEST_SUITE_P(Start, DibReadAtOffset, testing::Values(0, 100));

TEST(DibRead, CoreHeaderColourTablesFollowTheBitCount)
{
    // 8 bits: 256 triples become entries with a zero fourth byte.
    BmpBytes image8;
    image8.FileHeader(26 + 768 + 8, 26 + 768).CoreHeader(2, 2, 8).Ramp(768, 0).Ramp(8, 9);
    CDib dib;
    ASSERT_TRUE(ReadImage(dib, image8));
    EXPECT_EQ(dib.GetColorCount(), 256);
    for (int i : {0, 1, 100, 255}) {
        const RGBQUAD& c = dib.m_pInfo->bmiColors[i];
        EXPECT_EQ(c.rgbBlue, static_cast<BYTE>(3 * i));
        EXPECT_EQ(c.rgbGreen, static_cast<BYTE>(3 * i + 1));
        EXPECT_EQ(c.rgbRed, static_cast<BYTE>(3 * i + 2));
        EXPECT_EQ(c.rgbReserved, 0);
    }
    EXPECT_EQ(PixelBytes(dib), RampBytes(8, 9));

    // 24 bits: no table at all, and the first bytes after the header are pixels.
    BmpBytes image24;
    image24.FileHeader(26 + 4, 26).CoreHeader(1, 1, 24).Bytes({10, 20, 30, 0});
    ASSERT_TRUE(ReadImage(dib, image24));
    EXPECT_EQ(dib.GetColorCount(), 0);
    EXPECT_EQ(ColourBytes(dib, 0, 256), std::vector<BYTE>(1024, 0));
    EXPECT_EQ(PixelBytes(dib), (std::vector<BYTE>{10, 20, 30, 0}));
}

TEST(DibRead, CoreDimensionsAreUnsigned)
{
    BmpBytes image;
    image.FileHeader(26, 26).CoreHeader(40000, 65535, 24);
    CDib dib;
    ASSERT_TRUE(ReadImage(dib, image));
    EXPECT_EQ(dib.m_pInfo->bmiHeader.biWidth, 40000);
    EXPECT_EQ(dib.m_pInfo->bmiHeader.biHeight, 65535);
}

TEST(DibRead, InfoColourTableIsAlways1024BytesWhateverTheCount)
{
    // 16 colours stored; entries 16 on take the pixel bytes that follow, and
    // the entries the short file cannot fill stay cleared.
    BmpBytes image;
    image.FileHeader(54 + 64 + 8, 54 + 64).InfoHeader(2, 2, 4).Ramp(64, 1).Ramp(8, 0xC0);
    CDib dib;
    ASSERT_TRUE(ReadImage(dib, image));
    EXPECT_EQ(dib.GetColorCount(), 16);
    EXPECT_EQ(ColourBytes(dib, 0, 16), RampBytes(64, 1));
    EXPECT_EQ(ColourBytes(dib, 16, 2), RampBytes(8, 0xC0));
    EXPECT_EQ(ColourBytes(dib, 18, 238), std::vector<BYTE>(238 * 4, 0));
    EXPECT_EQ(PixelBytes(dib), RampBytes(8, 0xC0));

    // 24 bits: the colour count is biClrUsed alone.
    BmpBytes rgb;
    rgb.FileHeader(54 + 4, 54).InfoHeader(1, 1, 24).Bytes({1, 2, 3, 0});
    ASSERT_TRUE(ReadImage(dib, rgb));
    EXPECT_EQ(dib.GetColorCount(), 0);
}

struct PixelBlockCase
{
    const char* what;
    DWORD fileSize;    // the header's claim
    size_t pixelsHeld; // pixel bytes actually in the file
    size_t expected;
    friend void PrintTo(const PixelBlockCase& c, std::ostream* os) { *os << c.what; }
};

class DibReadPixelBlock : public testing::TestWithParam<PixelBlockCase>
{
};

// The pixel block is bfSize - bfOffBits, but never more than the file holds;
// a bfSize below bfOffBits (0 is common) means "to the end of the file".
TEST_P(DibReadPixelBlock, IsSizedByTheFileSizeFieldWithinTheFile)
{
    const PixelBlockCase c = GetParam();
    constexpr DWORD kOffset = 54 + 1024;
    BmpBytes image;
    image.FileHeader(c.fileSize, kOffset).InfoHeader(4, 4, 8).Fill(1024, 0).Ramp(c.pixelsHeld, 1);

    CDib dib;
    ASSERT_TRUE(ReadImage(dib, image, 33));
    EXPECT_EQ(dib.m_cbPixels, c.expected);
    EXPECT_NE(dib.m_pPixels, nullptr);
    EXPECT_EQ(PixelBytes(dib), RampBytes(c.expected, 1));
}

INSTANTIATE_TEST_SUITE_P(
    Sizes, DibReadPixelBlock,
    testing::Values(PixelBlockCase{"exact", 1078 + 16, 16, 16},
                    PixelBlockCase{"trailing bytes not counted", 1078 + 16, 40, 16},
                    PixelBlockCase{"size equal to offset", 1078, 16, 0},
                    PixelBlockCase{"size zero", 0, 16, 16},
                    PixelBlockCase{"size of the headers only", 54, 16, 16},
                    PixelBlockCase{"file cut inside the pixels", 1078 + 16, 5, 5},
                    PixelBlockCase{"4 GiB claimed", 0xFFFFFFFF, 16, 16},
                    PixelBlockCase{"no pixels at all", 1078 + 16, 0, 0}),
    [](const auto& info) { return BmpSuiteTestName(info.param.what); });

TEST(DibRead, PixelOffsetPastTheEndGivesAnEmptyBlock)
{
    BmpBytes image;
    image.FileHeader(0x7FFFFFFF, 0x7FFFFF00).InfoHeader(4, 4, 8).Fill(1024, 0);
    CDib dib;
    ASSERT_TRUE(ReadImage(dib, image));
    EXPECT_EQ(dib.m_cbPixels, 0u);
}

struct LaterHeaderCase
{
    DWORD size;
    DWORD compression;
    int masksFromHeader;
    friend void PrintTo(const LaterHeaderCase& c, std::ostream* os)
    {
        *os << c.size << "-byte header, compression " << c.compression;
    }
};

class DibReadLaterHeader : public testing::TestWithParam<LaterHeaderCase>
{
};

// Headers of 52, 56, 108 and 124 bytes extend the 40-byte one: they read as
// it does, the colour table follows the whole header, and masks held inside
// the header land in the first colour entries.
TEST_P(DibReadLaterHeader, ReadsAsTheInfoKind)
{
    const LaterHeaderCase c = GetParam();
    const DWORD tableAt = 14 + c.size;
    const DWORD pixelsAt = tableAt + 64;
    BmpBytes image;
    image.FileHeader(pixelsAt + 8, pixelsAt)
        .InfoHeader(70000, -3, c.compression == BI_RGB ? 8 : 32, c.compression, 0, c.size);
    image.U32(0xFF000000).U32(0x00FF0000).U32(0x0000FF00).U32(0x000000FF); // R, G, B, A masks
    image.Fill(c.size - 56, 0x99).Ramp(64, 0x40).Ramp(8, 0xF0);
    ASSERT_EQ(image.Size(), pixelsAt + 8);

    CDib dib;
    ASSERT_TRUE(ReadImage(dib, image));
    const BITMAPINFOHEADER& h = dib.m_pInfo->bmiHeader;
    EXPECT_EQ(h.biSize, 40u);
    EXPECT_EQ(h.biWidth, 70000);
    EXPECT_EQ(h.biHeight, -3);
    EXPECT_EQ(h.biCompression, c.compression);

    const std::vector<BYTE> masks = {0, 0, 0, 0xFF, 0, 0, 0xFF, 0, 0, 0xFF, 0, 0, 0xFF, 0, 0, 0};
    const int k = c.masksFromHeader;
    EXPECT_EQ(ColourBytes(dib, 0, k), std::vector<BYTE>(masks.begin(), masks.begin() + 4 * k));
    EXPECT_EQ(ColourBytes(dib, k, 16), RampBytes(64, 0x40));
    EXPECT_EQ(PixelBytes(dib), RampBytes(8, 0xF0));
}

INSTANTIATE_TEST_SUITE_P(
    Versions, DibReadLaterHeader,
    testing::Values(LaterHeaderCase{56, BI_RGB, 0}, LaterHeaderCase{108, BI_RGB, 0},
                    LaterHeaderCase{124, BI_RGB, 0}, LaterHeaderCase{56, BI_BITFIELDS, 3},
                    LaterHeaderCase{108, BI_BITFIELDS, 3}, LaterHeaderCase{124, BI_BITFIELDS, 3},
                    LaterHeaderCase{56, BI_ALPHABITFIELDS, 4},
                    LaterHeaderCase{124, BI_ALPHABITFIELDS, 4}),
    [](const auto& info) {
        return "size" + std::to_string(info.param.size) + "_compression" +
               std::to_string(info.param.compression);
    });

TEST(DibRead, FiftyTwoByteHeaderHoldsThreeMasks)
{
    BmpBytes image;
    image.FileHeader(66 + 1024 + 4, 66 + 1024).InfoHeader(1, 1, 32, BI_BITFIELDS, 0, 52);
    image.U32(0x00FF0000).U32(0x0000FF00).U32(0x000000FF).Ramp(1024, 3).Bytes({1, 2, 3, 4});
    CDib dib;
    ASSERT_TRUE(ReadImage(dib, image));
    EXPECT_EQ(ColourBytes(dib, 0, 3),
              (std::vector<BYTE>{0, 0, 0xFF, 0, 0, 0xFF, 0, 0, 0xFF, 0, 0, 0}));
    EXPECT_EQ(ColourBytes(dib, 3, 253), RampBytes(1012, 3));
}

TEST(DibRead, Os2HeadersReadTheFieldsTheyHold)
{
    // 16 bytes: size, 32-bit width and height, planes, bit count.
    BmpBytes shortHeader;
    shortHeader.FileHeader(30 + 1024 + 4, 30 + 1024).U32(16).U32(300).U32(2).U16(1).U16(8);
    shortHeader.Ramp(1024, 5).Bytes({9, 9, 9, 9});
    CDib dib;
    ASSERT_TRUE(ReadImage(dib, shortHeader));
    EXPECT_EQ(dib.m_pInfo->bmiHeader.biWidth, 300);
    EXPECT_EQ(dib.m_pInfo->bmiHeader.biHeight, 2);
    EXPECT_EQ(dib.m_pInfo->bmiHeader.biBitCount, 8);
    EXPECT_EQ(dib.m_pInfo->bmiHeader.biCompression, 0u);
    EXPECT_EQ(dib.m_pInfo->bmiHeader.biClrUsed, 0u);
    EXPECT_EQ(ColourBytes(dib, 0, 256), RampBytes(1024, 5));
    EXPECT_EQ(PixelBytes(dib), (std::vector<BYTE>{9, 9, 9, 9}));

    // 64 bytes: compression 3 means something else there, so nothing in the
    // header's tail is taken for masks.
    BmpBytes fullHeader;
    fullHeader.FileHeader(78 + 8 + 4, 78 + 8).InfoHeader(1, 1, 1, 3, 2, 64).Fill(24, 0x77);
    fullHeader.Bytes({0, 0, 0, 0, 255, 255, 255, 0}).Bytes({0x80, 0, 0, 0});
    ASSERT_TRUE(ReadImage(dib, fullHeader));
    EXPECT_EQ(dib.m_pInfo->bmiHeader.biClrUsed, 2u);
    EXPECT_EQ(dib.GetColorCount(), 2);
    EXPECT_EQ(ColourBytes(dib, 0, 2), (std::vector<BYTE>{0, 0, 0, 0, 255, 255, 255, 0}));
}

TEST(DibRead, RefusesHeaderSizesOfNoKnownKind)
{
    for (DWORD size : {0u, 1u, 4u, 11u, 13u, 15u, 17u, 20u, 39u, 65u, 66u, 100u, 107u, 109u, 123u,
                       125u, 0x10000u, 0xFFFFFFFFu}) {
        BmpBytes image;
        image.FileHeader(2000, 1078).InfoHeader(4, 4, 8, 0, 0, size).Fill(1200, 1);
        CDib dib;
        const Snapshot before(dib);
        EXPECT_FALSE(ReadImage(dib, image)) << "header size " << size;
        EXPECT_TRUE(Snapshot(dib) == before) << "header size " << size;
    }
}

TEST(DibRead, FileEndingInsideTheHeaderLeavesTheRestCleared)
{
    BmpBytes full;
    full.InfoHeader(4, 3, 8, BI_RLE8, 0);
    BmpBytes image;
    image.FileHeader(0, 1078);
    for (size_t i = 0; i < 20; ++i) // size, width, height, planes, bit count, compression
        image.U8(full.Data()[i]);

    CDib dib;
    ASSERT_TRUE(ReadImage(dib, image));
    const BITMAPINFOHEADER& h = dib.m_pInfo->bmiHeader;
    EXPECT_EQ(h.biWidth, 4);
    EXPECT_EQ(h.biHeight, 3);
    EXPECT_EQ(h.biCompression, BI_RLE8);
    EXPECT_EQ(h.biXPelsPerMeter, 0);
    EXPECT_EQ(ColourBytes(dib, 0, 256), std::vector<BYTE>(1024, 0));
    EXPECT_EQ(dib.m_cbPixels, 0u);
}

TEST(DibRead, SecondReadReplacesTheFirst)
{
    BmpBytes big;
    big.FileHeader(1078 + 64, 1078).InfoHeader(8, 8, 8).Fill(1024, 0).Ramp(64, 0);
    BmpBytes small;
    small.FileHeader(26 + 4, 26).CoreHeader(1, 1, 24).Bytes({1, 2, 3, 0});
    CDib dib;
    ASSERT_TRUE(ReadImage(dib, big));
    ASSERT_TRUE(ReadImage(dib, small));
    EXPECT_EQ(dib.m_pInfo->bmiHeader.biWidth, 1);
    EXPECT_EQ(PixelBytes(dib), (std::vector<BYTE>{1, 2, 3, 0}));
}

// A file that holds less than it said when measured, as one being cut short
// by another program while we read it.
class ShrinkingFile : public CMemFile
{
public:
    using CMemFile::CMemFile;
    ULONGLONG GetLength() const override { return CMemFile::GetLength() + 100; }
};

TEST(DibRead, BytesTheFileNoLongerDeliversAreCleared)
{
    BmpBytes image;
    image.FileHeader(1078 + 64, 1078).InfoHeader(8, 8, 8).Fill(1024, 0).Fill(10, 0xAA);
    ShrinkingFile file(image.Data(), image.Size());
    CDib dib;
    ASSERT_TRUE(dib.Read(&file));
    ASSERT_EQ(dib.m_cbPixels, 64u);
    std::vector<BYTE> expected(64, 0);
    std::fill_n(expected.begin(), 10, 0xAA);
    EXPECT_EQ(PixelBytes(dib), expected);
}

// Fails with a device error at the n-th call that touches the file.
class FailingFile : public CMemFile
{
public:
    FailingFile(const BmpBytes& image, int failAt)
        : CMemFile(image.Data(), image.Size()), m_callsLeft(failAt)
    {
    }
    ULONGLONG GetLength() const override
    {
        Tick();
        return CMemFile::GetLength();
    }
    ULONGLONG Seek(LONGLONG offset, UINT from) override
    {
        Tick();
        return CMemFile::Seek(offset, from);
    }
    UINT Read(void* buffer, UINT count) override
    {
        Tick();
        return CMemFile::Read(buffer, count);
    }

private:
    void Tick() const
    {
        if (m_callsLeft-- == 0)
            throw CFileException(CFileException::hardIO, 5, "failing.bmp");
    }
    mutable int m_callsLeft;
};

// Whichever call fails, the error reaches the caller, the object keeps what
// it had, and the blocks the read had made are released (the leak checker
// of the sanitizer build sees to the last part).
TEST(DibRead, FileErrorsPassThroughAndLeaveTheObjectAsItWas)
{
    for (const BmpBytes& image :
         {BmpBytes().FileHeader(0, 1078).InfoHeader(4, 4, 8).Fill(1024, 1).Fill(16, 2),
          BmpBytes().FileHeader(0, 32).CoreHeader(2, 2, 1).Fill(6, 1).Fill(8, 2)}) {
        int failAt = 0;
        for (;; ++failAt) {
            CDib dib;
            const Snapshot before(dib);
            FailingFile file(image, failAt);
            try {
                ASSERT_TRUE(dib.Read(&file));
                break;
            } catch (const CFileException& e) {
                EXPECT_EQ(e.m_cause, CFileException::hardIO);
                EXPECT_TRUE(Snapshot(dib) == before) << "failing call " << failAt;
            }
        }
        EXPECT_GE(failAt, 5); // every step of the read was made to fail once
    }
}

} // namespace
