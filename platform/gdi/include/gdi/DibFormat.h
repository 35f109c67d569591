#pragma once

// The in-memory layout of a device-independent bitmap as the drawing calls
// take it: a 40-byte header followed by room for 256 colour entries. These
// structs describe memory this program builds itself; file bytes are decoded
// field by field, never cast to them.

#include "core/Types.h"

#include <bit>

static_assert(std::endian::native == std::endian::little,
              "bitmap blocks are little-endian and are read through host structs");

// Compression codes of biCompression.
inline constexpr DWORD BI_RGB = 0;
inline constexpr DWORD BI_RLE8 = 1;
inline constexpr DWORD BI_RLE4 = 2;
inline constexpr DWORD BI_BITFIELDS = 3;      // red, green, blue masks in colour entries 0-2
inline constexpr DWORD BI_JPEG = 4;           // printer-only: the pixels are a JPEG stream
inline constexpr DWORD BI_PNG = 5;            // printer-only: the pixels are a PNG stream
inline constexpr DWORD BI_ALPHABITFIELDS = 6; // as BI_BITFIELDS plus an alpha mask in entry 3

// Colour use for the DIB drawing calls: colour entries are literal RGB values.
inline constexpr UINT DIB_RGB_COLORS = 0;
// Raster operation: the source replaces the destination.
inline constexpr DWORD SRCCOPY = 0x00CC0020;

struct BITMAPINFOHEADER
{
    DWORD biSize;
    LONG biWidth;
    LONG biHeight; // positive: bottom row first; negative: top row first
    WORD biPlanes;
    WORD biBitCount;
    DWORD biCompression;
    DWORD biSizeImage;
    LONG biXPelsPerMeter;
    LONG biYPelsPerMeter;
    DWORD biClrUsed;
    DWORD biClrImportant;
};

struct RGBQUAD
{
    BYTE rgbBlue;
    BYTE rgbGreen;
    BYTE rgbRed;
    BYTE rgbReserved;
};

inline constexpr int kDibColorEntries = 256;

struct BITMAPINFO
{
    BITMAPINFOHEADER bmiHeader;
    RGBQUAD bmiColors[kDibColorEntries];
};

static_assert(sizeof(BITMAPINFOHEADER) == 40);
static_assert(sizeof(RGBQUAD) == 4);
static_assert(sizeof(BITMAPINFO) == 1064);

// Bytes in one row of pixels: width x bits rounded up to whole 32-bit words.
// Worked in 64 bits, so no width and bit count from a file can overflow;
// a negative width gives 0.
LONGLONG DibRowStride(LONG width, WORD bitCount);

// How many colour entries hold bit-field masks rather than colours: 3 (red,
// green, blue in entries 0-2) for a 16- or 32-bit picture with BI_BITFIELDS,
// 4 (alpha in entry 3 as well) with BI_ALPHABITFIELDS, otherwise 0.
int DibMaskEntries(const BITMAPINFOHEADER& header);

// The colour entries a bit count implies: 2, 16 or 256 for 1, 4 or 8 bits
// per pixel, otherwise 0.
int DibImpliedColors(WORD bitCount);
