#pragma once

// The drawing calls: device contexts over surfaces, logical palettes, brushes,
// pens, rectangles, pixel reads and DIB stretching. Coordinates given to a
// device context are logical: the viewport origin is added to reach surface
// pixels. Everything drawn stays inside the context's clip rectangle.

#include "core/Geometry.h"
#include "core/Types.h"
#include "gdi/DibFormat.h"
#include "gdi/RleIndex.h"
#include "gdi/Surface.h"

#include <cstddef>

// Handles. Drawing objects share a base so that a wrapper can hold any of
// them; what they hold is private to the drawing layer.
struct HGDIOBJ__
{
    virtual ~HGDIOBJ__() = default;

protected:
    HGDIOBJ__() = default;
};
struct HPALETTE__ : HGDIOBJ__
{
};
struct HBRUSH__ : HGDIOBJ__
{
};
struct HPEN__ : HGDIOBJ__
{
};
struct HDC__;
using HGDIOBJ = HGDIOBJ__*;
using HDC = HDC__*;
using HPALETTE = HPALETTE__*;
using HBRUSH = HBRUSH__*;
using HPEN = HPEN__*;

// ---- Device contexts -------------------------------------------------------

// A context that draws into `surface`, which must outlive it: viewport origin
// (0, 0), clip rectangle the whole surface, the default palette, a white
// brush and a black one-pixel pen.
HDC CreateSurfaceDC(CSurface* surface);
BOOL DeleteDC(HDC hdc);

// Logical (0, 0) lands on surface pixel (x, y).
BOOL SetViewportOrgEx(HDC hdc, int x, int y, POINT* previous);

// Limits drawing to a rectangle of surface pixels (cut to the surface); a null
// rectangle lifts the limit. Returns FALSE when the result is empty.
BOOL SetDeviceClipRect(HDC hdc, const RECT* surfaceRect);
// The clip rectangle in logical coordinates; FALSE when it is empty.
BOOL GetClipBox(HDC hdc, RECT* logicalRect);

// ---- Palettes ---------------------------------------------------------------

struct PALETTEENTRY
{
    BYTE peRed;
    BYTE peGreen;
    BYTE peBlue;
    BYTE peFlags;
};

struct LOGPALETTE
{
    WORD palVersion;
    WORD palNumEntries;
    PALETTEENTRY palPalEntry[1]; // palNumEntries entries in all
};

// Null when the record is null, its version is not 0x300 or it has no entries.
HPALETTE CreatePalette(const LOGPALETTE* record);
// The palette every context starts with: the twenty static colours.
HPALETTE GetDefaultPalette();
// For a palette, writes the entry count as a 16-bit number; returns the bytes
// written, 0 on failure (a null handle or a buffer under 2 bytes).
int GetObjectA(HPALETTE palette, int bufferSize, void* buffer);
UINT GetPaletteEntries(HPALETTE palette, UINT first, UINT count, PALETTEENTRY* entries);
// Selects the palette, returning the one selected before (null on failure).
HPALETTE SelectPalette(HDC hdc, HPALETTE palette, BOOL forceBackground);
// Maps the selected palette into the emulated 256-entry system palette.
// Foreground: entries without an exact match claim free slots; returns how
// many entries it newly mapped (0 for a palette already realised). Background
// (or a context whose palette was selected with forceBackground): entries map
// to the nearest existing colours and nothing is claimed; returns 0.
UINT RealizePalette(HDC hdc);

// Called after a foreground realisation that mapped new entries into the
// system palette, with the context and the count, so that the window layer
// can tell its windows that the colours on the screen changed. Returns the
// hook set before; null removes it.
using PALETTEREALIZEDPROC = void (*)(HDC hdc, UINT mapped);
PALETTEREALIZEDPROC SetPaletteRealizedHook(PALETTEREALIZEDPROC hook);

// ---- Brushes, pens, rectangles, pixels -------------------------------------

// A solid brush; a PALETTEINDEX colour takes the entry of the palette
// selected in the context at the time of drawing (past its end: the last).
HBRUSH CreateSolidBrush(COLORREF color);

inline constexpr int PS_SOLID = 0;
inline constexpr int PS_NULL = 5;
HPEN CreatePen(int style, int width, COLORREF color);

// Deletes a palette, brush or pen; stock objects are never deleted.
BOOL DeleteObject(HGDIOBJ object);

// Selects the object, returning the one selected before (null on failure).
HBRUSH SelectObject(HDC hdc, HBRUSH brush);
HPEN SelectObject(HDC hdc, HPEN pen);

// Outline in the current pen, inside in the current brush; covers
// left <= x < right and top <= y < bottom.
BOOL Rectangle(HDC hdc, int left, int top, int right, int bottom);
// Fills left <= x < right, top <= y < bottom with the brush; no outline.
int FillRect(HDC hdc, const RECT* rect, HBRUSH brush);

// The colour at a logical point; CLR_INVALID outside the surface or the clip.
COLORREF GetPixel(HDC hdc, int x, int y);

// ---- DIB drawing ------------------------------------------------------------

// Copies the source rectangle of a DIB (picture coordinates, row 0 at the top
// whatever the row order in the block) into the destination rectangle
// (logical coordinates), nearest neighbour; a negative width or height on
// either side mirrors along that axis. Reads no byte at or past
// bits + bitsSize; what the block does not hold is left as it was, as are
// pixels an RLE stream skips. `info` is a full 1064-byte block. Returns the
// number of scan lines drawn, 0 when the DIB cannot be drawn (unknown format,
// negative width, JPEG or PNG, RLE top-down or with the wrong bit count) or
// when usage is not DIB_RGB_COLORS or rop not SRCCOPY.
int StretchDIBits(HDC hdc, int xDest, int yDest, int destWidth, int destHeight, int xSrc, int ySrc,
                  int srcWidth, int srcHeight, const void* bits, size_t bitsSize,
                  const BITMAPINFO* info, UINT usage, DWORD rop);

// StretchDIBits for a caller that keeps the DIB: an RLE stream's rows are
// found through `index`, which is built on the first draw that shows any of
// the stream and rebuilt when the block or the header no longer match it.
// Draws exactly what StretchDIBits draws; a null index is allowed.
int StretchDIBitsIndexed(HDC hdc, int xDest, int yDest, int destWidth, int destHeight, int xSrc,
                         int ySrc, int srcWidth, int srcHeight, const void* bits, size_t bitsSize,
                         const BITMAPINFO* info, UINT usage, DWORD rop, RleRowIndex* index);
