#pragma once

// Pixel readers: what one stored pixel of each format looks like as a surface
// word. Uncompressed rows and the absolute runs of RLE streams both read their
// pixels through these, so each format's bit order is written once.

#include "DibRasterInternal.h"
#include "core/Endian.h"

namespace dibraster {

inline constexpr DWORD kOpaque = 0xFF000000u;

// Context is what a row needs from the format, taken into a local once per row
// so the inner loops see no stores that could alias it.
struct Indexed1
{
    using Context = const DWORD*;
    static Context Make(const PixelFormat& f) { return f.palette; }
    static DWORD At(const BYTE* row, uint32_t x, Context pal)
    {
        return pal[(row[x >> 3] >> (7 - (x & 7))) & 1];
    }
};

// The left pixel of each byte is its high nibble.
struct Indexed4
{
    using Context = const DWORD*;
    static Context Make(const PixelFormat& f) { return f.palette; }
    static DWORD At(const BYTE* row, uint32_t x, Context pal)
    {
        return pal[(row[x >> 1] >> ((x & 1) != 0 ? 0 : 4)) & 15];
    }
};

struct Indexed8
{
    using Context = const DWORD*;
    static Context Make(const PixelFormat& f) { return f.palette; }
    static DWORD At(const BYTE* row, uint32_t x, Context pal) { return pal[row[x]]; }
};

struct Masks
{
    const BYTE* levels[3];
    int shift[3];
    DWORD mask[3];

    DWORD operator()(DWORD px) const
    {
        return kOpaque | (DWORD{levels[0][(px >> shift[0]) & mask[0]]} << 16) |
               (DWORD{levels[1][(px >> shift[1]) & mask[1]]} << 8) |
               levels[2][(px >> shift[2]) & mask[2]];
    }
};

inline Masks MakeMasks(const PixelFormat& f)
{
    Masks m;
    for (int i = 0; i < 3; ++i) {
        m.levels[i] = f.channels[i].levels.data();
        m.shift[i] = f.channels[i].shift;
        m.mask[i] = f.channels[i].mask;
    }
    return m;
}

struct Masked16
{
    using Context = Masks;
    static Context Make(const PixelFormat& f) { return MakeMasks(f); }
    static DWORD At(const BYTE* row, uint32_t x, const Context& m)
    {
        return m(LoadLE16(row + size_t{x} * 2));
    }
};
// The two common 16-bit layouts, told apart only to reach their vector routines.
struct Rgb555 : Masked16
{
};
struct Rgb565 : Masked16
{
};

struct Masked32
{
    using Context = Masks;
    static Context Make(const PixelFormat& f) { return MakeMasks(f); }
    static DWORD At(const BYTE* row, uint32_t x, const Context& m)
    {
        return m(LoadLE32(row + size_t{x} * 4));
    }
};

struct Bgr24
{
    using Context = int; // needs nothing
    static Context Make(const PixelFormat&) { return 0; }
    static DWORD At(const BYTE* row, uint32_t x, Context)
    {
        const BYTE* p = row + size_t{x} * 3;
        return kOpaque | (DWORD{p[2]} << 16) | (DWORD{p[1]} << 8) | p[0];
    }
};

struct Bgrx32
{
    using Context = int;
    static Context Make(const PixelFormat&) { return 0; }
    static DWORD At(const BYTE* row, uint32_t x, Context)
    {
        return kOpaque | LoadLE32(row + size_t{x} * 4);
    }
};

} // namespace dibraster
