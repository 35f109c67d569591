// Drawing the visible window of large pictures with StretchDIBits, against Qt
// drawing an already decoded 32-bit copy of the same picture with QPainter,
// nearest neighbour, into a target of the same size. A summary of our
// throughput against Qt's follows the usual output.

#include "Pictures.h"
#include "gdi/Gdi.h"

#include <QImage>
#include <QPainter>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <memory>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

constexpr int kSide = 8000;
constexpr int kViewWidth = 1920;
constexpr int kViewHeight = 1080;

struct Kind
{
    const char* name;
    WORD bitCount;
    DWORD compression;
    double minRatio; // the throughput we aim for, as a share of Qt's
};

const Kind kKinds[] = {
    {"1-bit", 1, BI_RGB, 0.7},   {"4-bit", 4, BI_RGB, 0.7},   {"8-bit", 8, BI_RGB, 1.0},
    {"16-bit", 16, BI_RGB, 0.7}, {"24-bit", 24, BI_RGB, 1.0}, {"32-bit", 32, BI_RGB, 1.0},
    {"RLE8", 8, BI_RLE8, 0.7},
};

struct Scale
{
    const char* name;
    int num;
    int den;
};

const Scale kScales[] = {{"1/8", 1, 8}, {"1", 1, 1}, {"8", 8, 1}};

struct Picture
{
    int side = 0;
    const Kind* kind = nullptr;
    BITMAPINFO info{};
    std::vector<BYTE> bits;
    std::unique_ptr<CSurface> decoded; // Qt's copy, drawn 1:1 by us
    QImage image;                      // wraps `decoded`
};

// One picture at a time: the largest take half a gigabyte with their copy.
Picture& PictureFor(const Kind& kind, int side, bool withImage)
{
    static Picture p;
    if (p.kind != &kind || p.side != side) {
        p = Picture{};
        p.kind = &kind;
        p.side = side;
        p.info.bmiHeader = {40, side, side, 1, kind.bitCount, kind.compression, 0, 0, 0, 0, 0};
        for (int i = 0; i < kDibColorEntries; ++i)
            p.info.bmiColors[i] = PictureColour(i);
        const PictureKind stored{kind.name, side, side, kind.bitCount, kind.compression};
        std::vector<BYTE> row;
        for (int y = 0; y < side; ++y) {
            StoredRow(stored, y, row);
            p.bits.insert(p.bits.end(), row.begin(), row.end());
        }
        if (kind.compression == BI_RLE8)
            p.bits.insert(p.bits.end(), {0, 1});
    }
    if (withImage && !p.decoded) {
        p.decoded = std::make_unique<CSurface>(side, side);
        const HDC dc = CreateSurfaceDC(p.decoded.get());
        StretchDIBits(dc, 0, 0, side, side, 0, 0, side, side, p.bits.data(), p.bits.size(), &p.info,
                      DIB_RGB_COLORS, SRCCOPY);
        DeleteDC(dc);
        p.image = QImage(reinterpret_cast<const uchar*>(p.decoded->Bits()), side, side, side * 4,
                         QImage::Format_RGB32);
    }
    return p;
}

// Destination pixels a draw of the whole picture at `scale` puts in the view.
double VisiblePixels(int side, const Scale& s)
{
    const long long scaled = static_cast<long long>(side) * s.num / s.den;
    return static_cast<double>(std::min<long long>(scaled, kViewWidth)) *
           static_cast<double>(std::min<long long>(scaled, kViewHeight));
}

void SetRate(benchmark::State& state, double pixels)
{
    state.counters["MP/s"] =
        benchmark::Counter(pixels / 1e6, benchmark::Counter::kIsIterationInvariantRate);
}

// The viewer's call: the whole picture scaled, the view clipping it.
void DrawOurs(benchmark::State& state, const Kind& kind, int side, const Scale& s)
{
    const Picture& p = PictureFor(kind, side, false);
    CSurface view(kViewWidth, kViewHeight);
    const HDC dc = CreateSurfaceDC(&view);
    const int dest = static_cast<int>(static_cast<long long>(side) * s.num / s.den);
    for (auto _ : state) {
        const int lines = StretchDIBits(dc, 0, 0, dest, dest, 0, 0, side, side, p.bits.data(),
                                        p.bits.size(), &p.info, DIB_RGB_COLORS, SRCCOPY);
        if (lines != side)
            state.SkipWithError("StretchDIBits failed");
        benchmark::DoNotOptimize(view.Bits()[0]);
    }
    DeleteDC(dc);
    SetRate(state, VisiblePixels(side, s));
}

