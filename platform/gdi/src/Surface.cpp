// CSurface: the 32-bit pictures that device contexts draw into.

#include "gdi/Surface.h"

#include <algorithm>

CSurface::CSurface(int width, int height, COLORREF fill)
{
    Reset(width, height, fill);
}

void CSurface::Reset(int width, int height, COLORREF fill)
{
    m_width = std::max(width, 0);
    m_height = std::max(height, 0);
    m_pixels.assign(static_cast<size_t>(m_width) * m_height, SurfacePixel(fill));
}

void CSurface::Fill(COLORREF fill)
{
    std::fill(m_pixels.begin(), m_pixels.end(), SurfacePixel(fill));
}
