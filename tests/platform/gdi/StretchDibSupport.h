// Small DIBs, a canvas with a sentinel colour and a per-pixel reference for the stretching tests.

#pragma once

#include "DibRaster.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <initializer_list>
#include <optional>
#include <vector>

// Colour entry i: blue i, green 255 - i, red 7i, so a wrong index or channel order shows.
inline DWORD Pal(int i)
{
    return 0xFF000000u | (static_cast<DWORD>(i * 7 & 255) << 16) |
           (static_cast<DWORD>(255 - i) << 8) | static_cast<DWORD>(i);
}

struct TestDib
{
    BITMAPINFO info{};
    std::vector<BYTE> bits;

    TestDib(LONG width, LONG height, WORD bitCount, DWORD compression = BI_RGB)
    {
        info.bmiHeader = {40, width, height, 1, bitCount, compression, 0, 0, 0, 0, 0};
        for (int i = 0; i < kDibColorEntries; ++i)
            info.bmiColors[i] = {static_cast<BYTE>(i), static_cast<BYTE>(255 - i),
                                 static_cast<BYTE>(i * 7), 0x77};
    }
    void SetMasks(const std::vector<DWORD>& masks)
    {
        auto* p = reinterpret_cast<BYTE*>(info.bmiColors);
        for (DWORD m : masks)
            for (int i = 0; i < 4; ++i)
                *p++ = static_cast<BYTE>(m >> (8 * i));
    }
};

struct DrawArgs
{
    LONGLONG x, y;
    int w, h, sx, sy, sw, sh;
};

struct Canvas
{
    int width;
    int height;
    std::vector<DWORD> pixels;

    // Every pixel starts different, with no FF top byte as drawn pixels have.
    Canvas(int w, int h) : width(w), height(h), pixels(static_cast<size_t>(w) * h)
    {
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                pixels[static_cast<size_t>(y) * w + x] = Background(x, y);
    }
    static DWORD Background(int x, int y) { return 0x5A000000u | static_cast<DWORD>(y << 12 | x); }
    DWORD At(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
    bool Untouched(int x, int y) const { return At(x, y) == Background(x, y); }

    // Handed over as is, so the sanitizer catches any read past an exact-size block.
    int Draw(const TestDib& dib, const std::vector<BYTE>& block, RECT clip, const DrawArgs& a,
             RleRowIndex* index = nullptr)
    {
        const DibTarget target{pixels.data(), width, clip};
        return StretchDibToSurface(target, a.x, a.y, a.w, a.h, a.sx, a.sy, a.sw, a.sh, block.data(),
                                   block.size(), dib.info, index);
    }
};

// The source pixel surface coordinate d shows on one axis; a single negative extent mirrors.
inline std::optional<LONGLONG> ReferenceAxis(LONGLONG d, LONGLONG dest, int destExtent, int src,
                                             int srcExtent)
{
    const LONGLONG dN = std::llabs(destExtent);
    const LONGLONG dLo = destExtent < 0 ? dest + destExtent + 1 : dest;
    if (d < dLo || d >= dLo + dN)
        return std::nullopt;
    const LONGLONG a = d - dLo;
    const LONGLONG t = (destExtent < 0) != (srcExtent < 0) ? dN - 1 - a : a;
    const LONGLONG sLo = srcExtent < 0 ? LONGLONG{src} + srcExtent + 1 : src;
    return sLo + t * std::llabs(srcExtent) / dN;
}

using PictureLookup = std::function<std::optional<DWORD>(LONGLONG x, LONGLONG y)>;

// Every canvas pixel is what the reference says, or untouched.
inline void ExpectMatchesReference(const Canvas& canvas, RECT clip, const DrawArgs& a,
                                   const PictureLookup& picture)
{
    for (int y = 0; y < canvas.height; ++y)
        for (int x = 0; x < canvas.width; ++x) {
            DWORD expected = Canvas::Background(x, y);
            const auto sx = ReferenceAxis(x, a.x, a.w, a.sx, a.sw);
            const auto sy = ReferenceAxis(y, a.y, a.h, a.sy, a.sh);
            if (x >= clip.left && x < clip.right && y >= clip.top && y < clip.bottom && sx && sy)
                expected = picture(*sx, *sy).value_or(expected);
            if (canvas.At(x, y) != expected) {
                ADD_FAILURE() << "pixel (" << x << ", " << y << ") is " << std::hex
                              << canvas.At(x, y) << ", expected " << expected;
                return;
            }
        }
}
