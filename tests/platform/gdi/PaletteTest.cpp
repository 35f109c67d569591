// Logical palettes: how realisation claims system palette slots.

#include "PaletteRecord.h"
#include "gdi/Dc.h"
#include "gdi/Gdi.h"

#include <gtest/gtest.h>

namespace {

// Colours unlikely to be in the system palette, distinct per `salt`.
PALETTEENTRY Odd(int i, int salt)
{
    return {static_cast<BYTE>(3 + i), static_cast<BYTE>(7 + salt), static_cast<BYTE>(201), 0};
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
