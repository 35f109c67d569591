#pragma once

// Turns character art into bitmap file images at compile time. Each picture
// is written one character per pixel, top row first, each character naming a
// colour of the standard 16-colour table:
//
//   k black        r dark red      g dark green    y dark yellow
//   b dark blue    m dark magenta  c dark cyan     . light grey (button face)
//   x dark grey    R red           G green         Y yellow
//   B blue         M magenta       C cyan          W white
//
// and ' ' a transparent pixel, allowed only in icons. A wrong character or a
// row of the wrong length stops the build.

#include "core/Types.h"

#include <array>
#include <cstddef>
#include <string_view>

namespace pixelart {

inline constexpr int kTransparent = -1;

struct Rgb
{
    BYTE r;
    BYTE g;
    BYTE b;
};

// In colour-table order; dark colours are half intensity, light grey is the
// face of a button.
inline constexpr Rgb kStandardColors[16] = {
    {0, 0, 0},     {128, 0, 0},     {0, 128, 0},     {128, 128, 0},   {0, 0, 128}, {128, 0, 128},
    {0, 128, 128}, {192, 192, 192}, {128, 128, 128}, {255, 0, 0},     {0, 255, 0}, {255, 255, 0},
    {0, 0, 255},   {255, 0, 255},   {0, 255, 255},   {255, 255, 255},
};

inline constexpr std::string_view kColorLetters = "krgybmc.xRGYBMCW";

// Reached only through a bad picture, where it makes the constant evaluation
// fail with this name in the compiler's message.
inline void BadPixelArt(const char*) {}

constexpr int ColorOf(char c)
{
    if (c == ' ')
        return kTransparent;
    const size_t index = kColorLetters.find(c);
    if (index == std::string_view::npos)
        BadPixelArt("unknown colour letter");
    return static_cast<int>(index);
}

// Colour indexes, kTransparent for a see-through pixel.
template <int W, int H>
struct Picture
{
    signed char at[H][W];
};

template <int W, int H>
constexpr Picture<W, H> Parse(const std::string_view (&rows)[H])
{
    Picture<W, H> picture{};
    for (int y = 0; y < H; ++y) {
        if (rows[y].size() != W)
            BadPixelArt("row of the wrong length");
        for (int x = 0; x < W; ++x)
            picture.at[y][x] = static_cast<signed char>(ColorOf(rows[y][x]));
    }
    return picture;
}

constexpr int StripWidth(int width, size_t count)
{
    return width * static_cast<int>(count);
}

// Pictures of one size side by side, left to right, in one picture.
template <int W, int H, size_t N>
constexpr Picture<StripWidth(W, N), H> Strip(const std::array<Picture<W, H>, N>& pictures)
{
    Picture<StripWidth(W, N), H> strip{};
    for (size_t n = 0; n < N; ++n)
        for (int y = 0; y < H; ++y)
            for (int x = 0; x < W; ++x)
                strip.at[y][StripWidth(W, n) + x] = pictures[n].at[y][x];
    return strip;
}

// Bytes per row of pixels: rows are padded to whole 32-bit words.
constexpr size_t RowBytes(int width, int bitCount)
{
    return (static_cast<size_t>(width) * bitCount + 31) / 32 * 4;
}

inline constexpr size_t kFileHeaderSize = 14;
inline constexpr size_t kInfoHeaderSize = 40;

constexpr size_t PixelOffset(int bitCount)
{
    return kFileHeaderSize + kInfoHeaderSize + 4 * (size_t{1} << bitCount);
}

constexpr size_t FileSize(int width, int height, int bitCount)
{
    return PixelOffset(bitCount) + RowBytes(width, bitCount) * height;
}

template <size_t Size>
class Writer
{
public:
    constexpr explicit Writer(std::array<BYTE, Size>& bytes) : m_bytes(bytes) {}
    constexpr void U8(size_t at, DWORD v) { m_bytes[at] = static_cast<BYTE>(v); }
    constexpr void U16(size_t at, DWORD v)
    {
        U8(at, v);
        U8(at + 1, v >> 8);
    }
    constexpr void U32(size_t at, DWORD v)
    {
        U16(at, v);
        U16(at + 2, v >> 16);
    }

private:
    std::array<BYTE, Size>& m_bytes;
};

// File header, info header (bottom-up, 1 plane, uncompressed, the whole
// colour table used) and the colour table.
template <int W, int H, int BitCount, size_t ColorCount>
constexpr std::array<BYTE, FileSize(W, H, BitCount)> Headers(const Rgb (&colors)[ColorCount])
{
    static_assert(ColorCount == size_t{1} << BitCount);
    std::array<BYTE, FileSize(W, H, BitCount)> bytes{};
    Writer w(bytes);
    w.U16(0, 0x4D42); // "BM"
    w.U32(2, static_cast<DWORD>(bytes.size()));
    w.U32(10, static_cast<DWORD>(PixelOffset(BitCount)));
    const size_t h = kFileHeaderSize;
    w.U32(h, kInfoHeaderSize);
    w.U32(h + 4, W);
    w.U32(h + 8, H); // positive: the bottom row comes first
    w.U16(h + 12, 1);
    w.U16(h + 14, BitCount);
    w.U32(h + 16, 0); // uncompressed
    w.U32(h + 20, static_cast<DWORD>(RowBytes(W, BitCount) * H));
    // Resolution and colour counts stay 0: no preferred size, full table.
    for (size_t i = 0; i < ColorCount; ++i) {
        const size_t at = h + kInfoHeaderSize + 4 * i;
        w.U8(at, colors[i].b);
        w.U8(at + 1, colors[i].g);
        w.U8(at + 2, colors[i].r);
    }
    return bytes;
}

// The picture as a 4-bit bitmap with the standard colours, high nibble
// leftmost; transparent pixels become black, as an icon's picture wants.
template <int W, int H>
constexpr std::array<BYTE, FileSize(W, H, 4)> ColorBitmap(const Picture<W, H>& picture)
{
    auto bytes = Headers<W, H, 4>(kStandardColors);
    const size_t stride = RowBytes(W, 4);
    for (int y = 0; y < H; ++y) {
        const size_t row = PixelOffset(4) + static_cast<size_t>(H - 1 - y) * stride;
        for (int x = 0; x < W; ++x) {
            const int color = picture.at[y][x] == kTransparent ? 0 : picture.at[y][x];
            const int shift = x % 2 == 0 ? 4 : 0;
            bytes[row + x / 2] = static_cast<BYTE>(bytes[row + x / 2] | color << shift);
        }
    }
    return bytes;
}

// The same, for a picture that must cover every pixel (a toolbar strip).
template <int W, int H>
constexpr std::array<BYTE, FileSize(W, H, 4)> OpaqueColorBitmap(const Picture<W, H>& picture)
{
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x)
            if (picture.at[y][x] == kTransparent)
                BadPixelArt("transparent pixel in an opaque picture");
    return ColorBitmap(picture);
}

// A 1-bit mask, leftmost pixel in the top bit: 1 (white) where the picture
// is transparent, 0 (black) where it is opaque.
template <int W, int H>
constexpr std::array<BYTE, FileSize(W, H, 1)> MaskBitmap(const Picture<W, H>& picture)
{
    constexpr Rgb kMaskColors[2] = {{0, 0, 0}, {255, 255, 255}};
    auto bytes = Headers<W, H, 1>(kMaskColors);
    const size_t stride = RowBytes(W, 1);
    for (int y = 0; y < H; ++y) {
        const size_t row = PixelOffset(1) + static_cast<size_t>(H - 1 - y) * stride;
        for (int x = 0; x < W; ++x)
            if (picture.at[y][x] == kTransparent)
                bytes[row + x / 8] = static_cast<BYTE>(bytes[row + x / 8] | 0x80 >> (x % 8));
    }
    return bytes;
}

} // namespace pixelart
