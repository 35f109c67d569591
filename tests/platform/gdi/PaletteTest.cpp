// Logical palettes: record checks, and how realisation claims system palette slots.

#include "PaletteRecord.h"
#include "gdi/Dc.h"
#include "gdi/Gdi.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

// Colours unlikely to be in the system palette, distinct per `salt`.
PALETTEENTRY Odd(int i, int salt)
{
    return {static_cast<BYTE>(3 + i), static_cast<BYTE>(7 + salt), static_cast<BYTE>(201), 0};
}

TEST(Palette, RecordIsValidatedAndTheCountReadBackAsSixteenBits)
{
    EXPECT_EQ(CreatePalette(nullptr), nullptr);
    LOGPALETTE wrongVersion{0x200, 1, {{1, 2, 3, 0}}};
    EXPECT_EQ(CreatePalette(&wrongVersion), nullptr);
    LOGPALETTE empty{0x300, 0, {{1, 2, 3, 0}}};
    EXPECT_EQ(CreatePalette(&empty), nullptr);

    HPALETTE p = MakePalette(300, [](int i) { return Odd(i % 200, 1); });
    ASSERT_NE(p, nullptr);
    DWORD buffer = 0xAAAAAAAA;
    EXPECT_EQ(GetObjectA(p, 4, &buffer), 2);
    EXPECT_EQ(buffer, 0xAAAA0000u + 300); // only the first two bytes are written
    EXPECT_EQ(GetObjectA(p, 1, &buffer), 0);
    EXPECT_EQ(GetObjectA(nullptr, 4, &buffer), 0);

    PALETTEENTRY entries[4];
    EXPECT_EQ(GetPaletteEntries(p, 298, 4, entries), 2u);
    EXPECT_EQ(entries[1].peRed, Odd(299 % 200, 1).peRed);
    EXPECT_TRUE(DeleteObject(p));
    EXPECT_EQ(GetObjectA(p, 4, &buffer), 0);
}

class Realize : public testing::Test
{
protected:
    CSurface surface{2, 2};
    HDC dc = CreateSurfaceDC(&surface);
    ~Realize() override { DeleteDC(dc); }

    UINT RealizeIn(HPALETTE palette, BOOL background)
    {
        HPALETTE old = SelectPalette(dc, palette, background);
        const UINT mapped = RealizePalette(dc);
        SelectPalette(dc, old, FALSE);
        return mapped;
    }
};

// Only the slots between the twenty static colours are claimed; deleting gives them back.
TEST_F(Realize, ForegroundMapsNewColoursOnceAndStaticColoursNever)
{
    HPALETTE p = MakePalette(6, [](int i) { // black and white are static, and one repeats
        const PALETTEENTRY table[] = {{0, 0, 0, 0},    {255, 255, 255, 0}, {11, 22, 33, 0},
                                      {44, 55, 66, 0}, {11, 22, 33, 0},    {77, 88, 99, 0}};
        return table[i];
    });
    EXPECT_EQ(RealizeIn(p, TRUE), 0u); // background claims nothing
    EXPECT_EQ(RealizeIn(p, FALSE), 3u);
    EXPECT_EQ(RealizeIn(p, FALSE), 0u); // already there

    HPALETTE full = MakePalette(256, [](int i) { return Odd(i, 3); });
    EXPECT_EQ(RealizeIn(full, FALSE), 236u);
    DeleteObject(full);
    HPALETTE next = MakePalette(256, [](int i) { return Odd(i, 4); });
    EXPECT_EQ(RealizeIn(next, FALSE), 236u);
    EXPECT_EQ(RealizeIn(p, FALSE), 3u);
    EXPECT_EQ(RealizeIn(GetDefaultPalette(), FALSE), 0u);
    DeleteObject(next);
    DeleteObject(p);
}

} // namespace
