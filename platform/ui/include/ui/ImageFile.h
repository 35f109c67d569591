#pragma once

// Pictures written out as image files, for the tools that ship with the
// program (the icon maker); the viewer itself never writes a picture.

#include "core/Types.h"
#include "gdi/Surface.h"

// Writes the surface as a PNG file, each pixel's top byte as its alpha
// (0 fully transparent). FALSE when the file cannot be written.
BOOL AfxSavePng(const CSurface& surface, LPCSTR path);
