// The reader followed by drawing, as the view draws (the whole picture at a
// zoom factor, scrolled by the viewport origin, cut by a clip rectangle) or
// as any caller may (any source and destination rectangles). Whatever the
// file and the geometry, drawing stays inside the clip rectangle of a small
// surface and its work follows that rectangle, not the picture's claims.

#include "FuzzInput.h"
#include "dib/Dib.h"
#include "gdi/Dc.h"
#include "gdi/Gdi.h"
#include "gdi/Surface.h"

#include <cstddef>
#include <cstdint>

namespace {

constexpr int kMaxSide = 96;
constexpr COLORREF kUntouched = RGB(1, 2, 3);

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzInput input(data, size);
    const int mode = input.Below(2);
    const int zoom = input.Below(7) - 3; // 1/8 to 8, the view's range
    const int width = 1 + input.Below(kMaxSide);
    const int height = 1 + input.Below(kMaxSide);
    RECT clip{input.Below(kMaxSide), input.Below(kMaxSide), 0, 0};
    clip.right = clip.left + input.Below(kMaxSide + 1);
    clip.bottom = clip.top + input.Below(kMaxSide + 1);
    // Scroll positions and rectangles reach far into a picture that claims to
    // be huge, and on to the ends of the int range.
    const int originX = input.Int16() * (1 << input.Below(17));
    const int originY = input.Int16() * (1 << input.Below(17));
    int geometry[8];
    for (int& value : geometry)
        value = input.Int16() * (1 << input.Below(17));

    CDib dib;
    if (!ReadBitmap(dib, input.Data(), input.Size()))
        return 0;

    CSurface surface(width, height, kUntouched);
    CSurfaceDC dc(&surface);
    SetDeviceClipRect(dc.GetSafeHdc(), &clip);
    dc.SetViewportOrg(originX, originY);
    if (mode == 0) {
        dib.Draw(&dc, 0, 0, zoom < 0 ? 1.0 / (1 << -zoom) : double(1 << zoom));
    } else {
        StretchDIBits(dc.GetSafeHdc(), geometry[0], geometry[1], geometry[2], geometry[3],
                      geometry[4], geometry[5], geometry[6], geometry[7], dib.m_pPixels,
                      dib.m_cbPixels, dib.m_pInfo, DIB_RGB_COLORS, SRCCOPY);
    }

    // Nothing outside the clip rectangle changed.
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const bool inside =
                x >= clip.left && x < clip.right && y >= clip.top && y < clip.bottom;
            if (!inside && surface.Row(y)[x] != SurfacePixel(kUntouched))
                __builtin_trap();
        }
    }
    return 0;
}
