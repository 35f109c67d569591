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

#include "core/File.h"
#include "dib/Dib.h"
#include "gdi/Dc.h"
#include "gdi/Surface.h"
#include "resources/Resources.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QString>

#include <cstdio>
#include <span>

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

// Draws a bitmap file image enlarged by a whole factor over the whole of
// `surface`.
bool DrawOver(std::span<const BYTE> bitmap, CSurface& surface)
{
    CMemFile file(bitmap.data(), bitmap.size());
    CDib dib;
    if (!dib.Read(&file))
        return false;
    const CSize natural = dib.GetDrawnSize(1.0);
    if (natural.cx <= 0 || surface.Width() % natural.cx != 0)
        return false;
    CSurfaceDC dc(&surface);
    return dib.Draw(&dc, 0, 0, static_cast<double>(surface.Width()) / natural.cx) != 0;
}

bool WriteIcon(const ICONIMAGE& source, int size, const QString& path)
{
    CSurface color(size, size);
    CSurface mask(size, size);
    if (!DrawOver(source.colorBitmap, color) || !DrawOver(source.maskBitmap, mask))
        return false;
    // The surfaces' 0xFFRRGGBB words are the image's own layout; a white mask
    // pixel marks a see-through one, which becomes fully transparent black.
    QImage image(size, size, QImage::Format_ARGB32);
    for (int y = 0; y < size; ++y) {
        auto* out = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < size; ++x)
            out[x] = SurfaceColor(mask.Row(y)[x]) == RGB(255, 255, 255) ? 0u : color.Row(y)[x];
    }
    return image.save(path, "PNG");
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fputs("usage: pixmora-make-icons OUTDIR\n", stderr);
        return 1;
    }
    const std::span<const ICONIMAGE> images = LoadIconResource(IDR_MAINFRAME);
    const QString root = QFile::decodeName(argv[1]);
    for (const int size : kSizes) {
        const ICONIMAGE* source = SourceFor(images, size);
        const QString dir = QStringLiteral("%1/%2x%2/apps").arg(root).arg(size);
        const QString path = dir + QStringLiteral("/pixmora.png");
        if (!source || !QDir().mkpath(dir) || !WriteIcon(*source, size, path)) {
            std::fprintf(stderr, "pixmora-make-icons: cannot write %s\n",
                         QFile::encodeName(path).constData());
            return 1;
        }
    }
    return 0;
}
