// The palette builder and the swatch grid. The colour table comes from a file
// the reader accepted or, when it refuses the bytes, straight from them, so
// that header fields the reader would never pass on reach the builder too.

#include "FuzzInput.h"
#include "dib/Dib.h"
#include "dib/DibPalette.h"
#include "gdi/Dc.h"
#include "gdi/Gdi.h"
#include "gdi/Surface.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>

namespace {

constexpr int kMaxSide = 200;

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzInput input(data, size);
    const BOOL forceBackground = input.Below(2);
    // Grid extents include negative and far larger than the surface ones.
    const int right = input.Int16();
    const int bottom = input.Int16();
    const int width = 1 + input.Below(kMaxSide);
    const int height = 1 + input.Below(kMaxSide);

    CDib dib;
    if (!ReadBitmap(dib, input.Data(), input.Size())) {
        const size_t n = std::min(input.Size(), sizeof(BITMAPINFO));
        if (n < sizeof(BITMAPINFOHEADER))
            return 0;
        std::memcpy(dib.m_pInfo, input.Data(), n);
    }

    CDibPalette palette;
    if (!palette.Create(&dib))
        return 0;
    const int entries = palette.GetNumEntries();
    if (entries < 1 || entries > kDibColorEntries)
        __builtin_trap();

    CSurface surface(width, height);
    CSurfaceDC dc(&surface);
    const CRect rect(0, 0, right, bottom);
    palette.DrawGrid(&dc, &rect, forceBackground);
    return 0;
}
