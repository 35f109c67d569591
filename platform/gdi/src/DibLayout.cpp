// Rules of a DIB's layout: the bytes of a row, the colour entries that hold
// bit-field masks, and the colour count a bit count implies.

#include "gdi/DibFormat.h"

LONGLONG DibRowStride(LONG width, WORD bitCount)
{
    if (width <= 0)
        return 0;
    return (static_cast<LONGLONG>(width) * bitCount + 31) / 32 * 4;
}

int DibMaskEntries(const BITMAPINFOHEADER& header)
{
    if (header.biBitCount != 16 && header.biBitCount != 32)
        return 0;
    switch (header.biCompression) {
    case BI_BITFIELDS:
        return 3;
    case BI_ALPHABITFIELDS:
        return 4;
    default:
        return 0;
    }
}

int DibImpliedColors(WORD bitCount)
{
    return bitCount == 1 || bitCount == 4 || bitCount == 8 ? 1 << bitCount : 0;
}
