// The user interface's own pictures, drawn from bitmap file images by the
// drawing layer's own DIB code.

#include "Pictures.h"

#include "gdi/Dc.h"
#include "ui/ResourceProvider.h"

#include <QPixmap>

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace {

constexpr size_t kFileHeaderSize = 14;
// A picture of any larger side is not a user-interface picture.
constexpr LONG kLargestPicture = 4096;

DWORD ReadDword(std::span<const BYTE> bytes, size_t at)
{
    DWORD value;
    std::memcpy(&value, bytes.data() + at, sizeof value);
    return value;
}

DWORD Le32(const BYTE* p)
{
    return p[0] | (DWORD{p[1]} << 8) | (DWORD{p[2]} << 16) | (DWORD{p[3]} << 24);
}

WORD Le16(const BYTE* p)
{
    return static_cast<WORD>(p[0] | (p[1] << 8));
}

// A bitmap file image drawn at width x height onto a surface of that size;
// false when the bytes are not a bitmap the drawing call takes.
bool DrawBitmapFile(std::span<const BYTE> file, CSurface& out)
{
    constexpr size_t kFileHeader = 14;
    if (file.size() < kFileHeader + sizeof(BITMAPINFOHEADER) || file[0] != 'B' || file[1] != 'M')
        return false;
    const BYTE* h = file.data() + kFileHeader;
    BITMAPINFO info{};
    BITMAPINFOHEADER& bih = info.bmiHeader;
    bih.biSize = sizeof(BITMAPINFOHEADER);
    bih.biWidth = static_cast<LONG>(Le32(h + 4));
    bih.biHeight = static_cast<LONG>(Le32(h + 8));
    bih.biPlanes = Le16(h + 12);
    bih.biBitCount = Le16(h + 14);
    bih.biCompression = Le32(h + 16);
    bih.biClrUsed = Le32(h + 32);
    const size_t colors = bih.biBitCount > 8   ? 0
                          : bih.biClrUsed != 0 ? std::min<size_t>(bih.biClrUsed, 256)
                                               : size_t{1} << bih.biBitCount;
    const size_t table = kFileHeader + Le32(h);
    const size_t offBits = Le32(file.data() + 10);
    if (table + colors * 4 > file.size() || offBits > file.size())
        return false;
    for (size_t i = 0; i < colors; ++i) {
        const BYTE* q = file.data() + table + i * 4;
        info.bmiColors[i] = RGBQUAD{q[0], q[1], q[2], 0};
    }
    CSurfaceDC dc(&out);
    return StretchDIBits(dc.GetSafeHdc(), 0, 0, out.Width(), out.Height(), 0, 0, bih.biWidth,
                         std::abs(bih.biHeight), file.data() + offBits, file.size() - offBits,
                         &info, DIB_RGB_COLORS, SRCCOPY) != 0;
}

} // namespace

QImage ImageFromBitmapFile(std::span<const BYTE> file)
{
    if (file.size() < kFileHeaderSize + sizeof(BITMAPINFOHEADER) || file[0] != 'B' ||
        file[1] != 'M')
        return QImage();
    BITMAPINFO info{};
    std::memcpy(&info.bmiHeader, file.data() + kFileHeaderSize, sizeof(BITMAPINFOHEADER));
    const BITMAPINFOHEADER& header = info.bmiHeader;
    if (header.biSize < sizeof(BITMAPINFOHEADER) || header.biWidth <= 0 ||
        header.biWidth > kLargestPicture || header.biHeight == 0 ||
        header.biHeight < -kLargestPicture || header.biHeight > kLargestPicture)
        return QImage();
    size_t colours = header.biClrUsed;
    if (colours == 0 && header.biBitCount <= 8)
        colours = size_t{1} << header.biBitCount;
    if (colours == 0 && header.biCompression == BI_BITFIELDS)
        colours = 3;
    colours = std::min<size_t>(colours, kDibColorEntries);
    const size_t tableAt = kFileHeaderSize + header.biSize;
    const size_t pixelsAt = ReadDword(file, 10);
    if (tableAt > file.size() || colours * sizeof(RGBQUAD) > file.size() - tableAt ||
        pixelsAt >= file.size())
        return QImage();
    std::memcpy(info.bmiColors, file.data() + tableAt, colours * sizeof(RGBQUAD));

    const int width = header.biWidth;
    const int height = header.biHeight < 0 ? -header.biHeight : header.biHeight;
    CSurface surface(width, height);
    const HDC dc = CreateSurfaceDC(&surface);
    const int lines =
        StretchDIBits(dc, 0, 0, width, height, 0, 0, width, height, file.data() + pixelsAt,
                      file.size() - pixelsAt, &info, DIB_RGB_COLORS, SRCCOPY);
    DeleteDC(dc);
    if (lines == 0)
        return QImage();
    return QImage(reinterpret_cast<const uchar*>(surface.Bits()), width, height, width * 4,
                  QImage::Format_RGB32)
        .copy();
}

QIcon IconFromImages(std::span<const ICONIMAGE> images)
{
    QIcon icon;
    for (const ICONIMAGE& image : images) {
        const QImage colour = ImageFromBitmapFile(image.colorBitmap);
        const QImage mask = ImageFromBitmapFile(image.maskBitmap);
        if (colour.isNull() || mask.size() != colour.size())
            continue;
        QImage shown = colour.convertToFormat(QImage::Format_ARGB32);
        for (int y = 0; y < shown.height(); ++y) {
            auto* row = reinterpret_cast<QRgb*>(shown.scanLine(y));
            const auto* bits = reinterpret_cast<const QRgb*>(mask.constScanLine(y));
            for (int x = 0; x < shown.width(); ++x)
                if (qRed(bits[x]) != 0) // a set mask bit: the screen shows through
                    row[x] = 0;
        }
        icon.addPixmap(QPixmap::fromImage(shown));
    }
    return icon;
}

// Draws the largest image of an icon at (0, 0), leaving the pixels its mask
// marks as they were.
void DrawIcon(CSurface& target, const CRect& clip, UINT id, int size)
{
    const std::span<const ICONIMAGE> images = AfxLoadIcon(id);
    if (images.empty())
        return;
    CSurface picture(size, size), mask(size, size, RGB(255, 255, 255));
    if (!DrawBitmapFile(images.front().colorBitmap, picture) ||
        !DrawBitmapFile(images.front().maskBitmap, mask))
        return;
    const int right = std::min({size, target.Width(), static_cast<int>(clip.right)});
    const int bottom = std::min({size, target.Height(), static_cast<int>(clip.bottom)});
    for (int y = std::max(0, static_cast<int>(clip.top)); y < bottom; ++y)
        for (int x = std::max(0, static_cast<int>(clip.left)); x < right; ++x)
            if ((mask.Row(y)[x] & 0xFFFFFF) == 0) // a clear mask bit: the icon shows
                target.Row(y)[x] = picture.Row(y)[x];
}
