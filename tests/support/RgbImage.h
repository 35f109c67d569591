#pragma once

// Pictures as plain RGB bytes, from reference PNGs and the tool's PPMs, compared with surfaces.

#include "core/Types.h"

#include <string>
#include <vector>

struct RgbImage
{
    int width = 0;
    int height = 0;
    std::vector<BYTE> rgb; // three bytes a pixel, rows top to bottom, no padding

    const BYTE* At(int x, int y) const
    {
        return rgb.data() + (static_cast<size_t>(y) * width + x) * 3;
    }
};

// A PNG of any colour type, converted to 8-bit RGB; false when it cannot be read.
bool LoadPng(const std::string& path, RgbImage& image);

// A binary PPM with maxval 255 and no comments, exactly the size its header describes.
bool LoadPpm(const std::string& path, RgbImage& image);

struct PixelComparison
{
    bool sameSize = false;
    long differing = 0; // pixels with any channel beyond the tolerance
    std::string report; // the size mismatch, or the first few differing pixels

    bool Matches() const { return sameSize && differing == 0; }
};

// `actual` holds surface words, 0x..RRGGBB with the top byte ignored, `stride` words a row.
PixelComparison ComparePixels(const RgbImage& expected, const DWORD* actual, int width, int height,
                              size_t stride, int tolerance);
