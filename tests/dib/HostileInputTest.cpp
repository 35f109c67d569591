// Hostile input: files built to hurt, and every conformance image, read and drawn within bounds.
// Drawing the 100000 x 100000 claims whole would overrun the time limit: drawing follows the
// window.

#include "BmpBytes.h"
#include "BmpSuite.h"
#include "dib/Dib.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <climits>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#if defined(__SANITIZE_ADDRESS__)
#define PIXMORA_COUNTS_ALLOCATIONS 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define PIXMORA_COUNTS_ALLOCATIONS 1
#endif
#endif

#ifdef PIXMORA_COUNTS_ALLOCATIONS
// GCC ships the sanitizer runtime without this header.
extern "C" int
__sanitizer_install_malloc_and_free_hooks(void (*mallocHook)(const volatile void* ptr, size_t size),
                                          void (*freeHook)(const volatile void* ptr));
constexpr bool kCountsAllocations = true;
#else
constexpr bool kCountsAllocations = false;
#endif

namespace {

// Bytes requested while a Counting object lives, frees ignored: an upper bound of the peak.
std::atomic<bool> g_counting{false};
std::atomic<size_t> g_allocated{0};

struct Counting
{
    Counting()
    {
#ifdef PIXMORA_COUNTS_ALLOCATIONS
        static const bool installed = __sanitizer_install_malloc_and_free_hooks(
            [](const volatile void*, size_t size) {
                if (g_counting.load(std::memory_order_relaxed))
                    g_allocated.fetch_add(size, std::memory_order_relaxed);
            },
            [](const volatile void*) {});
        (void)installed;
#endif
        g_allocated = 0;
        g_counting = true;
    }
    ~Counting()
    {
        g_counting = false;
    }
    size_t Bytes() const
    {
        return g_allocated;
    }
};

// The info block, with room to spare for the odd small object.
constexpr size_t kReadOverhead = sizeof(BITMAPINFO) + 1024;
// Column maps, a row of converted pixels, a bit-field picture's channel tables (3 x 64 KiB).
constexpr size_t kDrawAllowance = 1024 * 1024;
constexpr int kWindowWidth = 320;
constexpr int kWindowHeight = 240;

struct Hostile
{
    std::string name;
    std::vector<BYTE> bytes;
    friend void PrintTo(const Hostile& h, std::ostream* os) { *os << h.name; }
};

// A run-length stream about `bytes` long: rows of runs and literals, each followed by a jump.
std::vector<BYTE> RunStream(size_t bytes)
{
    std::vector<BYTE> s;
    BYTE colour = 1;
    while (s.size() + 12 < bytes) {
        for (int run = 0; run < 6 && s.size() + 12 < bytes; ++run) {
            s.insert(s.end(), {255, colour++});              // a run of 255
            s.insert(s.end(), {0, 4, colour, 2, colour, 3}); // 4 literal pixels
        }
        s.insert(s.end(), {0, 0, 0, 2, 200, 3}); // end of line, jump right and up
    }
    s.insert(s.end(), {0, 1}); // end of bitmap
    return s;
}

BmpBytes Picture(LONG width, LONG height, WORD bitCount, DWORD compression, DWORD clrUsed,
                 DWORD fileSize, DWORD pixelOffset)
{
    BmpBytes b;
    b.FileHeader(fileSize, pixelOffset).InfoHeader(width, height, bitCount, compression, clrUsed);
    return b;
}

std::vector<BYTE> Then(BmpBytes b, size_t count)
{
    return b.Ramp(count, 7).Vector();
}
std::vector<BYTE> ThenRuns(BmpBytes b, size_t table, size_t stream)
{
    std::vector<BYTE> out = b.Ramp(table).Vector();
    const std::vector<BYTE> runs = RunStream(stream);
    out.insert(out.end(), runs.begin(), runs.end());
    return out;
}

constexpr LONG kHuge = 100000;
constexpr DWORD kAll = 0xFFFFFFFF;
constexpr DWORD kTable8 = 14 + 40 + 1024; // pixels after a full 8-bit table

// Fields no sound writer produces, and 100000 x 100000 claims over about 1 KiB.
std::vector<Hostile> Made()
{
    return {
        {"core_header_cut_in_its_colour_table",
         BmpBytes().FileHeader(0, 0).CoreHeader(65535, 65535, 8).Ramp(100).Vector()},
        {"pixel_offset_inside_the_header", Then(Picture(16, 16, 8, BI_RGB, 0, kAll, 2), 1324)},
        {"colours_used_past_the_table_of_a_4_bit_picture",
         Then(Picture(16, 16, 4, BI_RGB, 300, 0, 54 + 64), 576)},
        {"bit_count_zero", Then(Picture(16, 16, 0, BI_RGB, 0, 0, 54), 320)},
        {"zero_height", Then(Picture(16, 0, 8, BI_RGB, 0, 0, kTable8), 1280)},
        {"rle8_on_a_24_bit_picture", ThenRuns(Picture(64, 64, 24, BI_RLE8, 0, 0, 54), 0, 256)},
        {"rle_stream_without_end", BmpBytes(Picture(64, 64, 8, BI_RLE8, 0, 0, kTable8))
                                       .Ramp(1024)
                                       .Bytes({0, 2, 255, 255, 0, 2, 255, 255, 5, 9, 0, 200})
                                       .Vector()},
        {"unknown_compression", Then(Picture(16, 16, 8, 77, 0, 0, kTable8), 1040)},
        {"bit_fields_all_ones_masks",
         BmpBytes(Picture(16, 16, 32, BI_BITFIELDS, 0, 0, 66)).Fill(12, 0xFF).Ramp(1024).Vector()},
        {"bit_fields_overlapping_masks",
         Then(Picture(16, 16, 16, BI_BITFIELDS, 0, 0, 66).U32(0xFFF0).U32(0x0FFF).U32(0x000F),
              600)},
        {"bit_fields_zero_masks",
         Then(Picture(16, 16, 16, BI_BITFIELDS, 0, 0, 66).Fill(12, 0), 600)},
        {"bit_fields_masks_cut_off",
         Picture(16, 16, 32, BI_BITFIELDS, 0, 0, 66).U32(0xFF0000).Vector()},
        {"os2_header_of_64_bytes_with_huge_dimensions",
         Then(BmpBytes().FileHeader(0, 78).InfoHeader(kHuge, kHuge, 24, 0, 0, 64).Fill(24, 0xEE),
              700)},
        {"rle8_claims_100000_squared",
         ThenRuns(Picture(kHuge, kHuge, 8, BI_RLE8, 0, kAll, kTable8), 1024, 1024)},
        {"rle4_claims_100000_squared",
         ThenRuns(Picture(kHuge, kHuge, 4, BI_RLE4, 0, kAll, 118), 64, 1024)},
        {"rgb8_top_down_claims_100000_squared",
         Then(Picture(kHuge, -kHuge, 8, BI_RGB, 0, 0, kTable8), 2048)},
        {"rgb32_int_max_by_int_min",
         Then(Picture(INT_MAX, INT_MIN, 32, BI_RGB, 0, kAll, 54), 1024)},
    };
}

// Reads from a block of exactly the bytes' size (the sanitizer stops reads past it).
BOOL ReadCounted(const std::vector<BYTE>& bytes, CDib& dib)
{
    const std::unique_ptr<BYTE[]> exact(new BYTE[bytes.size()]);
    if (!bytes.empty())
        std::memcpy(exact.get(), bytes.data(), bytes.size());
    CMemFile file(exact.get(), bytes.size());
    BOOL loaded = FALSE;
    {
        Counting counting;
        try {
            loaded = dib.Read(&file);
        } catch (const CFileException&) {
        }
        if (kCountsAllocations) {
            EXPECT_LE(counting.Bytes(), bytes.size() + kReadOverhead);
        }
    }
    if (loaded) {
        EXPECT_LE(dib.m_cbPixels, bytes.size());
    }
    return loaded;
}

// Draws as the view does at every zoom, scrolled to both ends and the middle of each axis.
void DrawEveryWindow(CDib& dib)
{
    CSurface surface(kWindowWidth, kWindowHeight);
    CSurfaceDC dc(&surface);
    for (int zoom = -3; zoom <= 3; ++zoom) {
        const double scale = zoom < 0 ? 1.0 / (1 << -zoom) : double(1 << zoom);
        const CSize drawn = dib.GetDrawnSize(scale);
        for (const LONGLONG fx : {0, 1, 2}) {
            for (const LONGLONG fy : {0, 1, 2}) {
                const LONGLONG x = std::max<LONGLONG>(0, (drawn.cx - kWindowWidth) * fx / 2);
                const LONGLONG y = std::max<LONGLONG>(0, (drawn.cy - kWindowHeight) * fy / 2);
                SCOPED_TRACE(testing::Message() << "scale " << scale << " at " << x << ", " << y);
                dc.SetViewportOrg(-static_cast<int>(std::min<LONGLONG>(x, INT_MAX)),
                                  -static_cast<int>(std::min<LONGLONG>(y, INT_MAX)));
                Counting counting;
                dib.Draw(&dc, 0, 0, scale);
                if (kCountsAllocations) {
                    EXPECT_LE(counting.Bytes(), kDrawAllowance);
                }
            }
        }
    }
}

void Gauntlet(const std::vector<BYTE>& bytes)
{
    CDib dib;
    if (ReadCounted(bytes, dib)) {
        DrawEveryWindow(dib);
    } else { // a refused file leaves the bitmap as it was
        EXPECT_EQ(dib.m_pInfo->bmiHeader.biWidth, 16);
        EXPECT_EQ(dib.m_cbPixels, 256u);
    }
}

using HostileFile = testing::TestWithParam<Hostile>;

TEST_P(HostileFile, ReadsBoundedAndDrawsEveryWindowWithinItsBytes)
{
    Gauntlet(GetParam().bytes);
}

INSTANTIATE_TEST_SUITE_P(Made, HostileFile, testing::ValuesIn(Made()),
                         [](const auto& info) { return info.param.name; });

using ConformanceFile = testing::TestWithParam<BmpSuiteEntry>;

// Every image, broken ones included.
TEST_P(ConformanceFile, ReadsBoundedAndDrawsEveryWindowWithinItsBytes)
{
    const std::vector<BYTE> bytes = ReadWholeFile(BmpSuitePath(GetParam().file));
    ASSERT_FALSE(bytes.empty()) << GetParam().file;
    Gauntlet(bytes);
}

INSTANTIATE_TEST_SUITE_P(Manifest, ConformanceFile, testing::ValuesIn(LoadBmpSuiteManifest()),
                         [](const auto& info) { return BmpSuiteTestName(info.param.file); });

// Without working counting every bound above would hold.
TEST(HostileBytes, CountingSeesAllocations)
{
    if (!kCountsAllocations)
        GTEST_SKIP() << "no allocator hooks in this build";
    Counting counting;
    std::vector<BYTE> block(100000);
    EXPECT_GE(counting.Bytes(), 100000u);
}

} // namespace
