// The pixel formats: for each, the row routines that draw it and what its
// colours need before a draw, gathered in one table at the end.

#include "DibRasterPixels.h"
#include "core/Endian.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <iterator>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace dibraster {

namespace {

// Any scale: destination pixel i shows source column cols[i].
template <class Pixel>
void GatherRow(const BYTE* row, const uint32_t* cols, DWORD* out, size_t n, const PixelFormat& f)
{
    const typename Pixel::Context c = Pixel::Make(f);
    for (size_t i = 0; i < n; ++i)
        out[i] = Pixel::At(row, cols[i], c);
}

// Scale 1, unmirrored: destination pixel i shows source column first + i.
template <class Pixel>
void SpanRow(const BYTE* row, uint32_t first, DWORD* out, size_t n, const PixelFormat& f)
{
    const typename Pixel::Context c = Pixel::Make(f);
    for (size_t i = 0; i < n; ++i)
        out[i] = Pixel::At(row, first + static_cast<uint32_t>(i), c);
}

// At scale 1 each source byte becomes whole output words: four pixels per
// nibble at 1 bit and two per byte at 4 bits, copied from tables made per draw.
template <>
void SpanRow<Indexed1>(const BYTE* row, uint32_t first, DWORD* out, size_t n, const PixelFormat& f)
{
    const DWORD* pal = f.palette;
    size_t i = 0;
    uint32_t x = first;
    for (; i < n && (x & 7) != 0; ++i, ++x)
        out[i] = Indexed1::At(row, x, pal);
    for (; i + 8 <= n; i += 8, x += 8) {
        const unsigned b = row[x >> 3];
        std::memcpy(out + i, f.quads[b >> 4], sizeof f.quads[0]);
        std::memcpy(out + i + 4, f.quads[b & 15], sizeof f.quads[0]);
    }
    for (; i < n; ++i, ++x)
        out[i] = Indexed1::At(row, x, pal);
}

template <>
void SpanRow<Indexed4>(const BYTE* row, uint32_t first, DWORD* out, size_t n, const PixelFormat& f)
{
    size_t i = 0;
    uint32_t x = first;
    if (i < n && (x & 1) != 0)
        out[i++] = Indexed4::At(row, x++, f.palette);
    for (; i + 2 <= n; i += 2, x += 2)
        std::memcpy(out + i, &f.pairs[row[x >> 1]], sizeof f.pairs[0]);
    if (i < n)
        out[i] = Indexed4::At(row, x, f.palette);
}

template <>
void SpanRow<Indexed8>(const BYTE* row, uint32_t first, DWORD* out, size_t n, const PixelFormat& f)
{
    const DWORD* pal = f.palette;
    const BYTE* p = row + first;
    size_t i = 0;
    for (; i + 4 <= n; i += 4) {
        const DWORD a = pal[p[i]], b = pal[p[i + 1]], c = pal[p[i + 2]], d = pal[p[i + 3]];
        out[i] = a;
        out[i + 1] = b;
        out[i + 2] = c;
        out[i + 3] = d;
    }
    for (; i < n; ++i)
        out[i] = pal[p[i]];
}

template <>
void SpanRow<Bgr24>(const BYTE* row, uint32_t first, DWORD* out, size_t n, const PixelFormat&)
{
    // A 4-byte load takes the first byte of the next pixel, which the block
    // holds for every pixel but the last; the top byte is overwritten anyway.
    const BYTE* p = row + size_t{first} * 3;
    size_t i = 0;
    for (; i + 5 <= n; i += 4) {
        const BYTE* q = p + i * 3;
        const DWORD a = LoadLE32(q), b = LoadLE32(q + 3), c = LoadLE32(q + 6);
        const DWORD d = LoadLE32(q + 9);
        out[i] = kOpaque | a;
        out[i + 1] = kOpaque | b;
        out[i + 2] = kOpaque | c;
        out[i + 3] = kOpaque | d;
    }
    for (; i < n; ++i)
        out[i] = Bgr24::At(row, first + static_cast<uint32_t>(i), 0);
}

template <>
void GatherRow<Bgr24>(const BYTE* row, const uint32_t* cols, DWORD* out, size_t n,
                      const PixelFormat&)
{
    if (n == 0)
        return;
    // As above: a 4-byte load is safe for every column below the rightmost
    // one, and a single wide load beats three narrow ones on scattered reads.
    const uint32_t rightmost = std::max(cols[0], cols[n - 1]);
    for (size_t i = 0; i < n; ++i) {
        const uint32_t x = cols[i];
        out[i] = x < rightmost ? kOpaque | LoadLE32(row + size_t{x} * 3) : Bgr24::At(row, x, 0);
    }
}

#if defined(__SSE2__)

template <>
void SpanRow<Bgrx32>(const BYTE* row, uint32_t first, DWORD* out, size_t n, const PixelFormat&)
{
    const BYTE* p = row + size_t{first} * 4;
    const __m128i opaque = _mm_set1_epi32(static_cast<int>(kOpaque));
    size_t i = 0;
    for (; i + 4 <= n; i += 4) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + i * 4));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + i), _mm_or_si128(v, opaque));
    }
    for (; i < n; ++i)
        out[i] = kOpaque | LoadLE32(p + i * 4);
}

