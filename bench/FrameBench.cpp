// Every paint after the first, for large pictures. (The first frame is
// measured as whole processes by pixmora_bench_process.)
//
// Paint: later draws of a 1920 x 1080 window of a loaded picture, at its top
// and its bottom; run-length encoded pictures against the plain 8-bit one.
// Zoom: the view's own drawing call, CDib::Draw at each zoom step onto a
// 1920 x 1080 surface centred on the picture.
// Scroll: what a scroll by 64 rows costs the view (move the surface, draw the
// uncovered strip) against redrawing the whole window.
//
// Pictures are written into a temporary directory as they are needed and
// removed after. Summaries with every ratio follow the usual output.
//
//   pixmora_bench_frame --write-pictures DIR [NAME]   writes the large
//   first-frame pictures (or only the one called NAME, e.g. 32-bit) into DIR
//   as NAME.bmp and exits (for bench/memory.sh and bench/startup.sh)

#include "BenchSummary.h"
#include "Pictures.h"
#include "dib/Dib.h"
#include "gdi/Dc.h"
#include "gdi/Gdi.h"
#include "gdi/Surface.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

constexpr int kViewWidth = 1920;
constexpr int kViewHeight = 1080;
constexpr int kRepetitions = 3;
constexpr double kPaintRatio = 2;
constexpr double kZoomMs = 8;
constexpr int kScrollRows = 64;

const PictureKind kPictures[] = {
    {"1-bit", 8000, 8000, 1, BI_RGB},
    {"4-bit", 8000, 8000, 4, BI_RGB},
    {"8-bit", 8000, 8000, 8, BI_RGB},
    {"16-bit", 8000, 8000, 16, BI_RGB},
    {"24-bit", 8000, 8000, 24, BI_RGB},
    {"32-bit", 8000, 8000, 32, BI_RGB},
    {"RLE4", 8000, 8000, 4, BI_RLE4},
    {"RLE8", 8000, 8000, 8, BI_RLE8},
    {"RLE8 busy", 8000, 8000, 8, BI_RLE8, true},
    {"1-bit 20000", 20000, 20000, 1, BI_RGB},
};

// The pictures --write-pictures writes: those whose first frame matters.
bool FirstFramePicture(const PictureKind& kind)
{
    return kind.bitCount != 16 && kind.compression != BI_RLE4;
}

bool Compressed(const PictureKind& kind)
{
    return kind.compression == BI_RLE4 || kind.compression == BI_RLE8;
}

struct Scale
{
    const char* name;
    double factor;
};

const Scale kScales[] = {{"1/8", 0.125}, {"1/4", 0.25}, {"1/2", 0.5}, {"1", 1},
                         {"2", 2},       {"4", 4},      {"8", 8}};

// One picture on disk, and loaded, at a time: the largest take a quarter of a
// gigabyte each way.
CDib& Picture(const PictureKind& kind)
{
    static const PictureKind* current = nullptr;
    static std::unique_ptr<CDib> dib;
    if (current != &kind) {
        const std::string path = PictureDir() + "/picture.bmp";
        // The bitmap goes before its file: it may still use the file.
        dib.reset();
        current = &kind;
        std::filesystem::remove(path);
        if (!WritePictureFile(kind, path)) {
            std::fprintf(stderr, "cannot write %s\n", path.c_str());
            std::exit(1);
        }
        CFile file(path.c_str(), CFile::modeRead);
        dib = std::make_unique<CDib>();
        if (!dib->Read(&file)) {
            std::fprintf(stderr, "cannot read %s\n", path.c_str());
            std::exit(1);
        }
    }
    return *dib;
}

