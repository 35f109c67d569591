// The user interface's own pictures: bitmap file images among the resources,
// read and drawn by the same code as the files a user opens, made into what Qt
// and the dialogs show; and surfaces written out as PNG files.

#include "Pictures.h"

#include "gdi/DibFile.h"
#include "ui/ImageFile.h"
#include "ui/ResourceProvider.h"

#include <QFile>
#include <QPixmap>

#include <algorithm>

namespace {

// The surface's words are QImage's own 32-bit layout, alpha in the top byte.
QImage ImageOf(const CSurface& surface, QImage::Format format)
{
    return QImage(reinterpret_cast<const uchar*>(surface.Bits()), surface.Width(), surface.Height(),
                  surface.Width() * 4, format)
        .copy();
}

} // namespace

QImage ImageFromBitmapFile(std::span<const BYTE> file)
{
    const SIZE size = DibFileSize(file);
    CSurface surface(size.cx, size.cy);
    if (size.cx == 0 || !DrawDibFile(file, surface))
        return QImage();
    return ImageOf(surface, QImage::Format_RGB32);
}

QIcon IconFromImages(std::span<const ICONIMAGE> images)
{
    QIcon icon;
    for (const ICONIMAGE& image : images) {
        CSurface shown(image.cx, image.cy);
        if (image.cx > 0 && image.cy > 0 &&
            DrawIconImage(image.colorBitmap, image.maskBitmap, shown))
            icon.addPixmap(QPixmap::fromImage(ImageOf(shown, QImage::Format_ARGB32)));
    }
    return icon;
}

void DrawIcon(CSurface& target, const CRect& clip, UINT id, int size)
{
    const std::span<const ICONIMAGE> images = AfxLoadIcon(id);
    CSurface picture(size, size);
    if (images.empty() ||
        !DrawIconImage(images.front().colorBitmap, images.front().maskBitmap, picture))
        return;
    const int right = std::min({size, target.Width(), static_cast<int>(clip.right)});
    const int bottom = std::min({size, target.Height(), static_cast<int>(clip.bottom)});
    for (int y = std::max(0, static_cast<int>(clip.top)); y < bottom; ++y)
        for (int x = std::max(0, static_cast<int>(clip.left)); x < right; ++x)
            if (picture.Row(y)[x] != 0) // not see-through
                target.Row(y)[x] = picture.Row(y)[x];
}

BOOL AfxSavePng(const CSurface& surface, LPCSTR path)
{
    return ImageOf(surface, QImage::Format_ARGB32).save(QFile::decodeName(path), "PNG");
}
