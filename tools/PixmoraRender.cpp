// pixmora-render: draws a bitmap file the way the viewer does and writes the
// result as a binary PPM, so that drawing can be checked and compared without
// a window.
//
//   pixmora-render [--scale S] [--viewport WxH+X+Y] INPUT.bmp OUTPUT.ppm
//
// The picture is read by CDib::Read and drawn by CDib::Draw onto a memory
// device context over a surface that starts black, a band of rows at a time. Without --viewport the
// surface is the whole scaled picture. With it the surface shows the W x H
// window whose top-left corner is at (X, Y) on the scaled picture, as a window
// scrolled there would, clipped to the picture: the PPM holds only the part of
// the window that the picture covers (a 1920x1080+0+0 window onto a 640 x 480
// picture gives a 640 x 480 PPM).
//
// Exit status: 0 drawn; 1 usage or I/O error, or a --viewport too large to
// allocate; 2 refused by the reader; 3 read but nothing drawn (the drawing
// call returned 0, the picture is 0 pixels wide or high at this scale, which
// no portable PPM can hold, the window lies outside the picture, or the whole
// picture is too large to allocate at this scale).

#include "core/File.h"
#include "dib/Dib.h"
#include "gdi/Dc.h"
#include "gdi/Surface.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <new>
#include <string_view>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#if defined(__x86_64__) || defined(__i386__)
#include <tmmintrin.h>
#endif

namespace {

enum ExitCode
{
    kDrawn = 0,
    kUsageOrIoError = 1,
    kRefused = 2,
    kNotDrawable = 3,
};

// Frames of more pixels than a surface of this size holds are refused: a
// hostile header can claim a picture of billions of pixels, a scale multiplies
// that further, and drawing and writing such a frame would take hours.
constexpr std::uint64_t kMaxSurfaceBytes = std::uint64_t{1} << 30;

// The window is drawn, converted and written in bands of rows of about this
// many surface bytes: few system calls, and little fresh memory.
constexpr size_t kBandBytes = size_t{128} << 10;

constexpr const char kUsage[] =
    "usage: pixmora-render [--scale S] [--viewport WxH+X+Y] INPUT.bmp OUTPUT.ppm\n"
    "Draws INPUT.bmp as the viewer does onto a black surface and writes it as a binary PPM.\n"
    "  --scale S            zoom factor, a number greater than 0 (default 1)\n"
    "  --viewport WxH+X+Y   draw only a W x H window onto the scaled picture, its\n"
    "                       top-left corner at (X, Y); W, H >= 1, X, Y >= 0. The\n"
    "                       output is clipped to the picture: it holds only the part\n"
    "                       of the window that the picture covers\n"
    "Exit status: 0 drawn, 1 usage or I/O error, 2 refused by the reader,\n"
    "3 read but nothing could be drawn (also when the window lies outside the\n"
    "picture, or the whole picture is too large to draw without --viewport).\n";

struct Viewport
{
    int width = 0;
    int height = 0;
    int x = 0;
    int y = 0;
};

struct Options
{
    double scale = 1.0;
    bool hasViewport = false;
    Viewport viewport;
    const char* input = nullptr;
    const char* output = nullptr;
};

bool ParseScale(std::string_view text, double& scale)
{
    // from_chars takes no '+' and no spaces, and ignores the locale; it does
    // take "inf" and "nan", which the finiteness test turns away.
    const char* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, scale);
    return error == std::errc() && stop == end && std::isfinite(scale) && scale > 0;
}

// Reads a decimal int at the front of `text` and drops it from there.
bool TakeInt(std::string_view& text, int& value)
{
    const char* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, value);
    if (error != std::errc() || stop == text.data())
        return false;
    text.remove_prefix(static_cast<size_t>(stop - text.data()));
    return true;
}

bool TakeChar(std::string_view& text, char c)
{
    if (text.empty() || text.front() != c)
        return false;
    text.remove_prefix(1);
    return true;
}

