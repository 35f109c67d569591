// StretchDibToSurface: the header read into a pixel kind, the visible pixels
// mapped along each axis, then the rows drawn by the kind's drawer.

#include "DibRaster.h"

#include "DibRasterInternal.h"
#include "core/Endian.h"

#include <algorithm>
#include <bit>
#include <climits>

namespace dibraster {

namespace {

bool Contiguous(DWORD mask)
{
    if (mask == 0)
        return true;
    const ULONGLONG run = mask >> std::countr_zero(mask);
    return (run & (run + 1)) == 0;
}

bool ReadMasks(const BITMAPINFO& info, PixelFormat& f)
{
    // Bits above the pixel size never reach a 16-bit pixel.
    const DWORD usable = f.bitCount == 16 ? 0xFFFFu : 0xFFFFFFFFu;
    DWORD* m = f.masks;
    for (int i = 0; i < 3; ++i) {
        m[i] = LoadLE32(ColourEntry(info, i)) & usable;
        if (!Contiguous(m[i]))
            return false;
    }
    if ((m[0] & m[1]) != 0 || (m[0] & m[2]) != 0 || (m[1] & m[2]) != 0)
        return false;
    auto is = [m](DWORD r, DWORD g, DWORD b) { return m[0] == r && m[1] == g && m[2] == b; };
    if (f.bitCount == 16)
        f.kind = is(0x7C00, 0x03E0, 0x001F)   ? PixelKind::Rgb555
                 : is(0xF800, 0x07E0, 0x001F) ? PixelKind::Rgb565
                                              : PixelKind::Masked16;
    else
        f.kind = is(0xFF0000, 0xFF00, 0xFF) ? PixelKind::Bgrx32 : PixelKind::Masked32;
    return true;
}

} // namespace

bool ReadPixelFormat(const BITMAPINFO& info, PixelFormat& f)
{
    const BITMAPINFOHEADER& h = info.bmiHeader;
    if (h.biSize != 40 || h.biWidth <= 0 || h.biHeight == 0 || h.biHeight == INT_MIN)
        return false;
    f.bitCount = h.biBitCount;
    f.width = h.biWidth;
    f.height = h.biHeight < 0 ? -h.biHeight : h.biHeight;
    f.topDown = h.biHeight < 0;
    f.stride = static_cast<ULONGLONG>(DibRowStride(h.biWidth, h.biBitCount));
    switch (h.biCompression) {
    case BI_RGB:
        switch (h.biBitCount) {
        case 1:
            f.kind = PixelKind::Indexed1;
            return true;
        case 4:
            f.kind = PixelKind::Indexed4;
            return true;
        case 8:
            f.kind = PixelKind::Indexed8;
            return true;
        case 16:
            f.kind = PixelKind::Rgb555;
            f.masks[0] = 0x7C00;
            f.masks[1] = 0x03E0;
            f.masks[2] = 0x001F;
            return true;
        case 24:
            f.kind = PixelKind::Bgr24;
            return true;
        case 32:
            f.kind = PixelKind::Bgrx32;
            return true;
        default:
            return false;
        }
    case BI_RLE8:
    case BI_RLE4: {
        // A stream is decoded from the bottom row up, so it has no top-down form.
        const int bitCount = h.biCompression == BI_RLE8 ? 8 : 4;
        f.kind = bitCount == 8 ? PixelKind::Rle8 : PixelKind::Rle4;
        return h.biBitCount == bitCount && !f.topDown;
    }
    case BI_BITFIELDS:
    case BI_ALPHABITFIELDS: // the alpha mask in entry 3 is ignored: every pixel drawn is opaque
        return DibMaskEntries(h) != 0 && ReadMasks(info, f);
    default:
        return false;
    }
}

// A negative extent runs from its start towards lower coordinates and leaves
// the start + extent side out: x = 10, width = -3 covers 8, 9 and 10. Both
// rectangles are put in that normal form; when exactly one of them was
// negative the mapping runs backwards, so the result is the exact mirror image
// of the unmirrored draw (and two negatives give the unmirrored draw).
// Destination pixel a (from the normal rectangle's left) then shows source
// pixel floor(t * sN / dN), t = a, or dN - 1 - a when mirrored.
bool MapAxis(LONGLONG dest, int destExtent, LONG clipLo, LONG clipHi, int src, int srcExtent,
             LONG pictureSize, AxisMap& map)
{
    const LONGLONG dN = destExtent < 0 ? -LONGLONG{destExtent} : destExtent;
    const LONGLONG sN = srcExtent < 0 ? -LONGLONG{srcExtent} : srcExtent;
    const LONGLONG dLo = destExtent < 0 ? dest + destExtent + 1 : dest;
    const LONGLONG sLo = srcExtent < 0 ? LONGLONG{src} + srcExtent + 1 : src;
    const bool mirror = (destExtent < 0) != (srcExtent < 0);
    const LONGLONG lo = std::max<LONGLONG>(dLo, clipLo);
    const LONGLONG hi = std::min<LONGLONG>(dLo + dN, clipHi);
    map.src.clear();
    map.descending = mirror;
    map.identity = !mirror && sN == dN;
    if (lo >= hi)
        return false;

    // Exact stepping of floor(t * sN / dN) as quotient and remainder; every
    // product stays under 2^62.
    const LONGLONG t0 = mirror ? dLo + dN - 1 - lo : lo - dLo;
    LONGLONG q = t0 * sN / dN;
    LONGLONG r = t0 * sN % dN;
    const LONGLONG qStep = sN / dN;
    const LONGLONG rStep = sN % dN;
    map.src.reserve(static_cast<size_t>(hi - lo));
    for (LONGLONG x = lo; x < hi; ++x) {
        const LONGLONG s = sLo + q;
        if (s >= 0 && s < pictureSize) {
            if (map.src.empty())
                map.first = x;
            map.src.push_back(static_cast<uint32_t>(s));
        } else if (!map.src.empty()) {
            break; // the mapping is monotonic: once out after being in, out for good
        }
        if (mirror) {
            q -= qStep;
            r -= rStep;
            if (r < 0) {
                r += dN;
                --q;
            }
        } else {
            q += qStep;
            r += rStep;
            if (r >= dN) {
                r -= dN;
                ++q;
            }
        }
    }
    return !map.src.empty();
}

} // namespace dibraster

