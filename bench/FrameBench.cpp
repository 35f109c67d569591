// From file to first frame, and every paint after it, for large pictures.
//
// Frame: what `pixmora-render --viewport 1920x1080+0+0` does short of writing
// its output (open, read, draw the window onto a black surface), against the
// floor of allocating the file's size and reading it in one call, against Qt
// (QImage load, then QPainter::drawImage of the window) and against stb_image
// (load, then copy the window).
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
//   pixmora_bench_frame --write-pictures DIR   writes the first-frame
//   pictures into DIR and exits (for bench/memory.sh)

#include "BenchSummary.h"
#include "Floor.h"
#include "Pictures.h"
#include "dib/Dib.h"
#include "gdi/Dc.h"
#include "gdi/Gdi.h"
#include "gdi/Surface.h"

#include <QImage>
#include <QImageReader>
#include <QPainter>

#define STBI_ONLY_BMP
#define STB_IMAGE_IMPLEMENTATION
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <map>
#include <memory>
#include <stb/stb_image.h>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

constexpr int kViewWidth = 1920;
constexpr int kViewHeight = 1080;
constexpr int kRepetitions = 3;
constexpr double kFrameSlackMs = 10;
constexpr double kPaintRatio = 2;
constexpr double kZoomMs = 8;
constexpr int kScrollRows = 64;

const PictureKind kPictures[] = {
    {"1-bit", 8000, 1, BI_RGB},
    {"4-bit", 8000, 4, BI_RGB},
    {"8-bit", 8000, 8, BI_RGB},
    {"16-bit", 8000, 16, BI_RGB},
    {"24-bit", 8000, 24, BI_RGB},
    {"32-bit", 8000, 32, BI_RGB},
    {"RLE4", 8000, 4, BI_RLE4},
    {"RLE8", 8000, 8, BI_RLE8},
    {"RLE8 busy", 8000, 8, BI_RLE8, true},
    {"1-bit 20000", 20000, 1, BI_RGB},
};

// The pictures whose first frame is measured.
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

void RemoveDir();

const std::string& Dir()
{
    static const std::string dir = [] {
        std::string pattern = (std::filesystem::temp_directory_path() / "pixmora_bench_XXXXXX");
        if (!::mkdtemp(pattern.data())) {
            std::perror("mkdtemp");
            std::exit(1);
        }
        return pattern;
    }();
    // Registered once `dir` exists, so that it runs while `dir` still does.
    static const bool removed = (std::atexit(RemoveDir), true);
    (void)removed;
    return dir;
}

void RemoveDir()
{
    std::error_code ignored;
    std::filesystem::remove_all(Dir(), ignored);
}

std::map<std::string, double> g_fileMiB;

// One picture on disk, and loaded, at a time: the largest take a quarter of a
// gigabyte each way.
struct Current
{
    const PictureKind* kind = nullptr;
    std::string path;
    std::unique_ptr<CDib> dib;
};

Current& Picture(const PictureKind& kind, bool loaded)
{
    static Current c;
    if (c.kind != &kind) {
        if (!c.path.empty())
            std::filesystem::remove(c.path);
        c = Current{};
        c.kind = &kind;
        c.path = Dir() + "/picture.bmp";
        if (!WritePictureFile(kind, c.path)) {
            std::fprintf(stderr, "cannot write %s\n", c.path.c_str());
            std::exit(1);
        }
        g_fileMiB[kind.name] =
            static_cast<double>(std::filesystem::file_size(c.path)) / (1024.0 * 1024.0);
    }
    if (loaded && !c.dib) {
        CFile file(c.path.c_str(), CFile::modeRead);
        c.dib = std::make_unique<CDib>();
        if (!c.dib->Read(&file)) {
            std::fprintf(stderr, "cannot read %s\n", c.path.c_str());
            std::exit(1);
        }
    }
    return c;
}

void FrameFloor(benchmark::State& state, const PictureKind* kind)
{
    const std::string& path = Picture(*kind, false).path;
    for (auto _ : state)
        if (!ReadWholeFile(path))
            state.SkipWithError("short read");
}

void FramePixmora(benchmark::State& state, const PictureKind* kind)
{
    const std::string& path = Picture(*kind, false).path;
    for (auto _ : state) {
        CFile file(path.c_str(), CFile::modeRead);
        CDib dib;
        if (!dib.Read(&file))
            state.SkipWithError("read failed");
        CSurface surface(kViewWidth, kViewHeight, RGB(0, 0, 0));
        CSurfaceDC dc(&surface);
        dc.SetViewportOrg(0, 0);
        if (dib.Draw(&dc, 0, 0, 1.0) == 0)
            state.SkipWithError("draw failed");
        benchmark::DoNotOptimize(surface.Bits()[0]);
    }
}

void FrameQt(benchmark::State& state, const PictureKind* kind)
{
    const QString path = QString::fromStdString(Picture(*kind, false).path);
    for (auto _ : state) {
        QImageReader reader(path);
        const QImage image = reader.read();
        if (image.isNull()) {
            state.SkipWithError("Qt cannot read it");
            break;
        }
        QImage view(kViewWidth, kViewHeight, QImage::Format_RGB32);
        view.fill(0);
        QPainter painter(&view);
        painter.drawImage(QPoint(0, 0), image, QRect(0, 0, kViewWidth, kViewHeight));
        painter.end();
        benchmark::DoNotOptimize(view.constBits()[0]);
    }
}