bool ParseViewport(std::string_view text, Viewport& v)
{
    // from_chars accepts a leading '-', so "+-3" gets as far as the range test.
    const bool parsed = TakeInt(text, v.width) && TakeChar(text, 'x') && TakeInt(text, v.height) &&
                        TakeChar(text, '+') && TakeInt(text, v.x) && TakeChar(text, '+') &&
                        TakeInt(text, v.y) && text.empty();
    return parsed && v.width > 0 && v.height > 0 && v.x >= 0 && v.y >= 0;
}

// Options may come before, between or after the two file names; the last of a
// repeated option counts.
bool ParseArguments(int argc, char** argv, Options& options)
{
    std::vector<const char*> files;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg == "--scale" || arg == "--viewport") {
            if (i + 1 == argc)
                return false;
            const char* value = argv[++i];
            if (arg == "--scale" ? !ParseScale(value, options.scale)
                                 : !ParseViewport(value, options.viewport))
                return false;
            options.hasViewport = options.hasViewport || arg == "--viewport";
        } else if (arg.size() > 1 && arg.front() == '-') {
            return false;
        } else {
            files.push_back(argv[i]);
        }
    }
    if (files.size() != 2)
        return false;
    options.input = files[0];
    options.output = files[1];
    return true;
}

// Surface words 0xFFRRGGBB to R, G, B bytes.
void ToRgbBaseline(const DWORD* pixels, size_t count, unsigned char* rgb)
{
    for (size_t i = 0; i < count; ++i) {
        const DWORD p = pixels[i];
        rgb[3 * i] = static_cast<unsigned char>(p >> 16);
        rgb[3 * i + 1] = static_cast<unsigned char>(p >> 8);
        rgb[3 * i + 2] = static_cast<unsigned char>(p);
    }
}

using ToRgbRoutine = void (*)(const DWORD*, size_t, unsigned char*);

#if defined(__x86_64__) || defined(__i386__)
// Four pixels a shuffle. Each store writes 16 bytes of which 12 are its own,
// so the loop stops while a pixel more follows and the last ones go singly.
[[gnu::target("ssse3")]] void ToRgbSsse3(const DWORD* pixels, size_t count, unsigned char* rgb)
{
    const __m128i order = _mm_setr_epi8(2, 1, 0, 6, 5, 4, 10, 9, 8, 14, 13, 12, -1, -1, -1, -1);
    size_t i = 0;
    for (; i + 5 <= count; i += 4) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(pixels + i));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(rgb + 3 * i), _mm_shuffle_epi8(v, order));
    }
    ToRgbBaseline(pixels + i, count - i, rgb + 3 * i);
}

ToRgbRoutine FastestToRgb()
{
    return __builtin_cpu_supports("ssse3") ? ToRgbSsse3 : ToRgbBaseline;
}
#else
ToRgbRoutine FastestToRgb()
{
    return ToRgbBaseline;
}
#endif

// Writes all `size` bytes, going on after a partial write or a signal. Returns
// 0, or the error that stopped it.
int WriteAll(int fd, const unsigned char* data, size_t size)
{
    while (size > 0) {
        // Linux moves at most about 2 GiB a call.
        const ssize_t written = ::write(fd, data, std::min<size_t>(size, size_t{1} << 30));
        if (written < 0 && errno == EINTR)
            continue;
        if (written < 0)
            return errno;
        if (written == 0)
            return EIO;
        data += written;
        size -= static_cast<size_t>(written);
    }
    return 0;
}

// Whether drawing sets every pixel that the picture covers: it leaves the
// background where a run-length stream skips and where a short file ends.
bool DrawsEveryPixel(const CDib& dib)
{
    const BITMAPINFOHEADER& h = dib.m_pInfo->bmiHeader;
    if (h.biCompression == BI_RLE8 || h.biCompression == BI_RLE4)
        return false;
    const auto rows = static_cast<ULONGLONG>(dib.GetDrawnSize(1.0).cy);
    const LONGLONG stride = DibRowStride(h.biWidth, h.biBitCount);
    return rows > 0 && stride > 0 && static_cast<ULONGLONG>(stride) <= dib.m_cbPixels / rows;
}

