// CDibPalette: palettes from colour tables, and the swatch grid.

#include "dib/DibPalette.h"

#include "dib/Dib.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

// A blank bitmap whose header and colour table the test then shapes.
struct Bitmap
{
    Bitmap(WORD bitCount, DWORD clrUsed, DWORD compression = BI_RGB)
    {
        dib.m_pInfo->bmiHeader.biBitCount = bitCount;
        dib.m_pInfo->bmiHeader.biClrUsed = clrUsed;
        dib.m_pInfo->bmiHeader.biCompression = compression;
        for (int i = 0; i < kDibColorEntries; ++i) // every entry distinct
            dib.m_pInfo->bmiColors[i] = RGBQUAD{static_cast<BYTE>(i), static_cast<BYTE>(255 - i),
                                                static_cast<BYTE>(i / 2 + 1), 0xEE};
    }
    CDib dib;
};

std::vector<PALETTEENTRY> Entries(const CDibPalette& palette)
{
    std::vector<PALETTEENTRY> entries(static_cast<size_t>(palette.GetNumEntries()));
    GetPaletteEntries(palette, 0, static_cast<UINT>(entries.size()), entries.data());
    return entries;
}

struct CountCase
{
    WORD bitCount;
    DWORD clrUsed;
    DWORD compression;
    int entries;   // 0: no palette
    int firstUsed; // colour-table entry that becomes palette entry 0
    friend void PrintTo(const CountCase& c, std::ostream* os)
    {
        *os << c.bitCount << " bits, " << c.clrUsed << " used, compression " << c.compression;
    }
};

class DibPaletteCount : public testing::TestWithParam<CountCase>
{
};

