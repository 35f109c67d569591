#pragma once

// Pieces of the DIB stretching engine shared by its source files: the pixel
// format read once from the header, the row routines of each format, and the
// mapping from visible destination pixels to source pixels along one axis.

#include "DibRaster.h"

#include <cstdint>
#include <vector>

namespace dibraster {

enum class PixelKind
{
    Indexed1,
    Indexed4,
    Indexed8,
    Rle4,
    Rle8,
    Rgb555,   // 16 bits, x-5-5-5: plain 16-bit pixels and the same masks given as bit fields
    Rgb565,   // 16 bits, 5-6-5 bit fields
    Masked16, // 16 bits, any other bit fields
    Bgr24,
    Bgrx32,   // 32 bits, B, G, R and an unused byte: plain 32-bit pixels and 8-8-8 bit fields
    Masked32, // 32 bits, any other bit fields
};
// How many kinds there are: Masked32 stays last.
inline constexpr size_t kPixelKinds = static_cast<size_t>(PixelKind::Masked32) + 1;

// One colour channel of a bit-field pixel: level = levels[(pixel >> shift) & mask].
struct Channel
{
    int shift = 0;
    DWORD mask = 0;
    std::vector<BYTE> levels; // filled for the kinds that use channels
};

struct PixelFormat
{
    PixelKind kind = PixelKind::Indexed8;
    int bitCount = 0;
    LONG width = 0;
    LONG height = 0; // rows, always positive
    bool topDown = false;
    ULONGLONG stride = 0;                 // bytes per stored row
    DWORD masks[3] = {};                  // red, green, blue for the 16- and 32-bit kinds
    DWORD palette[kDibColorEntries] = {}; // the colour table as surface words
    DWORD quads[16][4] = {};              // 1 bit: the four pixels of each nibble
    uint64_t pairs[256] = {};             // 4 bits: the two pixels of each byte, left one low
    Channel channels[3];                  // red, green, blue for the 16- and 32-bit kinds
};

// Colour entry i of the block as its four bytes: blue, green, red, unused.
inline const BYTE* ColourEntry(const BITMAPINFO& info, int i)
{
    return reinterpret_cast<const BYTE*>(&info.bmiColors[i]);
}

// Checks the header and picks the pixel kind; false when the DIB cannot be drawn.
bool ReadPixelFormat(const BITMAPINFO& info, PixelFormat& format);

// PrepareColours and RoutinesFor look the kind up in the one table of pixel
// kinds, in DibRasterFormats.cpp.

// Fills what the kind's row routines read besides the pixels: the palette and
// its tables, or the channel tables; worth doing only once something is visible.
void PrepareColours(const BITMAPINFO& info, PixelFormat& format);

// Row routines: `n` destination pixels of one source row. Gather: pixel i
// shows source column cols[i], at any scale. Span: pixel i shows column
// first + i, at scale 1 unmirrored.
using GatherFn = void (*)(const BYTE* row, const uint32_t* cols, DWORD* out, size_t n,
                          const PixelFormat& format);
using SpanFn = void (*)(const BYTE* row, uint32_t first, DWORD* out, size_t n,
                        const PixelFormat& format);
struct RowRoutines
{
    GatherFn gather;
    SpanFn span;
};
// The routines of an uncompressed kind, with the AVX2 span routine where it
// draws (see Avx2Routines).
RowRoutines RoutinesFor(PixelKind kind);

// The visible destination pixels along one axis and the source pixel each one
// shows. Only pixels inside the clip and showing a pixel inside the picture are
// listed, so the lists never grow with the destination or the picture.
struct AxisMap
{
    LONGLONG first = 0;        // surface coordinate of the first listed pixel
    std::vector<uint32_t> src; // picture coordinate shown by first, first + 1, ...
    bool descending = false;   // mirrored: src never increases
    bool identity = false;     // src goes up by exactly one per pixel
};

// `dest` and `destExtent` in surface pixels, `src` and `srcExtent` in picture
// pixels; `clipLo..clipHi` is the clip along this axis and `pictureSize` the
// picture's extent. False when nothing is visible.
bool MapAxis(LONGLONG dest, int destExtent, LONG clipLo, LONG clipHi, int src, int srcExtent,
             LONG pictureSize, AxisMap& map);

// Scale-1 row routines that convert the longest prefix of a row they can take
// in whole vectors and return its length.
using VectorSpanFn = size_t (*)(const BYTE* row, uint32_t first, DWORD* out, size_t n,
                                const PixelFormat& format);
struct VectorRoutines
{
    VectorSpanFn indexed4, indexed8, rgb555, rgb565, bgr24, bgrx32;
};
// The AVX2 routines; null when they are not to be used.
const VectorRoutines* Avx2Routines();
// By default the AVX2 routines draw where the processor has AVX2 and they are
// the faster; tests make either kind draw on any processor that can run it.
enum class VectorChoice
{
    WhereFaster,
    Always,
    Never,
};
void ChooseVectorRoutines(VectorChoice choice);

void DrawUncompressed(const DibTarget& target, const AxisMap& xs, const AxisMap& ys,
                      const BYTE* bits, size_t bitsSize, const PixelFormat& format);
// `index`, when given, was built for this stream.
void DrawRle(const DibTarget& target, const AxisMap& xs, const AxisMap& ys, const BYTE* bits,
             size_t bitsSize, const PixelFormat& format, const RleRowIndex* index);

} // namespace dibraster
