// CDib::Read: headers of every kind, colour tables, the pixel block, refusals and file errors.

#include "BmpBytes.h"
#include "BmpSuite.h"
#include "dib/Dib.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <tuple>
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

std::vector<BYTE> ColourBytes(const CDib& dib, int first, int count)
{
    const BYTE* table = reinterpret_cast<const BYTE*>(dib.m_pInfo->bmiColors);
    return {table + 4 * first, table + 4 * (first + count)};
}

std::vector<BYTE> PixelBytes(const CDib& dib)
{
    return {dib.m_pPixels, dib.m_pPixels + dib.m_cbPixels};
}

// Everything a failed read must leave as it was.
auto State(const CDib& dib)
{
    const auto* info = reinterpret_cast<const BYTE*>(dib.m_pInfo);
    return std::tuple(dib.m_pInfo, dib.m_pPixels,
                      std::vector<BYTE>(info, info + sizeof(BITMAPINFO)), PixelBytes(dib));
}

std::vector<BYTE> RampBytes(size_t count, BYTE first)
{
    return BmpBytes().Ramp(count, first).Vector();
}

TEST(DibRead, RefusesWhatIsNotABitmapOfAKnownHeaderAndKeepsTheObject)
{
    std::vector<BmpBytes> images = {BmpBytes(), BmpBytes().U8('B'),
                                    BmpBytes().Bytes({'B', 'A'}).Fill(100, 0)};
    for (DWORD size : {0u, 4u, 11u, 13u, 15u, 17u, 39u, 65u, 100u, 109u, 125u, 0xFFFFFFFFu})
        images.push_back(
            BmpBytes().FileHeader(2000, 1078).InfoHeader(4, 4, 8, 0, 0, size).Fill(1200, 1));
    for (size_t i = 0; i < images.size(); ++i) {
        SCOPED_TRACE(i);
        CDib dib;
        const auto before = State(dib);
        EXPECT_FALSE(ReadImage(dib, images[i]));
        EXPECT_TRUE(State(dib) == before);
    }
}

// 40000 wide: core dimensions are unsigned; two triples widen to entries, the rest cleared.
TEST(DibRead, CoreHeaderImage)
{
    BmpBytes image;
    image.FileHeader(40, 32).CoreHeader(40000, 2, 1).Bytes({1, 2, 3, 4, 5, 6}).Ramp(8, 0x80);
    CDib dib;
    ASSERT_TRUE(ReadImage(dib, image, 100));
    const BITMAPINFOHEADER& h = dib.m_pInfo->bmiHeader;
    EXPECT_EQ(std::tuple(h.biSize, h.biWidth, h.biHeight, h.biPlanes, h.biBitCount),
              std::tuple(40u, 40000, 2, 1, 1));
    std::vector<BYTE> colours(1024, 0);
    std::ranges::copy(std::vector<BYTE>{1, 2, 3, 0, 4, 5, 6, 0}, colours.begin());
    EXPECT_EQ(ColourBytes(dib, 0, 256), colours);
    EXPECT_EQ(PixelBytes(dib), RampBytes(8, 0x80));
    EXPECT_EQ(dib.GetColorCount(), 2);
}

// bfSize - bfOffBits within the file; a bfSize below bfOffBits (0 is common) means "to the end".
TEST(DibRead, PixelBlockIsSizedByTheFileSizeFieldWithinTheFile)
{
    struct Case
    {
        const char* what;
        DWORD fileSize, pixelOffset;
        size_t pixelsHeld, expected; // pixel bytes in the file, in the block
    };
    for (const Case c :
         {Case{"trailing bytes not counted", 1078 + 16, 1078, 40, 16},
          Case{"size equal to offset", 1078, 1078, 16, 0}, Case{"size zero", 0, 1078, 16, 16},
          Case{"file cut inside the pixels", 1078 + 16, 1078, 5, 5},
          Case{"offset past the end", 0x7FFFFFFF, 0x7FFFFF00, 16, 0}}) {
        SCOPED_TRACE(c.what);
        BmpBytes image;
        image.FileHeader(c.fileSize, c.pixelOffset).InfoHeader(4, 4, 8).Fill(1024, 0);
        image.Ramp(c.pixelsHeld, 1);
        CDib dib;
        ASSERT_TRUE(ReadImage(dib, image, 33));
        EXPECT_NE(dib.m_pPixels, nullptr);
        EXPECT_EQ(PixelBytes(dib), RampBytes(c.expected, 1));
    }
}

