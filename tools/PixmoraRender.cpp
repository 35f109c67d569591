// pixmora-render: draws a bitmap file the way the viewer does and writes the
// result as a binary PPM, so that drawing can be checked and compared without
// a window.
//
//   pixmora-render [--scale S] [--viewport WxH+X+Y] INPUT.bmp OUTPUT.ppm
//
// The picture is read by CDib::Read and drawn by CDib::Draw onto a memory
// device context over a surface that starts black. Without --viewport the
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
#include <filesystem>
#include <new>
#include <string_view>
#include <vector>

namespace {

enum ExitCode
{
    kDrawn = 0,
    kUsageOrIoError = 1,
    kRefused = 2,
    kNotDrawable = 3,
};

// Larger surfaces are refused rather than allocated: a hostile header can
// claim a picture of billions of pixels, and a scale multiplies that further.
constexpr std::uint64_t kMaxSurfaceBytes = std::uint64_t{1} << 30;

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

// The surface as RGB triples after a P6 header; maxval 255 is one byte a channel.
bool WritePpm(const char* path, const CSurface& surface)
{
    std::FILE* out = std::fopen(path, "wb");
    if (!out)
        return false;
    bool ok = std::fprintf(out, "P6\n%d %d\n255\n", surface.Width(), surface.Height()) > 0;
    std::vector<unsigned char> row(static_cast<size_t>(surface.Width()) * 3);
    for (int y = 0; ok && y < surface.Height(); ++y) {
        const DWORD* pixel = surface.Row(y);
        for (size_t i = 0; i < row.size(); i += 3, ++pixel) {
            const COLORREF c = SurfaceColor(*pixel);
            row[i] = GetRValue(c);
            row[i + 1] = GetGValue(c);
            row[i + 2] = GetBValue(c);
        }
        ok = std::fwrite(row.data(), 1, row.size(), out) == row.size();
    }
    // A full disk may only show when the buffer is flushed on closing.
    ok = std::fclose(out) == 0 && ok;
    return ok;
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
    CSurface surface;
    try {
        surface.Reset(view.width, view.height, RGB(0, 0, 0));
    } catch (const std::bad_alloc&) {
        return SurfaceTooLarge(options, view, "out of memory");
    }

    CSurfaceDC dc(&surface);
    // Scrolling moves the picture up and left: logical (X, Y) lands on the
    // surface's top-left pixel.
    dc.SetViewportOrg(-view.x, -view.y);
    if (dib.Draw(&dc, 0, 0, options.scale) == 0) {
        std::fprintf(stderr, "%s: read, but nothing could be drawn\n", options.input);
        return kNotDrawable;
    }

    if (!WritePpm(options.output, surface)) {
        std::fprintf(stderr, "%s: cannot write: %s\n", options.output, std::strerror(errno));
        // A half-written file must not pass for a picture; a device or a pipe
        // given as the output is never removed.
        std::error_code ignored;
        if (std::filesystem::is_regular_file(options.output, ignored))
            std::filesystem::remove(options.output, ignored);
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
