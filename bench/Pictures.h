#pragma once

// The large pictures the benchmarks draw and load, made on the spot: fine
// detail on a coarse pattern for the plain formats, flat tiles with borders
// and textured patches for the run-length encoded ones.

#include "core/Types.h"
#include "gdi/DibFormat.h"

#include <string>
#include <vector>

struct PictureKind
{
    const char* name;
    int width;
    int height;
    WORD bitCount;
    DWORD compression;
    // Compressed only: runs of three pixels everywhere instead of flat tiles,
    // the longest stream of short runs an encoder makes.
    bool busy = false;
};

// The colour index a pixel of the plain indexed pictures has: neither rows
// nor columns repeat.
BYTE IndexAt(int x, int y);

// The run-length encoded pictures' pixels: flat tiles with one-pixel borders,
// as in a chart or a map, and a 256 x 256 textured patch in every 2048 x 2048
// square.
BYTE RunIndexAt(int x, int y);

// Appends one row's codes, ending with the end-of-line code.
void EncodeRle8Row(const std::vector<BYTE>& row, std::vector<BYTE>& out);
void EncodeRle4Row(const std::vector<BYTE>& row, std::vector<BYTE>& out);

// The colour table every indexed picture has.
RGBQUAD PictureColour(int i);

// Stored row `y` (0 is the bottom) of a picture as its pixel data holds it;
// for a compressed picture, the row's codes.
void StoredRow(const PictureKind& kind, int y, std::vector<BYTE>& out);

// Writes the picture as a bitmap file with a 40-byte header and, for indexed
// pixels, a colour table of 2, 16 or 256 entries. False on any I/O error.
bool WritePictureFile(const PictureKind& kind, const std::string& path);

// A temporary directory of this process's own for its pictures, made when
// first asked for and removed with all it holds when the process exits.
const std::string& PictureDir();
