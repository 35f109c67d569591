// Uncompressed DIBs: one row routine per pixel format, chosen once per draw,
// fed the precomputed source column of every visible destination column.

#include "DibRasterPixels.h"
#include "core/Endian.h"

#include <algorithm>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace dibraster {

namespace {

using GatherFn = void (*)(const BYTE* row, const uint32_t* cols, DWORD* out, size_t n,
                          const PixelFormat& f);
using SpanFn = void (*)(const BYTE* row, uint32_t first, DWORD* out, size_t n,
                        const PixelFormat& f);

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

struct RowRoutines
{
    GatherFn gather;
    SpanFn span;
};

template <class Pixel>
constexpr RowRoutines kRoutines{&GatherRow<Pixel>, &SpanRow<Pixel>};

// A vector routine for the start of the row, the baseline one for its end.
template <class Pixel, VectorSpanFn VectorRoutines::*routine>
void VectorSpanRow(const BYTE* row, uint32_t first, DWORD* out, size_t n, const PixelFormat& f)
{
    const size_t done = (Avx2Routines()->*routine)(row, first, out, n, f);
    SpanRow<Pixel>(row, first + static_cast<uint32_t>(done), out + done, n - done, f);
}

RowRoutines RoutinesFor(PixelKind kind)
{
    if (Avx2Routines() != nullptr) {
        switch (kind) {
        case PixelKind::Indexed4:
            return {&GatherRow<Indexed4>, &VectorSpanRow<Indexed4, &VectorRoutines::indexed4>};
        case PixelKind::Indexed8:
            return {&GatherRow<Indexed8>, &VectorSpanRow<Indexed8, &VectorRoutines::indexed8>};
        case PixelKind::Rgb555:
            return {&GatherRow<Rgb555>, &VectorSpanRow<Rgb555, &VectorRoutines::rgb555>};
        case PixelKind::Rgb565:
            return {&GatherRow<Rgb565>, &VectorSpanRow<Rgb565, &VectorRoutines::rgb565>};
        case PixelKind::Bgr24:
            return {&GatherRow<Bgr24>, &VectorSpanRow<Bgr24, &VectorRoutines::bgr24>};
        case PixelKind::Bgrx32:
            return {&GatherRow<Bgrx32>, &VectorSpanRow<Bgrx32, &VectorRoutines::bgrx32>};
        default:
            break;
        }
    }
    switch (kind) {
    case PixelKind::Indexed1:
        return kRoutines<Indexed1>;
    case PixelKind::Indexed4:
        return kRoutines<Indexed4>;
    case PixelKind::Rgb555:
        return kRoutines<Rgb555>;
    case PixelKind::Rgb565:
        return kRoutines<Rgb565>;
    case PixelKind::Masked16:
        return kRoutines<Masked16>;
    case PixelKind::Bgr24:
        return kRoutines<Bgr24>;
    case PixelKind::Bgrx32:
        return kRoutines<Bgrx32>;
    case PixelKind::Masked32:
        return kRoutines<Masked32>;
    case PixelKind::Indexed8:
    case PixelKind::Rle4: // never reach here: streams have their own decoder
    case PixelKind::Rle8:
        break;
    }
    return kRoutines<Indexed8>;
}

// The visible columns [begin, end) whose source column is below `held`; the
// columns are monotonic, so they form one run.
void HeldColumns(const AxisMap& xs, ULONGLONG held, size_t& begin, size_t& end)
{
    const auto& s = xs.src;
    if (xs.descending) {
        begin = static_cast<size_t>(
            std::partition_point(s.begin(), s.end(), [held](uint32_t c) { return c >= held; }) -
            s.begin());
        end = s.size();
    } else {
        begin = 0;
        end = static_cast<size_t>(
            std::partition_point(s.begin(), s.end(), [held](uint32_t c) { return c < held; }) -
            s.begin());
    }
}

} // namespace

void DrawUncompressed(const DibTarget& target, const AxisMap& xs, const AxisMap& ys,
                      const BYTE* bits, size_t bitsSize, const PixelFormat& f)
{
    const RowRoutines routines = RoutinesFor(f.kind);
    const size_t n = xs.src.size();
    // Rows the block holds in full, and how many pixels it holds of the next.
    const ULONGLONG fullRows = bitsSize / f.stride;
    const ULONGLONG partPixels = bitsSize % f.stride * 8 / static_cast<ULONGLONG>(f.bitCount);

    LONGLONG lastSource = -1;
    size_t lastBegin = 0;
    size_t lastEnd = 0;
    const DWORD* last = nullptr;
    for (size_t k = 0; k < ys.src.size(); ++k) {
        DWORD* out =
            target.pixels + (ys.first + static_cast<LONGLONG>(k)) * target.stride + xs.first;
        const uint32_t sy = ys.src[k];
        if (sy == lastSource) {
            // Enlarged: this row repeats the source row of the one above.
            std::memcpy(out + lastBegin, last + lastBegin, (lastEnd - lastBegin) * sizeof(DWORD));
            last = out;
            continue;
        }
        const ULONGLONG stored = f.topDown ? sy : static_cast<ULONGLONG>(f.height) - 1 - sy;
        size_t begin = 0;
        size_t end = n;
        if (stored >= fullRows)
            HeldColumns(xs, stored == fullRows ? partPixels : 0, begin, end);
        if (begin < end) {
            const BYTE* row = bits + stored * f.stride;
            if (xs.identity)
                routines.span(row, xs.src[begin], out + begin, end - begin, f);
            else
                routines.gather(row, xs.src.data() + begin, out + begin, end - begin, f);
        }
        lastSource = sy;
        lastBegin = begin;
        lastEnd = end;
        last = out;
    }
}

} // namespace dibraster
