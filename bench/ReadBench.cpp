// Loading a large bitmap, against the floor of reading the same bytes with
// plain system calls. Both read from the page cache after the first pass.

#include "dib/Dib.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <memory>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

// A 24-bit bitmap file of the given size, written once per size.
const std::string& BitmapFile(int side)
{
    static std::string path;
    static int written = 0;
    if (written == side)
        return path;
    path = "/tmp/pixmora_bench_" + std::to_string(::getpid()) + "_" + std::to_string(side) + ".bmp";
    const size_t stride = (static_cast<size_t>(side) * 3 + 3) / 4 * 4;
    const size_t pixels = stride * static_cast<size_t>(side);
    std::vector<unsigned char> header(54, 0);
    auto put32 = [&](size_t at, size_t v) {
        for (int i = 0; i < 4; ++i)
            header[at + i] = static_cast<unsigned char>(v >> (8 * i));
    };
    header[0] = 'B';
    header[1] = 'M';
    put32(2, 54 + pixels);
    put32(10, 54);
    put32(14, 40);
    put32(18, side);
    put32(22, side);
    header[26] = 1;
    header[28] = 24;
    std::FILE* f = std::fopen(path.c_str(), "wb");
    std::fwrite(header.data(), 1, header.size(), f);
    std::vector<unsigned char> row(stride);
    for (int y = 0; y < side; ++y) {
        for (size_t x = 0; x < stride; ++x)
            row[x] = static_cast<unsigned char>(x * 7 + y);
        std::fwrite(row.data(), 1, row.size(), f);
    }
    std::fclose(f);
    std::atexit([] { std::remove(path.c_str()); });
    written = side;
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

// The floor: open, size, allocate and read the whole file in one call.
void BM_PlainRead(benchmark::State& state)
{
    const std::string& path = BitmapFile(static_cast<int>(state.range(0)));
    size_t bytes = 0;
    for (auto _ : state) {
        const int fd = ::open(path.c_str(), O_RDONLY);
        bytes = static_cast<size_t>(::lseek(fd, 0, SEEK_END));
        auto* buffer = static_cast<unsigned char*>(std::malloc(bytes));
        size_t done = 0;
        while (done < bytes) {
            const ssize_t got = ::pread(fd, buffer + done, bytes - done, static_cast<off_t>(done));
            if (got <= 0)
                break;
            done += static_cast<size_t>(got);
        }
        benchmark::DoNotOptimize(buffer[bytes / 2]);
        std::free(buffer);
        ::close(fd);
    }
    state.SetBytesProcessed(static_cast<int64_t>(bytes) * state.iterations());
}

} // namespace

BENCHMARK(BM_DibRead)->Arg(1000)->Arg(8000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PlainRead)->Arg(1000)->Arg(8000)->Unit(benchmark::kMillisecond);
