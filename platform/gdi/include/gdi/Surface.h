#pragma once

// A 32-bit true-colour picture that device contexts draw into and the window
// layer copies to the screen. Pixels are 0xFFRRGGBB words, rows top to bottom
// with no padding, which is what the screen copy takes without conversion.

#include "core/Types.h"

#include <vector>

constexpr DWORD SurfacePixel(COLORREF c)
{
    return 0xFF000000u | (static_cast<DWORD>(GetRValue(c)) << 16) |
           (static_cast<DWORD>(GetGValue(c)) << 8) | GetBValue(c);
}

constexpr COLORREF SurfaceColor(DWORD pixel)
{
    return RGB(static_cast<BYTE>(pixel >> 16), static_cast<BYTE>(pixel >> 8),
               static_cast<BYTE>(pixel));
}

class CSurface
{
public:
    CSurface() = default;
    // A negative size counts as 0.
    CSurface(int width, int height, COLORREF fill = RGB(0, 0, 0));

    // Gives the surface a new size, every pixel `fill`.
    void Reset(int width, int height, COLORREF fill = RGB(0, 0, 0));
    void Fill(COLORREF fill);

    int Width() const { return m_width; }
    int Height() const { return m_height; }
    DWORD* Row(int y) { return m_pixels.data() + static_cast<size_t>(y) * m_width; }
    const DWORD* Row(int y) const { return m_pixels.data() + static_cast<size_t>(y) * m_width; }
    DWORD* Bits() { return m_pixels.data(); }
    const DWORD* Bits() const { return m_pixels.data(); }

private:
    int m_width = 0;
    int m_height = 0;
    std::vector<DWORD> m_pixels;
};
