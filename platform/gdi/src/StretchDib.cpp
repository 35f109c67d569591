// The DIB drawing calls: StretchDIBits and its indexed form, onto a context's surface.

#include "DibRaster.h"
#include "HandleObjects.h"

int StretchDIBits(HDC hdc, int xDest, int yDest, int destWidth, int destHeight, int xSrc, int ySrc,
                  int srcWidth, int srcHeight, const void* bits, size_t bitsSize,
                  const BITMAPINFO* info, UINT usage, DWORD rop)
{
    return StretchDIBitsIndexed(hdc, xDest, yDest, destWidth, destHeight, xSrc, ySrc, srcWidth,
                                srcHeight, bits, bitsSize, info, usage, rop, nullptr);
}

int StretchDIBitsIndexed(HDC hdc, int xDest, int yDest, int destWidth, int destHeight, int xSrc,
                         int ySrc, int srcWidth, int srcHeight, const void* bits, size_t bitsSize,
                         const BITMAPINFO* info, UINT usage, DWORD rop, RleRowIndex* index)
{
    if (!IsLiveDC(hdc) || info == nullptr || (bits == nullptr && bitsSize > 0) ||
        usage != DIB_RGB_COLORS || rop != SRCCOPY)
        return 0;
    CSurface& surface = *hdc->surface;
    const DibTarget target{surface.Bits(), surface.Width(), hdc->clip};
    // Logical to surface pixels; 64 bits, so no origin and position can wrap.
    return StretchDibToSurface(target, LONGLONG{xDest} + hdc->origin.x,
                               LONGLONG{yDest} + hdc->origin.y, destWidth, destHeight, xSrc, ySrc,
                               srcWidth, srcHeight, static_cast<const BYTE*>(bits), bitsSize, *info,
                               index);
}