TEST_P(DibPaletteCount, TakesTheColourCountWithinTheTable)
{
    const CountCase c = GetParam();
    Bitmap bitmap(c.bitCount, c.clrUsed, c.compression);
    CDibPalette palette;
    ASSERT_EQ(palette.Create(&bitmap.dib), c.entries > 0);
    EXPECT_EQ(palette.GetNumEntries(), c.entries);
    const std::vector<PALETTEENTRY> entries = Entries(palette);
    for (int i = 0; i < c.entries; ++i) {
        const RGBQUAD& q = bitmap.dib.m_pInfo->bmiColors[c.firstUsed + i];
        ASSERT_EQ(entries[i].peRed, q.rgbRed) << i;
        ASSERT_EQ(entries[i].peGreen, q.rgbGreen) << i;
        ASSERT_EQ(entries[i].peBlue, q.rgbBlue) << i;
        ASSERT_EQ(entries[i].peFlags, 0) << i;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Bitmaps, DibPaletteCount,
    testing::Values(CountCase{1, 0, BI_RGB, 2, 0}, CountCase{4, 0, BI_RGB, 16, 0},
                    CountCase{8, 0, BI_RGB, 256, 0}, CountCase{8, 100, BI_RGB, 100, 0},
                    CountCase{24, 0, BI_RGB, 0, 0}, CountCase{24, 7, BI_RGB, 7, 0},
                    // Counts past the table's 256 entries keep to the table.
                    CountCase{8, 300, BI_RGB, 256, 0}, CountCase{8, 0xFFFFFFFF, BI_RGB, 256, 0},
                    // Bit-field masks stand before the colours.
                    CountCase{16, 5, BI_BITFIELDS, 5, 3}, CountCase{32, 300, BI_BITFIELDS, 253, 3},
                    CountCase{32, 2, BI_ALPHABITFIELDS, 2, 4},
                    CountCase{16, 0, BI_BITFIELDS, 0, 0}));

TEST(DibPalette, EntryBytesAreReorderedAndFlagsCleared)
{
    Bitmap bitmap(1, 0);
    bitmap.dib.m_pInfo->bmiColors[1] = RGBQUAD{0x10, 0x20, 0x30, 0xFF};
    CDibPalette palette;
    ASSERT_TRUE(palette.Create(&bitmap.dib));
    const PALETTEENTRY e = Entries(palette)[1];
    EXPECT_EQ(e.peRed, 0x30);
    EXPECT_EQ(e.peGreen, 0x20);
    EXPECT_EQ(e.peBlue, 0x10);
    EXPECT_EQ(e.peFlags, 0);
    EXPECT_EQ(CDibPalette().GetNumEntries(), 0);
}

// The swatch grid, checked through the pixels it leaves. Each cell k shows
// palette entry k inside a one-pixel black outline shared with its
// neighbours; cells past the palette's end are not drawn.
class SwatchGrid : public testing::Test
{
protected:
    static constexpr COLORREF kBackground = RGB(1, 2, 3);

    void Draw(int entries, int width, int height, CRect rect)
    {
        Bitmap bitmap(8, static_cast<DWORD>(entries));
        ASSERT_TRUE(palette.Create(&bitmap.dib));
        surface.Reset(width, height, kBackground);
        CSurfaceDC dc(&surface);
        CPalette* before = dc.SelectPalette(CPalette::FromHandle(GetDefaultPalette()), FALSE);
        CBrush probe(RGB(0, 0, 0));
        CBrush* brushBefore = dc.SelectObject(&probe);
        dc.SelectObject(brushBefore);
        palette.DrawGrid(&dc, &rect, FALSE);
        // The context holds what it held before.
        EXPECT_EQ(dc.SelectPalette(before, FALSE), before);
        EXPECT_EQ(dc.SelectObject(&probe), brushBefore);
        dc.SelectObject(brushBefore);
        colours = Entries(palette);
    }
    COLORREF At(int x, int y) const { return SurfaceColor(surface.Row(y)[x]); }
    COLORREF Entry(int k) const
    {
        return RGB(colours[k].peRed, colours[k].peGreen, colours[k].peBlue);
    }

    // Lines between cells, one per column or row boundary, as the grid's
    // geometry puts them: for an extent of 381, 23, 47, 71, ...
    static std::vector<int> Lines(int extent)
    {
        std::vector<int> lines;
        for (int i = 1; i < 16; ++i)
            lines.push_back(extent * i / 16);
        return lines;
    }

    CDibPalette palette;
    CSurface surface;
    std::vector<PALETTEENTRY> colours;
};

TEST_F(SwatchGrid, FullGridOfTheDialogFrame)
{
    Draw(256, 381, 179, CRect(0, 0, 381, 179));
    // The first dividing lines of the dialog's frame, and cell 0's inside.
    EXPECT_EQ(Lines(381)[0], 23);
    EXPECT_EQ(Lines(179)[0], 11);
    for (int y = 0; y <= 10; ++y)
        for (int x = 0; x <= 22; ++x)
            ASSERT_EQ(At(x, y), Entry(0)) << x << "," << y;
    EXPECT_EQ(At(23, 5), RGB(0, 0, 0));
    EXPECT_EQ(At(5, 11), RGB(0, 0, 0));
    EXPECT_EQ(At(24, 12), Entry(17)); // cell 17 is (23, 11, 48, 23)
    EXPECT_EQ(At(46, 21), Entry(17));
    EXPECT_EQ(At(47, 15), RGB(0, 0, 0)); // its right outline, shared with cell 18
    EXPECT_EQ(At(46, 22), RGB(0, 0, 0));
    EXPECT_EQ(At(48, 12), Entry(18));
    EXPECT_EQ(At(380, 178), Entry(255)); // cell 255 reaches the corner, no border inside
    EXPECT_EQ(At(358, 168), Entry(255));
    EXPECT_EQ(At(357, 168), RGB(0, 0, 0));
}

TEST_F(SwatchGrid, CellsStopAtThePalettesEnd)
{
    Draw(20, 381, 179, CRect(0, 0, 381, 179));
    EXPECT_EQ(At(72, 12), Entry(19)); // the last cell is (71, 11, 96, 23)
    EXPECT_EQ(At(94, 21), Entry(19));
    EXPECT_EQ(At(95, 15), RGB(0, 0, 0));
    EXPECT_EQ(At(100, 15), kBackground); // cell 20 is never drawn
    EXPECT_EQ(At(5, 30), kBackground);   // nor is row 2
}

TEST_F(SwatchGrid, UnevenCellsFromTruncationAndAnOffsetRectangle)
{
    // The rectangle's left and top are ignored: the grid spans 0..right, 0..bottom.
    Draw(256, 100, 50, CRect(30, 20, 100, 50));
    const std::vector<int> columns = Lines(100), rows = Lines(50);
    EXPECT_EQ(columns[0], 6);
    EXPECT_EQ(columns[3], 25);
    EXPECT_EQ(rows[2], 9);
    for (int x : columns)
        EXPECT_EQ(At(x, 1), RGB(0, 0, 0)) << x;
    for (int y : rows)
        EXPECT_EQ(At(1, y), RGB(0, 0, 0)) << y;
    EXPECT_EQ(At(0, 0), Entry(0));
    EXPECT_EQ(At(19, 4), Entry(16 + 3)); // row 1 spans y 4..5, column 3 x 19..24
    EXPECT_EQ(At(99, 49), Entry(255));
}

TEST_F(SwatchGrid, AnEmptyPaletteDrawsNothing)
{
    CSurface s(16, 16, kBackground);
    CSurfaceDC dc(&s);
    CRect rect(0, 0, 16, 16);
    CDibPalette().DrawGrid(&dc, &rect, TRUE);
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x)
            ASSERT_EQ(SurfaceColor(s.Row(y)[x]), kBackground);
}

} // namespace