void FrameStb(benchmark::State& state, const PictureKind* kind)
{
    const std::string& path = Picture(*kind, false).path;
    for (auto _ : state) {
        int width = 0;
        int height = 0;
        int channels = 0;
        stbi_uc* pixels = stbi_load(path.c_str(), &width, &height, &channels, 0);
        if (!pixels) {
            state.SkipWithError("stb_image cannot read it");
            break;
        }
        const size_t rowBytes = static_cast<size_t>(std::min(width, kViewWidth)) * channels;
        std::vector<stbi_uc> view(static_cast<size_t>(kViewWidth) * kViewHeight * channels);
        for (int y = 0; y < std::min(height, kViewHeight); ++y)
            std::memcpy(view.data() + static_cast<size_t>(y) * kViewWidth * channels,
                        pixels + static_cast<size_t>(y) * width * channels, rowBytes);
        stbi_image_free(pixels);
        benchmark::DoNotOptimize(view[0]);
    }
}

// Later paints of the window at the picture's top (the end of a bottom-up
// stream) or its bottom; `indexed` false draws as a caller without an index.
void Paint(benchmark::State& state, const PictureKind* kind, bool top, bool indexed)
{
    CDib& dib = *Picture(*kind, true).dib;
    CSurface surface(kViewWidth, kViewHeight);
    CSurfaceDC dc(&surface);
    dc.SetViewportOrg(0, top ? 0 : -(kind->side - kViewHeight));
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
    CDib& dib = *Picture(*kind, true).dib;
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
    CDib& dib = *Picture(*kind, true).dib;
    CSurface surface(kViewWidth, kViewHeight);
    CSurfaceDC dc(&surface);
    const RECT strip{0, kViewHeight - kScrollRows, kViewWidth, kViewHeight};
    int position = 0;
    for (auto _ : state) {
        position += kScrollRows;
        if (position + kViewHeight > kind->side)
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
    std::printf("\nFile to first frame: open, read, draw a 1920x1080 window\n");
    std::printf("%-12s %8s %8s %9s %9s %-6s %9s %7s %9s %7s\n", "picture", "MiB", "floor",
                "pixmora", "budget", "", "Qt", "Qt/pix", "stb", "stb/pix");
    for (const PictureKind& k : kPictures) {
        if (!FirstFramePicture(k))
            continue;
        const double floor = s.CpuTime(Name("Frame", k, "floor"));
        const double ours = s.CpuTime(Name("Frame", k, "pixmora"));
        const double qt = s.CpuTime(Name("Frame", k, "qt"));
        const double stb = s.CpuTime(Name("Frame", k, "stb"));
        if (floor <= 0 || ours <= 0)
            continue;
        const double budget = floor + kFrameSlackMs;
        char qtText[32] = "n/a";
        char qtRatio[32] = "";
        char stbText[32] = "n/a";
        char stbRatio[32] = "";
        if (qt > 0) {
            std::snprintf(qtText, sizeof qtText, "%.1f", qt);
            std::snprintf(qtRatio, sizeof qtRatio, "%.1fx", qt / ours);
        }
        if (stb > 0) {
            std::snprintf(stbText, sizeof stbText, "%.1f", stb);
            std::snprintf(stbRatio, sizeof stbRatio, "%.1fx", stb / ours);
        }
        const bool met = ours <= budget && (qt <= 0 || ours < qt) && (stb <= 0 || ours < stb);
        std::printf("%-12s %8.1f %8.1f %9.1f %9.1f %-6s %9s %7s %9s %7s\n", k.name,
                    g_fileMiB[k.name], floor, ours, budget, met ? "met" : "MISSED", qtText, qtRatio,
                    stbText, stbRatio);
    }
    std::printf("(budget: floor + %.0f ms; Qt/pix and stb/pix: how many times longer they take; "
                "n/a: cannot read it)\n",
                kFrameSlackMs);

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
        if (k.side != 8000)
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
    if (argc == 3 && std::strcmp(argv[1], "--write-pictures") == 0) {
        for (const PictureKind& k : kPictures) {
            if (!FirstFramePicture(k))
                continue;
            std::string file = k.name;
            std::replace(file.begin(), file.end(), ' ', '-');
            if (!WritePictureFile(k, std::string(argv[2]) + "/" + file + ".bmp"))
                return 1;
        }
        return 0;
    }
    // Qt refuses images over 128 MiB unless told otherwise.
    QImageReader::setAllocationLimit(0);

    for (const PictureKind& k : kPictures) {
        const PictureKind* kind = &k;
        if (FirstFramePicture(k)) {
            Register(Name("Frame", k, "floor"), FrameFloor, kind);
            Register(Name("Frame", k, "pixmora"), FramePixmora, kind);
            Register(Name("Frame", k, "qt"), FrameQt, kind);
            Register(Name("Frame", k, "stb"), FrameStb, kind);
        }
        if (k.side != 8000)
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
