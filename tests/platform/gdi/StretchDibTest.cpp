// Uncompressed DIB drawing in every format, scaled, mirrored, clipped and cut short.

#include "DibRasterInternal.h"
#include "StretchDibSupport.h"
#include "core/Endian.h"
#include "gdi/Gdi.h"

#include <gtest/gtest.h>

#include <bit>
#include <climits>
#include <cmath>
#include <random>

// GCC 12 at -O3 takes the vectors in the aggregate tables below for uninitialised.
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
#endif

namespace {

// Picture pixel (x, y), row 0 at the top; nothing when the first `held` bytes lack it.
std::optional<DWORD> ReferencePixel(const TestDib& d, size_t held, LONGLONG x, LONGLONG y)
{
    const BITMAPINFOHEADER& h = d.info.bmiHeader;
    const LONGLONG rows = std::llabs(h.biHeight);
    if (x < 0 || y < 0 || x >= h.biWidth || y >= rows)
        return std::nullopt;
    const ULONGLONG stride = DibRowStride(h.biWidth, h.biBitCount);
    const ULONGLONG stored = h.biHeight < 0 ? y : rows - 1 - y;
    if (stored > held / stride)
        return std::nullopt;
    const ULONGLONG bpp = h.biBitCount;
    const ULONGLONG bit = stored * stride * 8 + x * bpp;
    if ((bit + bpp - 1) / 8 >= held)
        return std::nullopt;
    const BYTE* p = d.bits.data() + bit / 8;
    if (bpp < 8)
        return Pal((p[0] >> (8 - bpp - bit % 8)) & ((1 << bpp) - 1));
    DWORD v = 0;
    for (int i = static_cast<int>(bpp / 8) - 1; i >= 0; --i)
        v = v << 8 | p[i];
    if (bpp == 8)
        return Pal(static_cast<int>(v));
    DWORD masks[3] = {0xFF0000, 0xFF00, 0xFF};
    if (bpp == 16)
        masks[0] = 0x7C00, masks[1] = 0x3E0, masks[2] = 0x1F;
    if (h.biCompression != BI_RGB)
        for (int c = 0; c < 3; ++c)
            masks[c] = LoadLE32(reinterpret_cast<const BYTE*>(&d.info.bmiColors[c]));
    DWORD out = 0xFF000000;
    for (int c = 0; c < 3; ++c)
        if (masks[c] != 0) {
            const int shift = std::countr_zero(masks[c]);
            const double level = (v & masks[c]) >> shift;
            out |= static_cast<DWORD>(std::lround(level * 255 / (masks[c] >> shift)))
                   << (16 - 8 * c);
        }
    return out;
}

struct Format
{
    WORD bpp;
    DWORD compression;
    std::vector<DWORD> masks;
};

const Format kFormats[] = {{1, BI_RGB, {}},
                           {4, BI_RGB, {}},
                           {8, BI_RGB, {}},
                           {16, BI_RGB, {}},
                           {16, BI_BITFIELDS, {0xF800, 0x07E0, 0x001F}},
                           {16, BI_BITFIELDS, {0x7C00, 0x03E0, 0x001F}},
                           {16, BI_BITFIELDS, {0x000F, 0x3F00, 0x00F0}},
                           {24, BI_RGB, {}},
                           {32, BI_RGB, {}},
                           {32, BI_BITFIELDS, {0xFF0000, 0xFF00, 0xFF}},
                           {32, BI_ALPHABITFIELDS, {0x3FF00000, 0x000FFC00, 0x3FF, 0xC0000000}},
                           {32, BI_BITFIELDS, {0xFF000000, 0, 0x0000FFF0}}};

// With the vector routines and the baseline ones, so both are checked on any machine.
class StretchDibRoutines : public testing::TestWithParam<bool>
{
protected:
    void SetUp() override
    {
        dibraster::ChooseVectorRoutines(GetParam() ? dibraster::VectorChoice::Always
                                                   : dibraster::VectorChoice::Never);
    }
    void TearDown() override
    {
        dibraster::ChooseVectorRoutines(dibraster::VectorChoice::WhereFaster);
    }
};
INSTANTIATE_TEST_SUITE_P(VectorOrBaseline, StretchDibRoutines, testing::Bool());

// Rows long enough for every vector loop from each column phase, then random draws.
TEST_P(StretchDibRoutines, MatchesPerPixelReference)
{
    std::mt19937 rng(7);
    constexpr int kWidth = 70;
    for (const Format& f : kFormats) {
        TestDib d(kWidth, 2, f.bpp, f.compression);
        d.SetMasks(f.masks);
        d.bits.resize(DibRowStride(kWidth, f.bpp) * 2);
        for (BYTE& b : d.bits)
            b = static_cast<BYTE>(rng());
        for (size_t held : {d.bits.size(), d.bits.size() * 3 / 4 + 1}) {
            const std::vector<BYTE> block(d.bits.begin(), d.bits.begin() + held);
            for (int first : {0, 1, 2, 3}) {
                Canvas canvas(kWidth, 2);
                const DrawArgs a{0, 0, kWidth - first, 2, first, 0, kWidth - first, 2};
                ASSERT_EQ(canvas.Draw(d, block, {0, 0, kWidth, 2}, a), 2);
                ExpectMatchesReference(canvas, {0, 0, kWidth, 2}, a, [&](LONGLONG x, LONGLONG y) {
                    return ReferencePixel(d, held, x, y);
                });
            }
        }
    }

    rng.seed(20240611);
    auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    auto nonZero = [&](int limit) { return pick(1, limit) * (pick(0, 1) != 0 ? 1 : -1); };
    for (int iter = 0; iter < 3000; ++iter) {
        const Format& f = kFormats[pick(0, std::size(kFormats) - 1)];
        const int w = pick(1, 19);
        const int h = pick(1, 9);
        TestDib d(w, pick(0, 1) != 0 ? h : -h, f.bpp, f.compression);
        d.SetMasks(f.masks);
        d.bits.resize(DibRowStride(w, f.bpp) * h);
        for (BYTE& b : d.bits)
            b = static_cast<BYTE>(rng());
        const size_t held =
            pick(0, 3) == 0 ? pick(0, static_cast<int>(d.bits.size())) : d.bits.size();
        const std::vector<BYTE> block(d.bits.begin(), d.bits.begin() + held);
        const RECT clip{pick(0, 10), pick(0, 8), pick(10, 24), pick(8, 16)};
        DrawArgs a{pick(-8, 20),    pick(-8, 14),    nonZero(40),    nonZero(30),
                   pick(-4, w + 2), pick(-4, h + 2), nonZero(w + 6), nonZero(h + 6)};
        if (pick(0, 2) == 0) // scale 1 has routines of its own
            a.w = a.sw, a.h = a.sh;
        Canvas canvas(24, 16);
        ASSERT_EQ(canvas.Draw(d, block, clip, a), std::abs(a.sh));
        ExpectMatchesReference(
            canvas, clip, a, [&](LONGLONG x, LONGLONG y) { return ReferencePixel(d, held, x, y); });
        if (HasFailure())
            FAIL() << "iteration " << iter;
    }
}

// Near the limits of int: nothing wraps, nothing is sized by the destination.
TEST(StretchDibScaling, HugeSizesDoNotOverflow)
{
    struct Case
    {
        LONG width, height;
        WORD bpp;
        size_t held;
        DrawArgs args;
    };
    const Case cases[] = {
        {INT_MAX, 1, 1, 16, {0, 0, 40, 1, 0, 0, 40, 1}},
        {INT_MAX, 1, 1, 16, {0, 0, 8, 8, INT_MAX - 4, 0, 8, 1}},
        {1, INT_MAX, 32, 8, {0, 0, 8, 8, 0, INT_MAX - 2, 1, 2}},
        {1, INT_MAX, 32, 8, {0, 0, 8, 8, 0, 0, 1, INT_MAX}},
        {INT_MAX, -INT_MAX, 32, 64, {0, 0, 8, 8, 0, 0, 8, 8}},
        {INT_MAX, INT_MAX, 32, 64, {0, 0, 8, 8, INT_MAX - 8, INT_MAX - 8, 8, 8}},
        {2, -2, 8, 4, {0, 0, INT_MAX, INT_MAX, 0, 0, 2, 2}},
        {2, -2, 8, 4, {5, 5, INT_MIN, INT_MIN, 0, 0, 2, 2}},
        {2, -2, 8, 4, {4 - (1LL << 31), 3, INT_MAX, -INT_MAX, INT_MAX, 0, INT_MIN, 2}},
        {2, -2, 8, 4, {1LL << 40, 0, INT_MIN, 8, 0, 0, 2, 2}},
    };
    for (const Case& c : cases) {
        TestDib d(c.width, c.height, c.bpp);
        d.bits.resize(c.held);
        for (size_t i = 0; i < c.held; ++i)
            d.bits[i] = static_cast<BYTE>(i * 37 + 11);
        Canvas canvas(8, 8);
        const int lines = c.args.sh == INT_MIN ? INT_MAX : std::abs(c.args.sh);
        EXPECT_EQ(canvas.Draw(d, d.bits, {0, 0, 8, 8}, c.args), lines);
        ExpectMatchesReference(canvas, {0, 0, 8, 8}, c.args, [&](LONGLONG x, LONGLONG y) {
            return ReferencePixel(d, c.held, x, y);
        });
    }
}

// Formats it cannot draw: 0 and nothing drawn.
TEST(StretchDibResult, UndrawableDibsReturnZeroAndDrawNothing)
{
    struct Case
    {
        LONG width, height;
        WORD bpp;
        DWORD compression;
        std::vector<DWORD> masks;
    };
    const Case cases[] = {{0, 4, 8, BI_RGB, {}},
                          {4, 0, 8, BI_RGB, {}},
                          {4, INT_MIN, 8, BI_RGB, {}},
                          {4, 4, 2, BI_RGB, {}},
                          {4, 4, 8, 7, {}},
                          {4, 4, 4, BI_RLE8, {}},
                          {4, -4, 8, BI_RLE8, {}},
                          {4, 4, 24, BI_BITFIELDS, {}},
                          {4, 4, 16, BI_BITFIELDS, {0x7C00, 0x03E0, 0x0015}},
                          {4, 4, 32, BI_BITFIELDS, {0xFF0000, 0x1FF00, 0xFF}},
                          {4, 4, 32, BI_BITFIELDS, {0xFF0000, 0xFF80, 0xFF}}};
    for (const Case& c : cases) {
        SCOPED_TRACE(&c - cases);
        TestDib d(c.width, c.height, c.bpp, c.compression);
        d.SetMasks(c.masks);
        d.bits.assign(256, 0x11);
        Canvas canvas(4, 4);
        EXPECT_EQ(canvas.Draw(d, d.bits, {0, 0, 4, 4}, {0, 0, 4, 4, 0, 0, 4, 4}), 0);
        EXPECT_EQ(canvas.pixels, Canvas(4, 4).pixels);
    }
}

} // namespace
