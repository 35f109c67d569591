#include "gdi/DibFormat.h"

LONGLONG DibRowStride(LONG width, WORD bitCount)
{
    if (width <= 0)
        return 0;
    return (static_cast<LONGLONG>(width) * bitCount + 31) / 32 * 4;
}