// Later paints of the window at the picture's top (the end of a bottom-up
// stream) or its bottom; `indexed` false draws as a caller without an index.
void Paint(benchmark::State& state, const PictureKind* kind, bool top, bool indexed)
{
    CDib& dib = Picture(*kind);
    CSurface surface(kViewWidth, kViewHeight);
    CSurfaceDC dc(&surface);
    dc.SetViewportOrg(0, top ? 0 : -(kind->height - kViewHeight));
    dib.Draw(&dc, 0, 0); // the first paint, which indexes a compressed picture
    const CSize size = dib.GetDrawnSize(1.0);
    for (auto _ : state) {
        if (indexed)
            dib.Draw(&dc, 0, 0);
        else
            StretchDIBits(dc.GetSafeHdc(), 0, 0, size.cx, size.cy, 0, 0, size.cx, size.cy,
                          dib.m_pPixels, dib.m_cbPixels, dib.m_pInfo, DIB_RGB_COLORS, SRCCOPY);
        benchmark::DoNotOptimize(surface.Bits()[0]);
    }
}

// The view after Enlarge or Shrink: its drawing call at the new scale, the
// window on the middle of the picture.
void Zoom(benchmark::State& state, const PictureKind* kind, const Scale* scale)
{
    CDib& dib = Picture(*kind);
    CSurface surface(kViewWidth, kViewHeight);
    CSurfaceDC dc(&surface);
    const CSize size = dib.GetDrawnSize(scale->factor);
    dc.SetViewportOrg(-std::max(0, (size.cx - kViewWidth) / 2),
                      -std::max(0, (size.cy - kViewHeight) / 2));
    dib.Draw(&dc, 0, 0, scale->factor);
    for (auto _ : state) {
        dib.Draw(&dc, 0, 0, scale->factor);
        benchmark::DoNotOptimize(surface.Bits()[0]);
    }
}

// A scroll down by kScrollRows as the view does it: what stays visible moves
// up, and only the uncovered strip at the bottom is drawn. `whole` redraws the
// whole window instead, for comparison.
void Scroll(benchmark::State& state, const PictureKind* kind, bool whole)
{
    CDib& dib = Picture(*kind);
    CSurface surface(kViewWidth, kViewHeight);
    CSurfaceDC dc(&surface);
    const RECT strip{0, kViewHeight - kScrollRows, kViewWidth, kViewHeight};
    int position = 0;
    for (auto _ : state) {
        position += kScrollRows;
        if (position + kViewHeight > kind->height)
            position = 0;
        dc.SetViewportOrg(0, -position);
        if (whole) {
            dib.Draw(&dc, 0, 0);
        } else {
            std::memmove(surface.Row(0), surface.Row(kScrollRows),
                         sizeof(DWORD) * kViewWidth * (kViewHeight - kScrollRows));
            SetDeviceClipRect(dc.GetSafeHdc(), &strip);
            dib.Draw(&dc, 0, 0);
            SetDeviceClipRect(dc.GetSafeHdc(), nullptr);
        }
        benchmark::DoNotOptimize(surface.Bits()[0]);
    }
}

std::string Name(const char* group, const PictureKind& kind, const char* what)
{
    return std::string(group).append("/").append(kind.name).append("/").append(what);
}

void Register(const std::string& name, auto fn, auto... args)
{
    benchmark::RegisterBenchmark(name.c_str(), fn, args...)
        ->Unit(benchmark::kMillisecond)
        ->Repetitions(kRepetitions)
        ->DisplayAggregatesOnly(true);
}