// Masks inside a longer header land in the first colour entries; the 64-byte OS/2 one holds none.
TEST(DibRead, LaterHeadersReadAsTheInfoKind)
{
    struct Case
    {
        DWORD size, compression;
        int masksFromHeader;
    };
    for (const Case c :
         {Case{52, BI_BITFIELDS, 3}, Case{52, BI_ALPHABITFIELDS, 3}, Case{56, BI_RGB, 0},
          Case{56, BI_BITFIELDS, 3}, Case{56, BI_ALPHABITFIELDS, 4}, Case{108, BI_BITFIELDS, 3},
          Case{124, BI_ALPHABITFIELDS, 4}, Case{64, BI_BITFIELDS, 0}}) {
        SCOPED_TRACE(testing::Message() << c.size << " bytes, compression " << c.compression);
        const DWORD pixelsAt = 14 + c.size + 64;
        BmpBytes image;
        image.FileHeader(pixelsAt + 8, pixelsAt)
            .InfoHeader(70000, -3, 32, c.compression, 0, c.size);
        for (const DWORD mask : {0xFF000000u, 0x00FF0000u, 0x0000FF00u, 0x000000FFu})
            if (image.Size() + 4 <= 14 + c.size)
                image.U32(mask);
        image.Fill(14 + c.size - image.Size(), 0x99).Ramp(64, 0x40).Ramp(8, 0xF0);

        CDib dib;
        ASSERT_TRUE(ReadImage(dib, image, 33));
        const BITMAPINFOHEADER& h = dib.m_pInfo->bmiHeader;
        EXPECT_EQ(std::tuple(h.biSize, h.biWidth, h.biHeight, h.biCompression),
                  std::tuple(40u, 70000, -3, c.compression));
        const std::vector<BYTE> masks = {0, 0,    0, 0xFF, 0,    0, 0xFF, 0,
                                         0, 0xFF, 0, 0,    0xFF, 0, 0,    0};
        const int k = c.masksFromHeader;
        EXPECT_EQ(ColourBytes(dib, 0, k), std::vector<BYTE>(masks.begin(), masks.begin() + 4 * k));
        EXPECT_EQ(ColourBytes(dib, k, 16), RampBytes(64, 0x40));
        EXPECT_EQ(PixelBytes(dib), RampBytes(8, 0xF0));
    }
}

// A second OS/2 header shortened after any whole field reads those fields, the rest as 0.
TEST(DibRead, ShortOs2HeadersReadTheFieldsTheyHold)
{
    for (const DWORD size : {16u, 20u, 24u, 28u, 32u, 36u}) {
        SCOPED_TRACE(size);
        BmpBytes fields;
        fields.U32(size).U32(3).U32(static_cast<DWORD>(-2)).U16(1).U16(8);
        fields.U32(BI_RGB).U32(8).U32(111).U32(222).U32(2).U32(1);
        BmpBytes image;
        image.FileHeader(14 + size + 1024 + 8, 14 + size + 1024);
        for (DWORD i = 0; i < size; ++i)
            image.U8(fields.Data()[i]);
        image.Ramp(1024, 0x10).Ramp(8, 0xA0);
        CDib dib;
        ASSERT_TRUE(ReadImage(dib, image, 33));
        const BITMAPINFOHEADER& h = dib.m_pInfo->bmiHeader;
        EXPECT_EQ(std::tuple(h.biSize, h.biWidth, h.biHeight, h.biBitCount, h.biSizeImage,
                             h.biXPelsPerMeter, h.biYPelsPerMeter, h.biClrUsed, h.biClrImportant),
                  std::tuple(40u, 3, -2, WORD{8}, size >= 24 ? 8u : 0u, size >= 28 ? 111 : 0,
                             size >= 32 ? 222 : 0, size >= 36 ? 2u : 0u, 0u));
        EXPECT_EQ(ColourBytes(dib, 0, 256), RampBytes(1024, 0x10));
        EXPECT_EQ(PixelBytes(dib), RampBytes(8, 0xA0));
    }
}

// Fails at the n-th call (never, for -1), or holds less than it measured, as if cut meanwhile.
class FlakyFile : public CMemFile
{
public:
    FlakyFile(const BmpBytes& image, int failAt, ULONGLONG missing = 0)
        : CMemFile(image.Data(), image.Size()), m_callsLeft(failAt), m_missing(missing)
    {
    }
    ULONGLONG GetLength() const override { return Tick(), CMemFile::GetLength() + m_missing; }
    ULONGLONG Seek(LONGLONG offset, UINT from) override
    {
        return Tick(), CMemFile::Seek(offset, from);
    }
    UINT Read(void* buffer, UINT count) override { return Tick(), CMemFile::Read(buffer, count); }

private:
    void Tick() const
    {
        if (m_callsLeft-- == 0)
            throw CFileException(CFileException::hardIO, 5, "failing.bmp");
    }
    mutable int m_callsLeft;
    ULONGLONG m_missing;
};

// Whichever call fails, the object keeps what it had (the leak checker sees the blocks go).
TEST(DibRead, FileErrorsPassThroughAndShortFilesAreCleared)
{
    for (const BmpBytes& image :
         {BmpBytes().FileHeader(0, 1078).InfoHeader(4, 4, 8).Fill(1024, 1).Fill(16, 2),
          BmpBytes().FileHeader(0, 32).CoreHeader(2, 2, 1).Fill(6, 1).Fill(8, 2)}) {
        int failAt = 0;
        for (;; ++failAt) {
            CDib dib;
            const auto before = State(dib);
            FlakyFile file(image, failAt);
            try {
                ASSERT_TRUE(dib.Read(&file));
                break;
            } catch (const CFileException& e) {
                EXPECT_EQ(e.m_cause, CFileException::hardIO);
                EXPECT_TRUE(State(dib) == before) << "failing call " << failAt;
            }
        }
        EXPECT_GE(failAt, 5); // every step of the read was made to fail once

        FlakyFile shrunk(image, -1, 100);
        CDib dib;
        ASSERT_TRUE(dib.Read(&shrunk));
        ASSERT_GT(dib.m_cbPixels, 100u); // the block runs to the end the file claimed
        std::vector<BYTE> expected(image.Vector().end() - (dib.m_cbPixels - 100),
                                   image.Vector().end());
        expected.resize(dib.m_cbPixels, 0);
        EXPECT_EQ(PixelBytes(dib), expected);
    }
}

} // namespace