// The multipliers of Widen16, hidden from the optimiser: GCC would turn each
// multiply into a shift-and-add chain that makes the loop a third slower.
struct Widen16Constants
{
    __m128i mul5 = _mm_set1_epi16(527);
    __m128i mul6 = _mm_set1_epi16(259);

    Widen16Constants() { __asm__("" : "+x"(mul5), "+x"(mul6)); }
};

// Eight 16-bit pixels to surface words, eight lanes at a time. The multiply
// and shift give exactly round(v * 255 / 31) for 5-bit and round(v * 255 / 63)
// for 6-bit values, the same levels as the channel tables.
template <bool k565>
inline void Widen16(__m128i px, DWORD* out, const Widen16Constants& k)
{
    const __m128i five = _mm_set1_epi16(0x1F);
    const auto level5 = [&k](__m128i v) {
        return _mm_srli_epi16(_mm_add_epi16(_mm_mullo_epi16(v, k.mul5), _mm_set1_epi16(23)), 6);
    };
    const __m128i b = level5(_mm_and_si128(px, five));
    __m128i g;
    __m128i r;
    if constexpr (k565) {
        const __m128i g6 = _mm_and_si128(_mm_srli_epi16(px, 5), _mm_set1_epi16(0x3F));
        g = _mm_srli_epi16(_mm_add_epi16(_mm_mullo_epi16(g6, k.mul6), _mm_set1_epi16(33)), 6);
        r = level5(_mm_srli_epi16(px, 11));
    } else {
        g = level5(_mm_and_si128(_mm_srli_epi16(px, 5), five));
        r = level5(_mm_and_si128(_mm_srli_epi16(px, 10), five));
    }
    // Low halves G:B, high halves FF:R; interleaving them gives 0xFFRRGGBB.
    const __m128i gb = _mm_or_si128(_mm_slli_epi16(g, 8), b);
    const __m128i ar = _mm_or_si128(r, _mm_set1_epi16(static_cast<short>(0xFF00)));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out), _mm_unpacklo_epi16(gb, ar));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + 4), _mm_unpackhi_epi16(gb, ar));
}

template <bool k565>
void Span16(const BYTE* row, uint32_t first, DWORD* out, size_t n, const PixelFormat& f)
{
    const BYTE* p = row + size_t{first} * 2;
    const Widen16Constants k;
    size_t i = 0;
    for (; i + 8 <= n; i += 8)
        Widen16<k565>(_mm_loadu_si128(reinterpret_cast<const __m128i*>(p + i * 2)), out + i, k);
    if (i < n)
        SpanRow<Masked16>(row, first + static_cast<uint32_t>(i), out + i, n - i, f);
}

template <bool k565>
void Gather16(const BYTE* row, const uint32_t* cols, DWORD* out, size_t n, const PixelFormat& f)
{
    const Widen16Constants k;
    size_t i = 0;
    for (; i + 8 <= n; i += 8) {
        const uint32_t* c = cols + i;
        auto at = [row](uint32_t x) { return static_cast<short>(LoadLE16(row + size_t{x} * 2)); };
        Widen16<k565>(_mm_setr_epi16(at(c[0]), at(c[1]), at(c[2]), at(c[3]), at(c[4]), at(c[5]),
                                     at(c[6]), at(c[7])),
                      out + i, k);
    }
    if (i < n)
        GatherRow<Masked16>(row, cols + i, out + i, n - i, f);
}

template <>
void SpanRow<Rgb555>(const BYTE* row, uint32_t first, DWORD* out, size_t n, const PixelFormat& f)
{
    Span16<false>(row, first, out, n, f);
}
template <>
void SpanRow<Rgb565>(const BYTE* row, uint32_t first, DWORD* out, size_t n, const PixelFormat& f)
{
    Span16<true>(row, first, out, n, f);
}
template <>
void GatherRow<Rgb555>(const BYTE* row, const uint32_t* cols, DWORD* out, size_t n,
                       const PixelFormat& f)
{
    Gather16<false>(row, cols, out, n, f);
}
template <>
void GatherRow<Rgb565>(const BYTE* row, const uint32_t* cols, DWORD* out, size_t n,
                       const PixelFormat& f)
{
    Gather16<true>(row, cols, out, n, f);
}

#endif // __SSE2__

// A vector routine for the start of the row, the baseline one for its end.
template <class Pixel, VectorSpanFn VectorRoutines::*routine>
void VectorSpanRow(const BYTE* row, uint32_t first, DWORD* out, size_t n, const PixelFormat& f)
{
    const size_t done = (Avx2Routines()->*routine)(row, first, out, n, f);
    SpanRow<Pixel>(row, first + static_cast<uint32_t>(done), out + done, n - done, f);
}