void PrintSummary(const BenchSummary& s)
{
    // Processor time: on a machine shared with other work, wall time mostly
    // adds the waits for a processor.
    std::printf("\nAll figures below: the thread's processor time (user + system) in ms, the "
                "median of %d runs.\n",
                kRepetitions);
    std::printf("\nLater paints of a 1920x1080 window, against the same window of the 8-bit "
                "picture\n");
    std::printf("%-8s %-7s %9s %9s %7s %7s %12s\n", "picture", "window", "8-bit", "this", "ratio",
                "target", "no index");
    for (const PictureKind& k : kPictures) {
        if (!Compressed(k))
            continue;
        for (const char* where : {"top", "bottom"}) {
            const double plain = s.CpuTime(Name("Paint", kPictures[2], where));
            const double ours = s.CpuTime(Name("Paint", k, where));
            const double unindexed =
                s.CpuTime(Name("Paint", k, (std::string(where) + " unindexed").c_str()));
            if (plain <= 0 || ours <= 0)
                continue;
            const double ratio = ours / plain;
            std::printf("%-8s %-7s %9.2f %9.2f %7.2f %7.2f %12.2f %s\n", k.name, where, plain, ours,
                        ratio, kPaintRatio, unindexed, ratio <= kPaintRatio ? "met" : "MISSED");
        }
    }

    std::printf("\nZoom: the view's drawing call at each scale, 1920x1080 window (target "
                "%.0f ms)\n",
                kZoomMs);
    std::printf("%-8s", "picture");
    for (const Scale& sc : kScales)
        std::printf(" %7s", sc.name);
    std::printf(" %7s\n", "worst");
    for (const PictureKind& k : kPictures) {
        if (k.width != 8000)
            continue;
        std::printf("%-8s", k.name);
        double worst = 0;
        for (const Scale& sc : kScales) {
            const double t = s.CpuTime(Name("Zoom", k, (std::string("scale:") + sc.name).c_str()));
            worst = std::max(worst, t);
            if (t > 0)
                std::printf(" %7.2f", t);
            else
                std::printf(" %7s", "-");
        }
        if (worst > 0)
            std::printf(" %7.2f %s\n", worst, worst <= kZoomMs ? "met" : "MISSED");
        else
            std::printf("\n");
    }

    std::printf("\nScroll by %d rows: move and draw the strip, against a whole redraw\n",
                kScrollRows);
    std::printf("%-8s %9s %9s %7s\n", "picture", "scroll", "redraw", "ratio");
    for (const PictureKind& k : kPictures) {
        const double strip = s.CpuTime(Name("Scroll", k, "strip"));
        const double whole = s.CpuTime(Name("Scroll", k, "whole"));
        if (strip > 0 && whole > 0)
            std::printf("%-8s %9.2f %9.2f %7.2f\n", k.name, strip, whole, strip / whole);
    }
}

} // namespace

int main(int argc, char** argv)
{
    if ((argc == 3 || argc == 4) && std::strcmp(argv[1], "--write-pictures") == 0) {
        int written = 0;
        for (const PictureKind& k : kPictures) {
            std::string file = k.name;
            std::replace(file.begin(), file.end(), ' ', '-');
            if (!FirstFramePicture(k) || (argc == 4 && file != argv[3]))
                continue;
            if (!WritePictureFile(k, std::string(argv[2]) + "/" + file + ".bmp"))
                return 1;
            ++written;
        }
        return written > 0 ? 0 : 1;
    }

    for (const PictureKind& k : kPictures) {
        const PictureKind* kind = &k;
        if (k.width != 8000)
            continue;
        if (k.compression == BI_RGB && k.bitCount == 8) {
            Register(Name("Paint", k, "top"), Paint, kind, true, true);
            Register(Name("Paint", k, "bottom"), Paint, kind, false, true);
        }
        if (Compressed(k)) {
            Register(Name("Paint", k, "top"), Paint, kind, true, true);
            Register(Name("Paint", k, "bottom"), Paint, kind, false, true);
            Register(Name("Paint", k, "top unindexed"), Paint, kind, true, false);
            Register(Name("Paint", k, "bottom unindexed"), Paint, kind, false, false);
        }
        for (const Scale& sc : kScales)
            Register(Name("Zoom", k, (std::string("scale:") + sc.name).c_str()), Zoom, kind, &sc);
        if (k.bitCount >= 8) {
            Register(Name("Scroll", k, "strip"), Scroll, kind, false);
            Register(Name("Scroll", k, "whole"), Scroll, kind, true);
        }
    }

    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    BenchSummary summary;
    benchmark::RunSpecifiedBenchmarks(&summary);
    PrintSummary(summary);
    benchmark::Shutdown();
    return 0;
}