// Qt draws only the source region that lands in the view, at the same scale.
void DrawQt(benchmark::State& state, const Kind& kind, int side, const Scale& s)
{
    const Picture& p = PictureFor(kind, side, true);
    QImage view(kViewWidth, kViewHeight, QImage::Format_RGB32);
    view.fill(0);
    const long long scaled = static_cast<long long>(side) * s.num / s.den;
    const double w = static_cast<double>(std::min<long long>(scaled, kViewWidth));
    const double h = static_cast<double>(std::min<long long>(scaled, kViewHeight));
    const QRectF target(0, 0, w, h);
    const QRectF source(0, 0, w * s.den / s.num, h * s.den / s.num);
    QPainter painter(&view);
    painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
    for (auto _ : state) {
        painter.drawImage(target, p.image, source);
        benchmark::DoNotOptimize(view.constBits()[0]);
    }
    painter.end();
    SetRate(state, VisiblePixels(side, s));
}

// Collects the rate of every run for the summary.
class Collector : public benchmark::ConsoleReporter
{
public:
    using ConsoleReporter::ConsoleReporter;
    std::map<std::string, double> rates;

    void ReportRuns(const std::vector<Run>& runs) override
    {
        for (const Run& run : runs)
            if (!run.error_occurred && run.run_type == Run::RT_Iteration)
                rates[run.benchmark_name()] = run.counters.at("MP/s").value;
        ConsoleReporter::ReportRuns(runs);
    }
};

std::string Name(const char* who, const Kind& k, const Scale& s)
{
    return std::string(who) + "/" + k.name + "/scale:" + s.name;
}

} // namespace

int main(int argc, char** argv)
{
    for (const Kind& k : kKinds)
        for (const char* who : {"Ours", "Qt"})
            for (const Scale& s : kScales)
                benchmark::RegisterBenchmark(Name(who, k, s).c_str(),
                                             who[0] == 'O' ? DrawOurs : DrawQt, k, kSide, s)
                    ->Unit(benchmark::kMillisecond);
    // The cost follows the visible area, not the picture: a 1920 x 1080
    // window of a small and of a huge 8-bit picture.
    for (int side : {2000, 16000})
        benchmark::RegisterBenchmark(("Ours/8-bit window/side:" + std::to_string(side)).c_str(),
                                     DrawOurs, kKinds[2], side, kScales[1])
            ->Unit(benchmark::kMillisecond);

    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    Collector collector(isatty(STDOUT_FILENO) != 0 ? benchmark::ConsoleReporter::OO_ColorTabular
                                                   : benchmark::ConsoleReporter::OO_Tabular);
    benchmark::RunSpecifiedBenchmarks(&collector);

    const auto& r = collector.rates;
    std::printf("\n%-8s %-6s %12s %12s %7s %7s\n", "format", "scale", "ours MP/s", "Qt MP/s",
                "ratio", "target");
    for (const Kind& k : kKinds)
        for (const Scale& s : kScales) {
            const auto ours = r.find(Name("Ours", k, s));
            const auto qt = r.find(Name("Qt", k, s));
            if (ours == r.end() || qt == r.end())
                continue;
            const double ratio = ours->second / qt->second;
            std::printf("%-8s %-6s %12.0f %12.0f %7.2f %7.2f %s\n", k.name, s.name, ours->second,
                        qt->second, ratio, k.minRatio, ratio >= k.minRatio ? "met" : "MISSED");
        }
    const auto small = r.find("Ours/8-bit window/side:2000");
    const auto huge = r.find("Ours/8-bit window/side:16000");
    if (small != r.end() && huge != r.end())
        std::printf("8-bit 1920x1080 window, 16000^2 picture vs 2000^2: %.2fx the time "
                    "(target at most 1.5x)\n",
                    small->second / huge->second);
    benchmark::Shutdown();
    return 0;
}
