// CDibPalette: palettes from colour tables, and the swatch grid.

#include "dib/DibPalette.h"

#include "dib/Dib.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

// Every colour entry distinct, its fourth byte set.
struct Bitmap
{
    Bitmap(WORD bitCount, DWORD clrUsed, DWORD compression = BI_RGB)
    {
        dib.m_pInfo->bmiHeader.biBitCount = bitCount;
        dib.m_pInfo->bmiHeader.biClrUsed = clrUsed;
        dib.m_pInfo->bmiHeader.biCompression = compression;
        for (int i = 0; i < kDibColorEntries; ++i)
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

// Bit-field masks stand before the colours.
TEST(DibPalette, TakesTheColourCountWithinTheTable)
{
    struct Case
    {
        WORD bitCount;
        DWORD clrUsed, compression;
        int entries, firstUsed; // 0: no palette; the colour entry that becomes palette entry 0
    };
    for (const Case c :
         {Case{1, 0, BI_RGB, 2, 0}, Case{8, 0, BI_RGB, 256, 0}, Case{8, 100, BI_RGB, 100, 0},
          Case{24, 0, BI_RGB, 0, 0}, Case{24, 7, BI_RGB, 7, 0}, Case{8, 0xFFFFFFFF, BI_RGB, 256, 0},
          Case{16, 5, BI_BITFIELDS, 5, 3}, Case{32, 300, BI_BITFIELDS, 253, 3},
          Case{32, 2, BI_ALPHABITFIELDS, 2, 4}}) {
        SCOPED_TRACE(testing::Message() << c.bitCount << " bits, " << c.clrUsed << " used");
        Bitmap bitmap(c.bitCount, c.clrUsed, c.compression);
        CDibPalette palette;
        ASSERT_EQ(palette.Create(&bitmap.dib), c.entries > 0);
        EXPECT_EQ(palette.GetNumEntries(), c.entries);
        const std::vector<PALETTEENTRY> entries = Entries(palette);
        for (int i = 0; i < c.entries; ++i) {
            const RGBQUAD& q = bitmap.dib.m_pInfo->bmiColors[c.firstUsed + i];
            ASSERT_EQ(RGB(entries[i].peRed, entries[i].peGreen, entries[i].peBlue),
                      RGB(q.rgbRed, q.rgbGreen, q.rgbBlue))
                << i;
            ASSERT_EQ(entries[i].peFlags, 0) << i;
        }
    }
}

// Cell k shows entry k inside a shared black outline, lines at extent * i / 16.
struct GridCase
{
    int entries;
    CRect rect;              // drawn on a surface of its right x bottom
    std::vector<int> probes; // x, y, entry; entry -1: the outline, -2: the background
};

TEST(SwatchGrid, ShowsEachEntryInItsCellUpToThePalettesEnd)
{
    constexpr COLORREF kBackground = RGB(1, 2, 3);
    const GridCase cases[] = {
        // The dialog's frame: lines at 23, 47, ... across and 11, 22, ... down.
        {256, CRect(0, 0, 381, 179), {0,  0,  0,  22,  10,  0,   23,  5,   -1,  5,   11,  -1,
                                      24, 12, 17, 46,  21,  17,  47,  15,  -1,  46,  22,  -1,
                                      48, 12, 18, 380, 178, 255, 358, 168, 255, 357, 168, -1}},
        {20, CRect(0, 0, 381, 179), {72, 12, 19, 94, 21, 19, 95, 15, -1, 100, 15, -2, 5, 30, -2}},
        // The rectangle's left and top are ignored: the grid spans 0..right, 0..bottom.
        {256,
         CRect(30, 20, 100, 50),
         {0, 0, 0, 6, 1, -1, 25, 1, -1, 1, 9, -1, 19, 4, 19, 99, 49, 255}},
        {0, CRect(0, 0, 16, 16), {0, 0, -2, 15, 15, -2}}, // a 24-bit picture's empty palette
    };
    for (const GridCase& c : cases) {
        SCOPED_TRACE(testing::Message() << c.entries << " entries");
        Bitmap bitmap(c.entries > 0 ? 8 : 24, static_cast<DWORD>(c.entries));
        CDibPalette palette;
        ASSERT_EQ(palette.Create(&bitmap.dib), c.entries > 0);
        CSurface surface(c.rect.right, c.rect.bottom, kBackground);
        CSurfaceDC dc(&surface);
        CPalette* before = dc.SelectPalette(CPalette::FromHandle(GetDefaultPalette()), FALSE);
        CBrush probe(RGB(0, 0, 0));
        CBrush* brushBefore = dc.SelectObject(&probe);
        dc.SelectObject(brushBefore);
        palette.DrawGrid(&dc, &c.rect, FALSE);
        EXPECT_EQ(dc.SelectPalette(before, FALSE), before);
        EXPECT_EQ(dc.SelectObject(&probe), brushBefore);
        dc.SelectObject(brushBefore);

        const std::vector<PALETTEENTRY> colours = Entries(palette);
        for (size_t i = 0; i < c.probes.size(); i += 3) {
            const int x = c.probes[i], y = c.probes[i + 1], k = c.probes[i + 2];
            const COLORREF expected =
                k == -1   ? RGB(0, 0, 0)
                : k == -2 ? kBackground
                          : RGB(colours[k].peRed, colours[k].peGreen, colours[k].peBlue);
            EXPECT_EQ(SurfaceColor(surface.Row(y)[x]), expected) << x << ", " << y;
        }
    }
}

} // namespace
