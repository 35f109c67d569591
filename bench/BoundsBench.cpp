// Drawing a window of a picture that claims far more than it holds, against
// drawing the same window of a small honest picture of the same kind: the
// work follows the window, so the two should cost about the same.
//
//   rle8 claim:  100000 x 100000, 8-bit run-length, a stream of 1.5 KiB
//   rle8 small:  640 x 480, 8-bit run-length, every row encoded
//   rgb24 claim: 100000 x 100000, 24-bit, 1 KiB of pixels

#include "core/File.h"
#include "dib/Dib.h"
#include "gdi/Dc.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <memory>
#include <vector>

namespace {

constexpr int kWindowWidth = 1280;
constexpr int kWindowHeight = 720;

void Put16(std::vector<BYTE>& b, unsigned v)
{
    b.push_back(static_cast<BYTE>(v));
    b.push_back(static_cast<BYTE>(v >> 8));
}
void Put32(std::vector<BYTE>& b, unsigned v)
{
    Put16(b, v & 0xFFFF);
    Put16(b, v >> 16);
}

// File and info headers and a 256-entry grey table for an 8-bit picture,
// or no table for a 24-bit one.
std::vector<BYTE> Headers(int width, int height, WORD bitCount, DWORD compression)
{
    const unsigned table = bitCount == 8 ? 1024 : 0;
    std::vector<BYTE> b;
    Put16(b, 0x4D42);
    Put32(b, 0xFFFFFFFF); // the size field: claims everything
    Put32(b, 0);
    Put32(b, 14 + 40 + table);
    Put32(b, 40);
    Put32(b, static_cast<unsigned>(width));
    Put32(b, static_cast<unsigned>(height));
    Put16(b, 1);
    Put16(b, bitCount);
    Put32(b, compression);
    for (int i = 0; i < 5; ++i)
        Put32(b, 0);
    for (unsigned i = 0; i < table / 4; ++i)
        Put32(b, i * 0x010101u);
    return b;
}

// Rows of 255-pixel runs, each row ended; `rows` rows, then the end marker.
void RunRows(std::vector<BYTE>& b, int rows, int width)
{
    for (int y = 0; y < rows; ++y) {
        for (int x = 0; x < width; x += 255) {
            b.push_back(static_cast<BYTE>(std::min(255, width - x)));
            b.push_back(static_cast<BYTE>(x + y));
        }
        b.push_back(0);
        b.push_back(0);
    }
    b.push_back(0);
    b.push_back(1);
}

std::vector<BYTE> Rle8Claim()
{
    std::vector<BYTE> b = Headers(100000, 100000, 8, BI_RLE8);
    RunRows(b, 2, 100000); // 2 rows of 393 runs: about 1.5 KiB
    return b;
}

std::vector<BYTE> Rle8Small()
{
    std::vector<BYTE> b = Headers(640, 480, 8, BI_RLE8);
    RunRows(b, 480, 640);
    return b;
}

std::vector<BYTE> Rgb24Claim()
{
    std::vector<BYTE> b = Headers(100000, 100000, 24, BI_RGB);
    for (int i = 0; i < 1024; ++i)
        b.push_back(static_cast<BYTE>(i * 7));
    return b;
}

void DrawWindow(benchmark::State& state, std::vector<BYTE> (*make)(), double scale)
{
    const std::vector<BYTE> bytes = make();
    CMemFile file(bytes.data(), bytes.size());
    CDib dib;
    if (!dib.Read(&file)) {
        state.SkipWithError("the picture did not read");
        return;
    }
    CSurface surface(kWindowWidth, kWindowHeight);
    CSurfaceDC dc(&surface);
    // Scrolled to the bottom-left corner, where a bottom-up picture's data starts.
    const CSize drawn = dib.GetDrawnSize(scale);
    dc.SetViewportOrg(0, std::min(0, kWindowHeight - static_cast<int>(drawn.cy)));
    for (auto _ : state)
        benchmark::DoNotOptimize(dib.Draw(&dc, 0, 0, scale));
    state.counters["file_bytes"] = static_cast<double>(bytes.size());
    state.SetItemsProcessed(state.iterations() * kWindowWidth * kWindowHeight);
}

BENCHMARK_CAPTURE(DrawWindow, rle8_claim_x1, Rle8Claim, 1.0);
BENCHMARK_CAPTURE(DrawWindow, rle8_small_x1, Rle8Small, 1.0);
BENCHMARK_CAPTURE(DrawWindow, rle8_claim_x8, Rle8Claim, 8.0);
BENCHMARK_CAPTURE(DrawWindow, rle8_small_x8, Rle8Small, 8.0);
BENCHMARK_CAPTURE(DrawWindow, rle8_claim_x1_8, Rle8Claim, 0.125);
BENCHMARK_CAPTURE(DrawWindow, rgb24_claim_x1, Rgb24Claim, 1.0);

} // namespace