// Draws the rows [top, top + band height) of the window into `band`, black
// where the picture leaves the background. Returns the drawing call's result.
int DrawBand(CDib& dib, double scale, const Viewport& view, int top, CSurface& band)
{
    // A new band is black; a reused one is cleared unless the draw sets every
    // pixel anyway.
    if (top > 0 && !DrawsEveryPixel(dib))
        band.Fill(RGB(0, 0, 0));
    CSurfaceDC dc(&band);
    // Scrolling moves the picture up and left: logical (X, Y + top) lands on
    // the band's top-left pixel. Both stay inside the scaled picture.
    dc.SetViewportOrg(-view.x, -(view.y + top));
    return dib.Draw(&dc, 0, 0, scale);
}

// The PPM header, then the window's bands as RGB triples, one write each; the
// first band is already drawn into `band`. Returns 0, or the error that
// stopped it.
int WriteBands(int fd, CDib& dib, double scale, const Viewport& view, CSurface& band)
{
    char header[48];
    const int headerSize =
        std::snprintf(header, sizeof header, "P6\n%d %d\n255\n", view.width, view.height);
    if (const int error =
            WriteAll(fd, reinterpret_cast<unsigned char*>(header), static_cast<size_t>(headerSize)))
        return error;
    const ToRgbRoutine toRgb = FastestToRgb();
    std::vector<unsigned char> rgb(size_t{3} * static_cast<size_t>(band.Width()) *
                                   static_cast<size_t>(band.Height()));
    for (int top = 0;;) {
        // Surface rows have no padding: the band's pixels are one run.
        const size_t count = static_cast<size_t>(band.Width()) * static_cast<size_t>(band.Height());
        toRgb(band.Bits(), count, rgb.data());
        if (const int error = WriteAll(fd, rgb.data(), 3 * count))
            return error;
        top += band.Height();
        if (top == view.height)
            return 0;
        if (view.height - top < band.Height())
            band.Reset(view.width, view.height - top);
        DrawBand(dib, scale, view, top, band);
    }
}