int StretchDibToSurface(const DibTarget& target, LONGLONG xDest, LONGLONG yDest, int destWidth,
                        int destHeight, int xSrc, int ySrc, int srcWidth, int srcHeight,
                        const BYTE* bits, size_t bitsSize, const BITMAPINFO& info,
                        RleRowIndex* index)
{
    using namespace dibraster;
    PixelFormat format;
    if (!ReadPixelFormat(info, format) || srcWidth == 0 || srcHeight == 0)
        return 0;
    // Every source line counts as drawn, even where the clip hides it.
    const int lines = srcHeight == INT_MIN ? INT_MAX : (srcHeight < 0 ? -srcHeight : srcHeight);
    if (bits == nullptr)
        bitsSize = 0;
    AxisMap xs;
    AxisMap ys;
    if (destWidth == 0 || destHeight == 0 ||
        !MapAxis(xDest, destWidth, target.clip.left, target.clip.right, xSrc, srcWidth,
                 format.width, xs) ||
        !MapAxis(yDest, destHeight, target.clip.top, target.clip.bottom, ySrc, srcHeight,
                 format.height, ys))
        return lines;
    PrepareColours(info, format);
    if (format.kind == PixelKind::Rle4 || format.kind == PixelKind::Rle8) {
        if (index && !index->Matches(bits, bitsSize, info.bmiHeader))
            index->Build(bits, bitsSize, info.bmiHeader);
        DrawRle(target, xs, ys, bits, bitsSize, format, index);
    } else
        DrawUncompressed(target, xs, ys, bits, bitsSize, format);
    return lines;
}
