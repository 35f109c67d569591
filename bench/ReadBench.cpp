// Where a pixel block should come from: a copy on the heap (allocate, one
// read) or a view of the file's pages (CFile::MapView). Each run takes the
// block and touches every page of it, as drawing the whole picture does; the
// first frame of a large picture touches far fewer pages, which only favours
// the view further. CDib::Read takes a view from kDibViewBytes on: at every
// size, the way it takes should be the cheaper one.
//
// In one process with a warm heap, as here, the copy is at its cheapest: a
// fresh process also pays for faulting in the new heap block.

#include "BenchSummary.h"
#include "Pictures.h"
#include "dib/Dib.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

namespace {

// Within this of the other way counts as the cheaper: runs differ this much.
constexpr double kNoise = 1.15;
// Each figure is the median of this many runs: the machine is shared.
constexpr int kRepetitions = 5;
constexpr size_t kPage = 4096;
constexpr size_t kHeaderBytes = 54;
const size_t kKibibytes[] = {16, 64, 128, 256, 1024, 4096, 16384, 65536};

// A 32-bit bitmap 1024 pixels wide (no colour table, so its pixels start at
// byte kHeaderBytes) whose pixel data is exactly `kib` KiB, written once per
// size into the benchmark's picture folder.
const std::string& BitmapFile(size_t kib)
{
    static std::string path;
    static size_t written = 0;
    if (written == kib)
        return path;
    if (!path.empty())
        std::remove(path.c_str());
    path = PictureDir() + "/" + std::to_string(kib) + ".bmp";
    const PictureKind kind{"", 1024, static_cast<int>(kib / 4), 32, BI_RGB};
    if (!WritePictureFile(kind, path)) {
        std::fprintf(stderr, "cannot write %s\n", path.c_str());
        std::exit(1);
    }
    written = kib;
    return path;
}

unsigned TouchEveryPage(const BYTE* block, size_t bytes)
{
    unsigned sum = 0;
    for (size_t i = 0; i < bytes; i += kPage)
        sum += block[i];
    return sum;
}

void Copy(benchmark::State& state)
{
    const size_t bytes = static_cast<size_t>(state.range(0)) << 10;
    const std::string& path = BitmapFile(static_cast<size_t>(state.range(0)));
    for (auto _ : state) {
        CFile file(path.c_str(), CFile::modeRead);
        auto* block = static_cast<BYTE*>(std::malloc(bytes));
        file.Seek(kHeaderBytes, CFile::begin);
        if (file.Read(block, static_cast<UINT>(bytes)) != bytes)
            state.SkipWithError("short read");
        benchmark::DoNotOptimize(TouchEveryPage(block, bytes));
        std::free(block);
    }
}

void View(benchmark::State& state)
{
    const size_t bytes = static_cast<size_t>(state.range(0)) << 10;
    const std::string& path = BitmapFile(static_cast<size_t>(state.range(0)));
    for (auto _ : state) {
        CFile file(path.c_str(), CFile::modeRead);
        const std::unique_ptr<CFileView> view = file.MapView(kHeaderBytes, bytes);
        if (!view) {
            state.SkipWithError("cannot map");
            break;
        }
        benchmark::DoNotOptimize(TouchEveryPage(view->GetData(), bytes));
    }
}

void DibRead(benchmark::State& state)
{
    const std::string& path = BitmapFile(static_cast<size_t>(state.range(0)));
    for (auto _ : state) {
        CFile file(path.c_str(), CFile::modeRead);
        auto dib = std::make_unique<CDib>();
        if (!dib->Read(&file))
            state.SkipWithError("read failed");
        benchmark::DoNotOptimize(TouchEveryPage(dib->m_pPixels, dib->m_cbPixels));
    }
}

} // namespace

int main(int argc, char** argv)
{
    // Each size's runs are neighbours, so that its file is written once.
    for (size_t kib : kKibibytes)
        for (auto [name, fn] : {std::pair{"Copy", &Copy}, {"View", &View}, {"DibRead", &DibRead}})
            benchmark::RegisterBenchmark(name, fn)
                ->Arg(static_cast<int64_t>(kib))
                ->Unit(benchmark::kMicrosecond)
                ->Repetitions(kRepetitions)
                ->DisplayAggregatesOnly(true);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    BenchSummary summary;
    benchmark::RunSpecifiedBenchmarks(&summary);

    std::printf("\nA pixel block copied to the heap or viewed in the file, every page touched;\n"
                "the thread's processor time (user + system) in microseconds, median of %d "
                "runs.\nCDib::Read views from %zu KiB on; target: the way it takes is the cheaper "
                "one\n(within %.2fx). Its own figure adds the header and colour table.\n",
                kRepetitions, kDibViewBytes >> 10, kNoise);
    std::printf("%10s %10s %10s %10s %10s %6s\n", "pixels", "copy", "view", "copy/view",
                "CDib::Read", "takes");
    for (size_t kib : kKibibytes) {
        const auto time = [&](const char* name) {
            return summary.CpuTime(std::string(name).append("/").append(std::to_string(kib))) * 1e3;
        };
        const double copy = time("Copy");
        const double view = time("View");
        const double read = time("DibRead");
        if (copy <= 0 || view <= 0 || read <= 0)
            continue;
        const bool viewed = (kib << 10) >= kDibViewBytes;
        const bool cheaper = viewed ? view <= copy * kNoise : copy <= view * kNoise;
        std::printf("%6zu KiB %10.1f %10.1f %10.2f %10.1f %6s %s\n", kib, copy, view, copy / view,
                    read, viewed ? "view" : "copy", cheaper ? "met" : "MISSED");
    }
    benchmark::Shutdown();
    return 0;
}