// Writes the window as a binary PPM. Returns 0, or the error that stopped it;
// then a half-written regular file is removed, so that it cannot pass for a
// picture, while a device or a pipe given as the output is left alone.
int WritePpm(const char* path, CDib& dib, double scale, const Viewport& view, CSurface& band)
{
    const int fd = ::open(path, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (fd < 0)
        return errno;
    int error = WriteBands(fd, dib, scale, view, band);
    struct stat status;
    const bool regular = ::fstat(fd, &status) == 0 && S_ISREG(status.st_mode);
    // Some file systems report a failed write only on closing.
    if (::close(fd) != 0 && error == 0)
        error = errno;
    if (error != 0 && regular)
        ::unlink(path);
    return error;
}

// The part of a window that the scaled picture covers: the window's size
// shrinks, its corner stays. A window right of or below the picture keeps
// nothing, a size of 0.
Viewport ClipToPicture(const Viewport& view, int pictureWidth, int pictureHeight)
{
    // Both terms of each difference are at least 0, so it cannot overflow.
    return {std::clamp(pictureWidth - view.x, 0, view.width),
            std::clamp(pictureHeight - view.y, 0, view.height), view.x, view.y};
}

// A surface that cannot be had. Asked for with --viewport, the command asked
// too much; without, nothing is wrong but the picture cannot be drawn whole at
// this scale.
int SurfaceTooLarge(const Options& options, const Viewport& view, const char* why)
{
    std::fprintf(stderr,
                 "%s: a %d x %d surface is too large to draw (%s); "
                 "use %s--viewport to draw part of it\n",
                 options.input, view.width, view.height, why,
                 options.hasViewport ? "a smaller " : "");
    return options.hasViewport ? kUsageOrIoError : kNotDrawable;
}

int Render(const Options& options)
{
    CFile file;
    CFileException error;
    if (!file.Open(options.input, CFile::modeRead | CFile::shareDenyWrite, &error)) {
        std::fprintf(stderr, "%s\n", error.GetErrorMessage().GetString());
        return kUsageOrIoError;
    }
    CDib dib;
    try {
        if (!dib.Read(&file)) {
            std::fprintf(stderr, "Failed to load image!\n");
            return kRefused;
        }
    } catch (const CFileException& e) {
        std::fprintf(stderr, "%s\n", e.GetErrorMessage().GetString());
        return kUsageOrIoError;
    }

    const CSize scaled = dib.GetDrawnSize(options.scale);
    const int scaledWidth = scaled.cx;
    const int scaledHeight = scaled.cy;

    // Checked before the viewport too, so that a window onto nothing is not
    // mistaken for a drawing.
    if (scaledWidth <= 0 || scaledHeight <= 0) {
        std::fprintf(stderr, "%s: nothing to draw at this scale (%d x %d pixels)\n", options.input,
                     scaledWidth, scaledHeight);
        return kNotDrawable;
    }
    const Viewport view = options.hasViewport
                              ? ClipToPicture(options.viewport, scaledWidth, scaledHeight)
                              : Viewport{scaledWidth, scaledHeight, 0, 0};
    if (view.width == 0 || view.height == 0) {
        const Viewport& asked = options.viewport;
        std::fprintf(stderr,
                     "%s: nothing to draw: the viewport %dx%d+%d+%d lies outside the "
                     "%d x %d picture at this scale\n",
                     options.input, asked.width, asked.height, asked.x, asked.y, scaledWidth,
                     scaledHeight);
        return kNotDrawable;
    }
    const std::uint64_t bytes = std::uint64_t{4} * static_cast<std::uint64_t>(view.width) *
                                static_cast<std::uint64_t>(view.height);
    if (bytes > kMaxSurfaceBytes)
        return SurfaceTooLarge(options, view, "more than 1 GiB");
    // The window is drawn and written a band of rows at a time, in one band's
    // memory: fresh pages cost a fault and a clearing each, which for a whole
    // 1920 x 1080 frame cost more than drawing it.
    const auto bandRows = static_cast<int>(std::clamp<std::uint64_t>(
        kBandBytes / (std::uint64_t{4} * static_cast<std::uint64_t>(view.width)), 1,
        static_cast<std::uint64_t>(view.height)));
    CSurface band;
    try {
        band.Reset(view.width, bandRows);
    } catch (const std::bad_alloc&) {
        return SurfaceTooLarge(options, view, "out of memory");
    }
    // The first band, drawn before any output exists, tells whether the
    // picture can be drawn at all.
    if (DrawBand(dib, options.scale, view, 0, band) == 0) {
        std::fprintf(stderr, "%s: read, but nothing could be drawn\n", options.input);
        return kNotDrawable;
    }
    if (const int writeError = WritePpm(options.output, dib, options.scale, view, band)) {
        std::fprintf(stderr, "%s: cannot write: %s\n", options.output, std::strerror(writeError));
        return kUsageOrIoError;
    }
    return kDrawn;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc == 2 && (std::string_view(argv[1]) == "--help" || std::string_view(argv[1]) == "-h")) {
        std::fputs(kUsage, stdout);
        return kDrawn;
    }
    Options options;
    if (!ParseArguments(argc, argv, options)) {
        std::fputs(kUsage, stderr);
        return kUsageOrIoError;
    }
    try {
        return Render(options);
    } catch (const std::bad_alloc&) {
        std::fprintf(stderr, "%s: out of memory\n", options.input);
        return kUsageOrIoError;
    }
}