// What the row routines read besides the pixels, made once per draw.

// The block always holds 256 entries, so any index the pixels can hold has
// one, whatever the colour count says.
void Palette(const BITMAPINFO& info, PixelFormat& f)
{
    for (int i = 0; i < kDibColorEntries; ++i) {
        const BYTE* q = ColourEntry(info, i);
        f.palette[i] = kOpaque | (DWORD{q[2]} << 16) | (DWORD{q[1]} << 8) | q[0];
    }
}

void PaletteAndQuads(const BITMAPINFO& info, PixelFormat& f)
{
    Palette(info, f);
    for (int v = 0; v < 16; ++v)
        for (int k = 0; k < 4; ++k)
            f.quads[v][k] = f.palette[(v >> (3 - k)) & 1];
}

void PaletteAndPairs(const BITMAPINFO& info, PixelFormat& f)
{
    Palette(info, f);
    for (int v = 0; v < 256; ++v)
        f.pairs[v] = f.palette[v >> 4] | uint64_t{f.palette[v & 15]} << 32;
}

// A channel of `mask` widened to 8 bits as round(v * 255 / max). Fields over
// 16 bits keep their top 16 bits, which stays within one level of the exact
// value and keeps the table small.
Channel MakeChannel(DWORD mask)
{
    Channel c;
    if (mask == 0) {
        c.levels = {0}; // an empty mask gives a channel of 0
        return c;
    }
    int width = std::popcount(mask);
    c.shift = std::countr_zero(mask);
    if (width > 16) {
        c.shift += width - 16;
        width = 16;
    }
    const DWORD max = (1u << width) - 1;
    c.mask = max;
    c.levels.resize(size_t{max} + 1);
    for (DWORD v = 0; v <= max; ++v)
        c.levels[v] = static_cast<BYTE>((v * 510ull + max) / (2ull * max));
    return c;
}

void Channels(const BITMAPINFO&, PixelFormat& f)
{
    for (int i = 0; i < 3; ++i)
        f.channels[i] = MakeChannel(f.masks[i]);
}

void NoColours(const BITMAPINFO&, PixelFormat&) {}

using ColoursFn = void (*)(const BITMAPINFO& info, PixelFormat& f);

struct FormatEntry
{
    PixelKind kind;
    ColoursFn colours;
    GatherFn gather; // any scale; null for streams, which DrawRle decodes
    SpanFn span;     // scale 1, unmirrored
    SpanFn avx2Span; // the same with the AVX2 routine first; null where there is none
};

template <class Pixel, VectorSpanFn VectorRoutines::*avx2 = nullptr>
constexpr FormatEntry Rows(PixelKind kind, ColoursFn colours)
{
    FormatEntry e{kind, colours, &GatherRow<Pixel>, &SpanRow<Pixel>, nullptr};
    if constexpr (avx2 != nullptr)
        e.avx2Span = &VectorSpanRow<Pixel, avx2>;
    return e;
}

// Every pixel kind, in the order of PixelKind: how its colours are prepared
// and which routines draw its rows.
constexpr FormatEntry kFormats[] = {
    Rows<Indexed1>(PixelKind::Indexed1, &PaletteAndQuads),
    Rows<Indexed4, &VectorRoutines::indexed4>(PixelKind::Indexed4, &PaletteAndPairs),
    Rows<Indexed8, &VectorRoutines::indexed8>(PixelKind::Indexed8, &Palette),
    {PixelKind::Rle4, &Palette, nullptr, nullptr, nullptr},
    {PixelKind::Rle8, &Palette, nullptr, nullptr, nullptr},
    Rows<Rgb555, &VectorRoutines::rgb555>(PixelKind::Rgb555, &Channels),
    Rows<Rgb565, &VectorRoutines::rgb565>(PixelKind::Rgb565, &Channels),
    Rows<Masked16>(PixelKind::Masked16, &Channels),
    Rows<Bgr24, &VectorRoutines::bgr24>(PixelKind::Bgr24, &NoColours),
    Rows<Bgrx32, &VectorRoutines::bgrx32>(PixelKind::Bgrx32, &NoColours),
    Rows<Masked32>(PixelKind::Masked32, &Channels),
};

constexpr bool InKindOrder()
{
    for (size_t i = 0; i < std::size(kFormats); ++i)
        if (static_cast<size_t>(kFormats[i].kind) != i)
            return false;
    return std::size(kFormats) == kPixelKinds;
}
static_assert(InKindOrder());

const FormatEntry& Entry(PixelKind kind)
{
    return kFormats[static_cast<size_t>(kind)];
}

} // namespace

void PrepareColours(const BITMAPINFO& info, PixelFormat& f)
{
    Entry(f.kind).colours(info, f);
}

RowRoutines RoutinesFor(PixelKind kind)
{
    const FormatEntry& e = Entry(kind);
    return {e.gather, e.avx2Span != nullptr && Avx2Routines() != nullptr ? e.avx2Span : e.span};
}

} // namespace dibraster
