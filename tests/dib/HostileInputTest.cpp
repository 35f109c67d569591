// Files built to hurt: headers that claim far more than the file holds,
// truncated headers, impossible fields, and every conformance image. Each is
// read from a heap block of exactly its size, so that AddressSanitizer stops
// any read past the bytes given; what reads is drawn into a window-sized
// surface at every zoom and scroll position and its palette grid is drawn.
// What the reader and the drawing call allocate is counted.
//
// This program runs under a CTest time limit: drawing work must follow the
// window, not the picture's claimed size, and drawing the 100000 x 100000
// claims below over their whole claimed extent would not finish within it.

#include "BmpBytes.h"
#include "BmpSuite.h"
#include "dib/Dib.h"
#include "dib/DibPalette.h"

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
// The sanitizer runtime's allocator hooks; GCC ships the runtime without its
// header, so the one declaration needed is here.
extern "C" int
__sanitizer_install_malloc_and_free_hooks(void (*mallocHook)(const volatile void* ptr, size_t size),
                                          void (*freeHook)(const volatile void* ptr));
#endif

namespace {

// ---- Counting allocations ---------------------------------------------------

// Bytes requested from the heap while a Counting object lives, frees ignored:
// the total is an upper bound of the peak.
std::atomic<bool> g_counting{false};
std::atomic<size_t> g_allocated{0};

#ifdef PIXMORA_COUNTS_ALLOCATIONS
void CountMalloc(const volatile void*, size_t size)
{
    if (g_counting.load(std::memory_order_relaxed))
        g_allocated.fetch_add(size, std::memory_order_relaxed);
}
void IgnoreFree(const volatile void*) {}
#endif

class Counting
{
public:
    Counting()
    {
#ifdef PIXMORA_COUNTS_ALLOCATIONS
        static const bool installed =
            __sanitizer_install_malloc_and_free_hooks(CountMalloc, IgnoreFree) != 0;
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

bool CanCountAllocations()
{
#ifdef PIXMORA_COUNTS_ALLOCATIONS
    return true;
#else
    return false;
#endif
}

// The info block, with room to spare for the odd small object.
constexpr size_t kReadOverhead = sizeof(BITMAPINFO) + 1024;
// Drawing a window's worth: column maps, a row of converted pixels, the
// widest channel tables of a bit-field picture (3 x 64 KiB).
constexpr size_t kDrawAllowance = 1024 * 1024;

constexpr int kWindowWidth = 320;
constexpr int kWindowHeight = 240;

// ---- The bytes under test ---------------------------------------------------

// A copy in a block of exactly the file's size: one byte more read is a fault.
class ExactBytes
{
public:
    explicit ExactBytes(const std::vector<BYTE>& bytes)
        : m_size(bytes.size()), m_block(new BYTE[bytes.size()])
    {
        if (m_size)
            std::memcpy(m_block.get(), bytes.data(), m_size);
    }
    const BYTE* Data() const { return m_block.get(); }
    size_t Size() const { return m_size; }

private:
    size_t m_size;
    std::unique_ptr<BYTE[]> m_block;
};

struct Hostile
{
    std::string name;
    std::vector<BYTE> bytes;
    friend void PrintTo(const Hostile& h, std::ostream* os) { *os << h.name; }
};

// A run-length stream about `bytes` long: rows of long runs and short literal
// stretches, each row followed by a jump right and up, then the end marker.
std::vector<BYTE> RunStream(size_t bytes)
{
    std::vector<BYTE> s;
    BYTE colour = 1;
    while (s.size() + 12 < bytes) {
        for (int run = 0; run < 6 && s.size() + 12 < bytes; ++run) {
            s.insert(s.end(), {255, colour++});              // a run of 255
            s.insert(s.end(), {0, 4, colour, 2, colour, 3}); // 4 literal pixels
        }
        s.insert(s.end(), {0, 0});         // end of line
        s.insert(s.end(), {0, 2, 200, 3}); // jump right and up
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

std::vector<BYTE> WithPalette(BmpBytes b, int entries)
{
    b.Ramp(static_cast<size_t>(entries) * 4, 7);
    return b.Vector();
}

std::vector<BYTE> Append(BmpBytes b, const std::vector<BYTE>& tail)
{
    std::vector<BYTE> out = b.Vector();
    out.insert(out.end(), tail.begin(), tail.end());
    return out;
}

constexpr LONG kHuge = 100000;
constexpr DWORD kAll = 0xFFFFFFFF;

// Pictures whose headers claim 100000 x 100000 pixels over about 1 KiB.
std::vector<Hostile> HugeClaims()
{
    const DWORD offset = 14 + 40 + 1024;
    return {
        {"rle8_claims_100000_squared",
         Append(BmpBytes(Picture(kHuge, kHuge, 8, BI_RLE8, 0, kAll, offset)).Ramp(1024),
                RunStream(1024))},
        {"rle4_claims_100000_squared",
         Append(BmpBytes(Picture(kHuge, kHuge, 4, BI_RLE4, 0, kAll, 14 + 40 + 64)).Ramp(64),
                RunStream(1024))},
        {"rgb24_claims_100000_squared",
         BmpBytes(Picture(kHuge, kHuge, 24, BI_RGB, 0, kAll, 54)).Ramp(1024).Vector()},
        {"rgb8_top_down_claims_100000_squared",
         BmpBytes(Picture(kHuge, -kHuge, 8, BI_RGB, 0, 0, offset)).Ramp(1024).Ramp(1024).Vector()},
        {"rgb32_int_max_by_int_min",
         BmpBytes(Picture(INT_MAX, INT_MIN, 32, BI_RGB, 0, kAll, 54)).Ramp(1024).Vector()},
    };
}

// Headers and fields that no sound writer produces.
std::vector<Hostile> BrokenHeaders()
{
    std::vector<Hostile> cases = {
        {"empty", {}},
        {"magic_only", {'B', 'M'}},
        {"file_header_only", BmpBytes().FileHeader(kAll, 54).Vector()},
        {"header_size_all_ones", BmpBytes().FileHeader(100, 54).U32(kAll).Fill(80, 1).Vector()},
        {"header_size_zero", BmpBytes().FileHeader(100, 54).U32(0).Fill(80, 1).Vector()},
        {"v5_header_cut_after_12_bytes",
         BmpBytes().FileHeader(kAll, 138).U32(124).U32(64).U32(64).Vector()},
        {"core_header_cut_in_its_colour_table",
         BmpBytes().FileHeader(0, 0).CoreHeader(65535, 65535, 8).Ramp(100).Vector()},
        {"pixel_offset_past_the_end",
         BmpBytes(Picture(64, 64, 8, BI_RGB, 0, 0, kAll)).Ramp(1024 + 300).Vector()},
        {"pixel_offset_inside_the_header",
         BmpBytes(Picture(16, 16, 8, BI_RGB, 0, kAll, 2)).Ramp(1024 + 300).Vector()},
        {"file_size_below_pixel_offset",
         BmpBytes(Picture(16, 16, 8, BI_RGB, 0, 10, 1078)).Ramp(1024 + 300).Vector()},
        {"colours_used_all_ones", WithPalette(Picture(16, 16, 8, BI_RGB, kAll, 0, 1078), 256 + 64)},
        {"colours_used_past_the_table_of_a_4_bit_picture",
         WithPalette(Picture(16, 16, 4, BI_RGB, 300, 0, 54 + 64), 16 + 128)},
        {"bit_count_all_ones", WithPalette(Picture(16, 16, 0xFFFF, BI_RGB, 0, 0, 54), 80)},
        {"bit_count_zero", WithPalette(Picture(16, 16, 0, BI_RGB, 0, 0, 54), 80)},
        {"negative_width", WithPalette(Picture(-16, 16, 8, BI_RGB, 0, 0, 1078), 256 + 64)},
        {"zero_height", WithPalette(Picture(16, 0, 8, BI_RGB, 0, 0, 1078), 256 + 64)},
        {"rle8_top_down",
         Append(Picture(64, -64, 8, BI_RLE8, 0, 0, 1078).Ramp(1024), RunStream(256))},
        {"rle8_on_a_24_bit_picture",
         Append(Picture(64, 64, 24, BI_RLE8, 0, 0, 54), RunStream(256))},
        {"rle_stream_without_end", BmpBytes(Picture(64, 64, 8, BI_RLE8, 0, 0, 1078))
                                       .Ramp(1024)
                                       .Bytes({0, 2, 255, 255, 0, 2, 255, 255, 5, 9, 0, 200})
                                       .Vector()},
        {"jpeg_compression", WithPalette(Picture(16, 16, 24, 4, 0, 0, 54), 40)},
        {"unknown_compression", WithPalette(Picture(16, 16, 8, 77, 0, 0, 1078), 260)},
        {"bit_fields_all_ones_masks",
         BmpBytes(Picture(16, 16, 32, BI_BITFIELDS, 0, 0, 66)).Fill(12, 0xFF).Ramp(1024).Vector()},
        {"bit_fields_overlapping_masks", BmpBytes(Picture(16, 16, 16, BI_BITFIELDS, 0, 0, 66))
                                             .U32(0xFFF0)
                                             .U32(0x0FFF)
                                             .U32(0x000F)
                                             .Ramp(600)
                                             .Vector()},
        {"bit_fields_zero_masks",
         BmpBytes(Picture(16, 16, 16, BI_BITFIELDS, 0, 0, 66)).Fill(12, 0).Ramp(600).Vector()},
        {"bit_fields_masks_cut_off",
         BmpBytes(Picture(16, 16, 32, BI_BITFIELDS, 0, 0, 66)).U32(0xFF0000).Vector()},
        {"os2_header_of_64_bytes_with_huge_dimensions", BmpBytes()
                                                            .FileHeader(0, 14 + 64)
                                                            .InfoHeader(kHuge, kHuge, 24, 0, 0, 64)
                                                            .Fill(24, 0xEE)
                                                            .Ramp(700)
                                                            .Vector()},
    };
    for (Hostile& h : HugeClaims())
        cases.push_back(std::move(h));
    return cases;
}

// ---- What every case goes through -------------------------------------------

// Reads the bytes; FALSE when they are refused. Checks the allocation bound.
BOOL ReadCounted(const ExactBytes& bytes, CDib& dib)
{
    CMemFile file(bytes.Data(), bytes.Size());
    BOOL loaded = FALSE;
    size_t allocated = 0;
    {
        Counting counting;
        try {
            loaded = dib.Read(&file);
        } catch (const CFileException&) {
            loaded = FALSE;
        }
        allocated = counting.Bytes();
    }
    if (CanCountAllocations()) {
        EXPECT_LE(allocated, bytes.Size() + kReadOverhead);
    }
    if (loaded) {
        EXPECT_LE(dib.m_cbPixels, bytes.Size());
    }
    return loaded;
}

// Scroll positions across the picture as drawn at `scale`: both ends and the
// middle of each axis.
std::vector<CPoint> ScrollPositions(const CDib& dib, double scale)
{
    const CSize drawn = dib.GetDrawnSize(scale);
    std::vector<CPoint> positions;
    for (const LONGLONG fx : {0, 1, 2})
        for (const LONGLONG fy : {0, 1, 2}) {
            const LONGLONG x = std::max<LONGLONG>(0, (drawn.cx - kWindowWidth) * fx / 2);
            const LONGLONG y = std::max<LONGLONG>(0, (drawn.cy - kWindowHeight) * fy / 2);
            positions.emplace_back(static_cast<int>(std::min<LONGLONG>(x, INT_MAX)),
                                   static_cast<int>(std::min<LONGLONG>(y, INT_MAX)));
        }
    return positions;
}

// Draws as the view does at every zoom factor and scroll position.
void DrawEveryWindow(CDib& dib)
{
    CSurface surface(kWindowWidth, kWindowHeight);
    CSurfaceDC dc(&surface);
    for (int zoom = -3; zoom <= 3; ++zoom) {
        const double scale = zoom < 0 ? 1.0 / (1 << -zoom) : double(1 << zoom);
        for (const CPoint& scroll : ScrollPositions(dib, scale)) {
            SCOPED_TRACE(testing::Message()
                         << "scale " << scale << " at " << scroll.x << ", " << scroll.y);
            dc.SetViewportOrg(-scroll.x, -scroll.y);
            Counting counting;
            dib.Draw(&dc, 0, 0, scale);
            if (CanCountAllocations()) {
                EXPECT_LE(counting.Bytes(), kDrawAllowance);
            }
        }
    }
}

void DrawPaletteGrid(CDib& dib)
{
    CDibPalette palette;
    if (!palette.Create(&dib))
        return;
    EXPECT_GE(palette.GetNumEntries(), 1);
    EXPECT_LE(palette.GetNumEntries(), kDibColorEntries);
    CSurface surface(200, 200);
    CSurfaceDC dc(&surface);
    const CRect area(0, 0, 200, 200);
    palette.DrawGrid(&dc, &area, FALSE);
}

void Gauntlet(const std::vector<BYTE>& bytes)
{
    const ExactBytes exact(bytes);
    CDib dib;
    if (!ReadCounted(exact, dib)) {
        // A refused file leaves the bitmap as it was.
        EXPECT_EQ(dib.m_pInfo->bmiHeader.biWidth, 16);
        EXPECT_EQ(dib.m_cbPixels, 256u);
        return;
    }
    DrawEveryWindow(dib);
    DrawPaletteGrid(dib);
}

class HostileFile : public testing::TestWithParam<Hostile>
{
};

TEST_P(HostileFile, ReadsBoundedAndDrawsEveryWindowWithinItsBytes)
{
    Gauntlet(GetParam().bytes);
}

INSTANTIATE_TEST_SUITE_P(Made, HostileFile, testing::ValuesIn(BrokenHeaders()),
                         [](const auto& info) { return info.param.name; });

class ConformanceFile : public testing::TestWithParam<BmpSuiteEntry>
{
};

TEST_P(ConformanceFile, ReadsBoundedAndDrawsEveryWindowWithinItsBytes)
{
    const std::vector<BYTE> bytes = ReadWholeFile(BmpSuitePath(GetParam().file));
    ASSERT_FALSE(bytes.empty()) << GetParam().file;
    Gauntlet(bytes);
}

INSTANTIATE_TEST_SUITE_P(Manifest, ConformanceFile, testing::ValuesIn(LoadBmpSuiteManifest()),
                         [](const auto& info) { return BmpSuiteTestName(info.param.file); });

// Every truncation of a real file: a file cut anywhere, mid-header included.
TEST(HostileBytes, EveryPrefixOfAFileReadsWithinItsBytes)
{
    const std::vector<BYTE> whole =
        WithPalette(Picture(8, 8, 8, BI_RGB, 0, 54 + 1024 + 64, 54 + 1024), 256 + 16);
    for (size_t n = 0; n <= whole.size(); n += (n < 80 ? 1 : 37)) {
        SCOPED_TRACE(testing::Message() << n << " bytes");
        const ExactBytes exact(std::vector<BYTE>(whole.begin(), whole.begin() + n));
        CDib dib;
        if (ReadCounted(exact, dib))
            dib.Draw(nullptr, 0, 0); // no context: nothing to draw, nothing read
    }
}

TEST(HostileBytes, AllocationsAreCounted)
{
    if (!CanCountAllocations())
        GTEST_SKIP() << "allocation counts need AddressSanitizer's allocator";
    Counting counting;
    std::vector<BYTE> block(100000);
    EXPECT_GE(counting.Bytes(), 100000u);
}

} // namespace
