// Loading a bitmap, against the floor of reading the same file with plain
// system calls: allocate the file's size, read it in one call. Both read
// from the page cache. A summary of each size's ratio follows the usual
// output.

#include "BenchSummary.h"
#include "Floor.h"
#include "dib/Dib.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <memory>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

constexpr double kTargetRatio = 1.15;
// Each figure is the median of this many runs: the machine is shared.
constexpr int kRepetitions = 5;
const int kMebibytes[] = {1, 4, 16, 64, 256};

// A 32-bit bitmap 1024 pixels wide whose pixel data is exactly `mib` MiB,
// written once per size and removed at exit.
const std::string& BitmapFile(int mib)
{
    static std::string path;
    static int written = 0;
    if (written == mib)
        return path;
    if (!path.empty())
        std::remove(path.c_str());
    path = std::string("/tmp/pixmora_bench_")
               .append(std::to_string(::getpid()))
               .append("_")
               .append(std::to_string(mib))
               .append(".bmp");
    constexpr size_t kStride = 4096;
    const size_t rows = static_cast<size_t>(mib) * 256;
    std::vector<unsigned char> header(54, 0);
    auto put32 = [&](size_t at, size_t v) {
        for (int i = 0; i < 4; ++i)
            header[at + i] = static_cast<unsigned char>(v >> (8 * i));
    };
    header[0] = 'B';
    header[1] = 'M';
    put32(2, 54 + kStride * rows);
    put32(10, 54);
    put32(14, 40);
    put32(18, kStride / 4);
    put32(22, rows);
    header[26] = 1;
    header[28] = 32;
    std::FILE* f = std::fopen(path.c_str(), "wb");
    std::fwrite(header.data(), 1, header.size(), f);
    std::vector<unsigned char> row(kStride);
    for (size_t y = 0; y < rows; ++y) {
        for (size_t x = 0; x < kStride; ++x)
            row[x] = static_cast<unsigned char>(x * 7 + y);
        std::fwrite(row.data(), 1, row.size(), f);
    }
    std::fclose(f);
    static bool registered = false;
    if (!registered)
        std::atexit([] { std::remove(path.c_str()); });
    registered = true;
    written = mib;
    return path;
}

void BM_DibRead(benchmark::State& state)
{
    const std::string& path = BitmapFile(static_cast<int>(state.range(0)));
    size_t bytes = 0;
    for (auto _ : state) {
        CFile file(path.c_str(), CFile::modeRead);
        auto dib = std::make_unique<CDib>();
        if (!dib->Read(&file))
            state.SkipWithError("read failed");
        bytes = dib->m_cbPixels;
        benchmark::DoNotOptimize(dib->m_pPixels[bytes / 2]);
    }
    state.SetBytesProcessed(static_cast<int64_t>(bytes) * state.iterations());
}

// The floor: open, size, allocate the file's size and read it in one call.
void BM_Floor(benchmark::State& state)
{
    const std::string& path = BitmapFile(static_cast<int>(state.range(0)));
    for (auto _ : state)
        if (!ReadWholeFile(path))
            state.SkipWithError("short read");
    state.SetBytesProcessed(static_cast<int64_t>(std::filesystem::file_size(path)) *
                            state.iterations());
}

} // namespace

int main(int argc, char** argv)
{
    // Each size's two runs are neighbours, so that its file is written once.
    for (int mib : kMebibytes) {
        benchmark::RegisterBenchmark("Floor", BM_Floor)
            ->Arg(mib)
            ->Unit(benchmark::kMillisecond)
            ->Repetitions(kRepetitions)
            ->DisplayAggregatesOnly(true);
        benchmark::RegisterBenchmark("DibRead", BM_DibRead)
            ->Arg(mib)
            ->Unit(benchmark::kMillisecond)
            ->Repetitions(kRepetitions)
            ->DisplayAggregatesOnly(true);
    }
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    BenchSummary summary;
    benchmark::RunSpecifiedBenchmarks(&summary);

    std::printf("\nCDib::Read against the floor (open, allocate the file's size, one read);\n"
                "the thread's processor time (user + system), median of %d runs\n",
                kRepetitions);
    std::printf("%-8s %12s %12s %7s %7s\n", "pixels", "floor ms", "read ms", "ratio", "target");
    for (int mib : kMebibytes) {
        const std::string size = std::to_string(mib);
        const double floor = summary.CpuTime(std::string("Floor/").append(size));
        const double read = summary.CpuTime(std::string("DibRead/").append(size));
        if (floor <= 0 || read <= 0)
            continue;
        const double ratio = read / floor;
        std::printf("%4d MiB %12.2f %12.2f %7.2f %7.2f %s\n", mib, floor, read, ratio, kTargetRatio,
                    ratio <= kTargetRatio ? "met" : "MISSED");
    }
    benchmark::Shutdown();
    return 0;
}
