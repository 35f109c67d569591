#pragma once

// The DIB stretching engine behind StretchDIBits, working in surface pixels.

#include "core/Geometry.h"
#include "gdi/DibFormat.h"
#include "gdi/RleIndex.h"

#include <cstddef>

struct DibTarget
{
    DWORD* pixels;    // row 0 of the surface, 0xFFRRGGBB words
    ptrdiff_t stride; // words from one surface row to the next
    RECT clip;        // surface pixels that may change; inside the surface
};

// Draws the source rectangle (picture coordinates, row 0 at the top) into the
// destination rectangle (surface pixels); see StretchDIBits for the rules.
// `index`, when given, finds an RLE stream's rows.
int StretchDibToSurface(const DibTarget& target, LONGLONG xDest, LONGLONG yDest, int destWidth,
                        int destHeight, int xSrc, int ySrc, int srcWidth, int srcHeight,
                        const BYTE* bits, size_t bitsSize, const BITMAPINFO& info,
                        RleRowIndex* index = nullptr);
