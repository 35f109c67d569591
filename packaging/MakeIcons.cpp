// pixmora-make-icons: writes the application icon as PNG files for a desktop's
// icon theme, OUTDIR/NxN/apps/pixmora.png for N = 16, 32, 48 and 256.
//
//   pixmora-make-icons OUTDIR
//
// The pictures are the program's own icon images, read and drawn by the
// viewer's own code: enlarged by nearest neighbour so that the pixel art stays
// sharp, and see-through wherever the icon's mask says. Each size is drawn
// from the largest image whose side divides it, so that every source pixel
// becomes a whole square of pixels.

#include "gdi/DibFile.h"
#include "resources/Resources.h"
#include "ui/ImageFile.h"

#include <cstdio>
#include <filesystem>
#include <span>
#include <string>
#include <system_error>

namespace {

constexpr int kSizes[] = {16, 32, 48, 256};

// The image of `images` to draw a `size`-pixel icon from; null when no
// square image's side divides `size`.
const ICONIMAGE* SourceFor(std::span<const ICONIMAGE> images, int size)
{
    const ICONIMAGE* best = nullptr;
    for (const ICONIMAGE& image : images)
        if (image.cx > 0 && image.cx == image.cy && size % image.cx == 0 &&
            (!best || image.cx > best->cx))
            best = &image;
    return best;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fputs("usage: pixmora-make-icons OUTDIR\n", stderr);
        return 1;
    }
    const std::span<const ICONIMAGE> images = LoadIconResource(IDR_MAINFRAME);
    for (const int size : kSizes) {
        const ICONIMAGE* source = SourceFor(images, size);
        const std::string side = std::to_string(size);
        const std::filesystem::path dir =
            std::filesystem::path(argv[1]) / (side + "x" + side) / "apps";
        const std::string path = (dir / "pixmora.png").string();
        // Enlarged by a whole factor, so every source pixel becomes a square.
        CSurface icon(size, size);
        std::error_code error;
        std::filesystem::create_directories(dir, error);
        if (!source || error || !DrawIconImage(source->colorBitmap, source->maskBitmap, icon) ||
            !AfxSavePng(icon, path.c_str())) {
            std::fprintf(stderr, "pixmora-make-icons: cannot write %s\n", path.c_str());
            return 1;
        }
    }
    return 0;
}
