// Shortened second OS/2 headers: every size that ends on a field boundary reads
// the fields it holds, the rest as 0; a size inside a field is refused.

#include "BmpBytes.h"
#include "dib/Dib.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

TEST(Os2Header, EveryWholeFieldSizeReadsItsFieldsAndTheRestAsZero)
{
    for (const DWORD size : {16u, 18u, 20u, 24u, 28u, 32u, 36u, 38u}) {
        SCOPED_TRACE(size);
        BmpBytes header;
        header.U32(size).U32(3).U32(static_cast<DWORD>(-2)).U16(1).U16(8);
        header.U32(BI_RGB).U32(8).U32(111).U32(222).U32(2).U32(1);
        const DWORD pixelsAt = 14 + size + 1024;
        BmpBytes image;
        image.FileHeader(pixelsAt + 8, pixelsAt);
        for (DWORD i = 0; i < size; ++i)
            image.U8(header.Data()[i]);
        image.Ramp(1024, 0x10).Ramp(8, 0xA0);
        CMemFile file(image.Data(), image.Size());

        CDib dib;
        if (size % 4 != 0) {
            EXPECT_FALSE(dib.Read(&file));
            continue;
        }
        ASSERT_TRUE(dib.Read(&file));
        const BITMAPINFOHEADER& h = dib.m_pInfo->bmiHeader;
        EXPECT_EQ(h.biSize, 40u);
        EXPECT_EQ(h.biWidth, 3);
        EXPECT_EQ(h.biHeight, -2);
        EXPECT_EQ(h.biBitCount, 8);
        EXPECT_EQ(h.biSizeImage, size >= 24 ? 8u : 0u);
        EXPECT_EQ(h.biXPelsPerMeter, size >= 28 ? 111 : 0);
        EXPECT_EQ(h.biYPelsPerMeter, size >= 32 ? 222 : 0);
        EXPECT_EQ(h.biClrUsed, size >= 36 ? 2u : 0u);
        EXPECT_EQ(h.biClrImportant, 0u);
        EXPECT_EQ(dib.m_pInfo->bmiColors[1].rgbBlue, 0x14);
        EXPECT_EQ(std::vector<BYTE>(dib.m_pPixels, dib.m_pPixels + dib.m_cbPixels),
                  BmpBytes().Ramp(8, 0xA0).Vector());
    }
}

} // namespace
