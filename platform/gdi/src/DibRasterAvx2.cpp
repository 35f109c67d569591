// Row routines for processors with AVX2, chosen at run time: the binary stays
// baseline x86-64. Each span routine converts the longest prefix of a row it
// can take in whole vectors and returns its length; the baseline routine does
// the rest. They read only the bytes of the pixels they convert.

#include "DibRasterInternal.h"
#include "core/Endian.h"

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#define PIXMORA_AVX2 __attribute__((target("avx2")))
#endif

namespace dibraster {

#if defined(__x86_64__) || defined(__i386__)

namespace {

// Eight colour indices (as bytes) to eight palette words.
PIXMORA_AVX2 inline __m256i LookUp8(__m128i indices, const DWORD* palette)
{
    return _mm256_i32gather_epi32(reinterpret_cast<const int*>(palette),
                                  _mm256_cvtepu8_epi32(indices), 4);
}

PIXMORA_AVX2 size_t Indexed4(const BYTE* row, uint32_t first, DWORD* out, size_t n,
                             const PixelFormat& f)
{
    if (n < 9)
        return 0;
    size_t i = 0;
    if ((first & 1) != 0)
        out[i++] = f.palette[row[first >> 1] & 15];
    const BYTE* p = row + ((first + i) >> 1);
    const __m128i low4 = _mm_set1_epi8(15);
    for (; i + 8 <= n; i += 8, p += 4) {
        const __m128i b = _mm_cvtsi32_si128(static_cast<int>(LoadLE32(p)));
        const __m128i hi = _mm_and_si128(_mm_srli_epi16(b, 4), low4);
        const __m128i lo = _mm_and_si128(b, low4);
        // The left pixel of each byte is its high nibble.
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + i),
                            LookUp8(_mm_unpacklo_epi8(hi, lo), f.palette));
    }
    return i;
}

PIXMORA_AVX2 size_t Indexed8(const BYTE* row, uint32_t first, DWORD* out, size_t n,
                             const PixelFormat& f)
{
    const BYTE* p = row + first;
    size_t i = 0;
    for (; i + 8 <= n; i += 8)
        _mm256_storeu_si256(
            reinterpret_cast<__m256i*>(out + i),
            LookUp8(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(p + i)), f.palette));
    return i;
}

// Sixteen 16-bit pixels at a time, with the same arithmetic as the SSE2 routine.
template <bool k565>
PIXMORA_AVX2 size_t Rgb16(const BYTE* row, uint32_t first, DWORD* out, size_t n, const PixelFormat&)
{
    const BYTE* p = row + size_t{first} * 2;
    __m256i mul5 = _mm256_set1_epi16(527);
    __m256i mul6 = _mm256_set1_epi16(259);
    __asm__("" : "+x"(mul5), "+x"(mul6)); // keep GCC from expanding the multiplies
    const __m256i five = _mm256_set1_epi16(0x1F);
    const __m256i add5 = _mm256_set1_epi16(23);
    const __m256i opaque = _mm256_set1_epi16(static_cast<short>(0xFF00));
    size_t i = 0;
    for (; i + 16 <= n; i += 16) {
        // Pixels 0-3, 8-11 | 4-7, 12-15, so that the in-lane interleave below
        // comes out in order.
        const __m256i px = _mm256_permute4x64_epi64(
            _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p + i * 2)), 0xD8);
        const __m256i b = _mm256_srli_epi16(
            _mm256_add_epi16(_mm256_mullo_epi16(_mm256_and_si256(px, five), mul5), add5), 6);
        __m256i g;
        __m256i r;
        if constexpr (k565) {
            const __m256i g6 = _mm256_and_si256(_mm256_srli_epi16(px, 5), _mm256_set1_epi16(0x3F));
            g = _mm256_srli_epi16(
                _mm256_add_epi16(_mm256_mullo_epi16(g6, mul6), _mm256_set1_epi16(33)), 6);
            r = _mm256_srli_epi16(
                _mm256_add_epi16(_mm256_mullo_epi16(_mm256_srli_epi16(px, 11), mul5), add5), 6);
        } else {
            const __m256i g5 = _mm256_and_si256(_mm256_srli_epi16(px, 5), five);
            const __m256i r5 = _mm256_and_si256(_mm256_srli_epi16(px, 10), five);
            g = _mm256_srli_epi16(_mm256_add_epi16(_mm256_mullo_epi16(g5, mul5), add5), 6);
            r = _mm256_srli_epi16(_mm256_add_epi16(_mm256_mullo_epi16(r5, mul5), add5), 6);
        }
        const __m256i gb = _mm256_or_si256(_mm256_slli_epi16(g, 8), b);
        const __m256i ar = _mm256_or_si256(r, opaque);
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + i), _mm256_unpacklo_epi16(gb, ar));
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + i + 8), _mm256_unpackhi_epi16(gb, ar));
    }
    return i;
}

PIXMORA_AVX2 size_t Bgr24(const BYTE* row, uint32_t first, DWORD* out, size_t n, const PixelFormat&)
{
    const BYTE* p = row + size_t{first} * 3;
    // Each 16-byte half takes four pixels and reads a little past them, so the
    // loop stops while two more pixels follow.
    const __m256i spread = _mm256_setr_epi8(0, 1, 2, -1, 3, 4, 5, -1, 6, 7, 8, -1, 9, 10, 11, -1, 0,
                                            1, 2, -1, 3, 4, 5, -1, 6, 7, 8, -1, 9, 10, 11, -1);
    const __m256i opaque = _mm256_set1_epi32(static_cast<int>(0xFF000000u));
    size_t i = 0;
    for (; i + 10 <= n; i += 8) {
        const BYTE* q = p + i * 3;
        const __m256i v = _mm256_loadu2_m128i(reinterpret_cast<const __m128i*>(q + 12),
                                              reinterpret_cast<const __m128i*>(q));
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + i),
                            _mm256_or_si256(_mm256_shuffle_epi8(v, spread), opaque));
    }
    return i;
}

PIXMORA_AVX2 size_t Bgrx32(const BYTE* row, uint32_t first, DWORD* out, size_t n,
                           const PixelFormat&)
{
    const BYTE* p = row + size_t{first} * 4;
    const __m256i opaque = _mm256_set1_epi32(static_cast<int>(0xFF000000u));
    size_t i = 0;
    for (; i + 8 <= n; i += 8) {
        const __m256i v = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p + i * 4));
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + i), _mm256_or_si256(v, opaque));
    }
    return i;
}

VectorChoice g_choice = VectorChoice::WhereFaster;

} // namespace

const VectorRoutines* Avx2Routines()
{
    static const VectorRoutines routines{&Indexed4,    &Indexed8, &Rgb16<false>,
                                         &Rgb16<true>, &Bgr24,    &Bgrx32};
    static const bool supported = [] {
        __builtin_cpu_init();
        return __builtin_cpu_supports("avx2") != 0;
    }();
    // The first Zen cores split every 256-bit operation in two and run
    // gathers as microcode: there the baseline routines draw 4- and 8-bit
    // rows twice as fast, and the others 5 to 15 percent faster.
    static const bool faster = supported && !__builtin_cpu_is("znver1");
    const bool use = g_choice == VectorChoice::Always  ? supported
                     : g_choice == VectorChoice::Never ? false
                                                       : faster;
    return use ? &routines : nullptr;
}

void ChooseVectorRoutines(VectorChoice choice)
{
    g_choice = choice;
}

#else

const VectorRoutines* Avx2Routines()
{
    return nullptr;
}

void ChooseVectorRoutines(VectorChoice) {}

#endif

} // namespace dibraster
