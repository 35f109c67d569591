#pragma once

// Bitmap file images: their headers and colour table read by one set of rules
// for every picture this program shows, the files a user opens and the
// pictures among its own resources alike; and those pictures drawn.

#include "core/File.h"
#include "core/Geometry.h"
#include "gdi/DibFormat.h"
#include "gdi/Surface.h"

#include <span>

// Where an image's pixel block lies, in bytes from the start of the file.
struct DibPixelRange
{
    ULONGLONG start;
    // Never more than the file holds, and within 32 bits.
    ULONGLONG size;
};

// Reads the file header, the bitmap header and the colour table of an image
// that starts at the file's current position. A core header is widened to a
// 40-byte one and its 3-byte entries to 4-byte ones; entries the file does not
// hold read as 0. FALSE when this is not a bitmap this program reads. File
// errors are thrown as CFileException.
BOOL ReadDibHeaders(CFile* file, BITMAPINFO& info, DibPixelRange& pixels);

// A bitmap file image held in memory, read by the rules above: its width and
// height as drawn, (0, 0) when it is refused or has no pixels to show.
SIZE DibFileSize(std::span<const BYTE> image);

// Draws a bitmap file image held in memory over the whole of `surface`,
// scaled by nearest neighbour. FALSE when it is refused or cannot be drawn.
BOOL DrawDibFile(std::span<const BYTE> image, CSurface& surface);

// An icon image over the whole of `surface`: the colour bitmap's pixels where
// the mask bitmap is black, and 0 (fully transparent) where the mask is set,
// there the screen shows through. FALSE when either cannot be drawn.
BOOL DrawIconImage(std::span<const BYTE> colour, std::span<const BYTE> mask, CSurface& surface);
