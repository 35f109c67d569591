// Bitmap file images: the headers and colour table, read by one set of rules,
// and pictures held in memory drawn from them.
//
// Layout, all little-endian, offsets from the image's first byte:
//   0   file header, 14 bytes: "BM", file size, two reserved words, offset of the pixels
//   14  bitmap header, its size in its first 4 bytes
//   14 + header size: colour table (after bit-field headers: the masks first)
//   offset of the pixels: the pixel data

#include "gdi/DibFile.h"

#include "core/Endian.h"
#include "gdi/Gdi.h"

#include <algorithm>
#include <climits>
#include <cstring>

namespace {

constexpr WORD kMagic = 0x4D42; // "BM"
constexpr DWORD kFileHeaderSize = 14;
constexpr DWORD kCoreHeaderSize = 12;
constexpr DWORD kInfoHeaderSize = 40;
constexpr DWORD kLargestHeaderSize = 124;
constexpr DWORD kMaskSize = 4;

enum class HeaderKind
{
    Refused,
    // The oldest header: 16-bit dimensions, then 3-byte colour entries.
    Core,
    // 40 bytes, or a later version that extends it: 52 and 56 add the colour
    // masks (56 with alpha), 108 and 124 add colour-space data on top.
    Info,
    // The second OS/2 header: the info header's fields for as far as its size
    // goes, 16 bytes or more up to 64; 4-byte colour entries.
    Os2,
};

HeaderKind ClassifyHeader(DWORD size)
{
    switch (size) {
    case kCoreHeaderSize:
        return HeaderKind::Core;
    case 40:
    case 52:
    case 56:
    case 108:
    case 124:
        return HeaderKind::Info;
    default:
        // Writers shorten it after any whole field; a size that cuts a field
        // in two is not seen in real files and is refused rather than guessed at.
        return (size >= 16 && size < kInfoHeaderSize && size % 4 == 0) ||
                       (size > kInfoHeaderSize && size <= 64)
                   ? HeaderKind::Os2
                   : HeaderKind::Refused;
    }
}

BITMAPINFOHEADER DecodeCoreHeader(const BYTE* h)
{
    BITMAPINFOHEADER out{};
    out.biSize = kInfoHeaderSize;
    out.biWidth = LoadLE16(h + 4); // unsigned 16-bit: never negative
    out.biHeight = LoadLE16(h + 6);
    out.biPlanes = LoadLE16(h + 8);
    out.biBitCount = LoadLE16(h + 10);
    return out;
}

// The first 40 bytes of an info or OS/2 header; fields past a short header's
// end read as 0 because the buffer was cleared.
BITMAPINFOHEADER DecodeInfoHeader(const BYTE* h)
{
    BITMAPINFOHEADER out{};
    out.biSize = kInfoHeaderSize;
    out.biWidth = LoadLE32Signed(h + 4);
    out.biHeight = LoadLE32Signed(h + 8);
    out.biPlanes = LoadLE16(h + 12);
    out.biBitCount = LoadLE16(h + 14);
    out.biCompression = LoadLE32(h + 16);
    out.biSizeImage = LoadLE32(h + 20);
    out.biXPelsPerMeter = LoadLE32Signed(h + 24);
    out.biYPelsPerMeter = LoadLE32Signed(h + 28);
    out.biClrUsed = LoadLE32(h + 32);
    out.biClrImportant = LoadLE32(h + 36);
    return out;
}

// Core colour entries are 3 bytes (blue, green, red), as many as the bit
// count implies; they read straight on after the header.
void ReadCoreColourTable(CFile* file, BITMAPINFO& info)
{
    const int count = DibImpliedColors(info.bmiHeader.biBitCount);
    BYTE triples[3 * kDibColorEntries] = {};
    file->Read(triples, static_cast<UINT>(3 * count));
    for (int i = 0; i < count; ++i) {
        const BYTE* t = triples + 3 * i;
        info.bmiColors[i] = RGBQUAD{t[0], t[1], t[2], 0};
    }
}

// The 256 colour entries after an info or OS/2 header, read straight on. A
// longer info header holds its bit-field masks itself; they go into the first
// entries, where a 40-byte header's masks land from the file, so that every
// bit-field bitmap has its masks in the same place.
void ReadColourTable(CFile* file, HeaderKind kind, const BYTE* header, DWORD headerSize,
                     BITMAPINFO& info)
{
    DWORD masks = 0;
    if (kind == HeaderKind::Info && headerSize > kInfoHeaderSize)
        masks = std::min(static_cast<DWORD>(DibMaskEntries(info.bmiHeader)),
                         (headerSize - kInfoHeaderSize) / kMaskSize);
    auto* table = reinterpret_cast<BYTE*>(info.bmiColors);
    std::memcpy(table, header + kInfoHeaderSize, masks * kMaskSize);
    file->Read(table + masks * kMaskSize, (kDibColorEntries - masks) * sizeof(RGBQUAD));
}

} // namespace

BOOL ReadDibHeaders(CFile* file, BITMAPINFO& info, DibPixelRange& pixels)
{
    const ULONGLONG start = file->GetPosition();

    BYTE fileHeader[kFileHeaderSize] = {};
    file->Read(fileHeader, sizeof fileHeader);
    if (LoadLE16(fileHeader) != kMagic)
        return FALSE;
    const DWORD fileSize = LoadLE32(fileHeader + 2);
    const DWORD pixelOffset = LoadLE32(fileHeader + 10);

    BYTE header[kLargestHeaderSize] = {};
    file->Read(header, 4);
    const DWORD headerSize = LoadLE32(header);
    const HeaderKind kind = ClassifyHeader(headerSize);
    if (kind == HeaderKind::Refused)
        return FALSE;
    file->Read(header + 4, headerSize - 4);

    info = BITMAPINFO{};
    if (kind == HeaderKind::Core) {
        info.bmiHeader = DecodeCoreHeader(header);
        ReadCoreColourTable(file, info);
    } else {
        info.bmiHeader = DecodeInfoHeader(header);
        ReadColourTable(file, kind, header, headerSize, info);
    }

    // The file size field sizes the pixel data, but writers often get it
    // wrong: 0, or the size of the headers alone. When it falls short of the
    // pixel offset the data runs to the end of the file. Either way the block
    // never claims more bytes than the file holds, so a small file cannot
    // make a reader allocate gigabytes.
    pixels.start = start + pixelOffset;
    const ULONGLONG length = file->GetLength();
    const ULONGLONG held = length > pixels.start ? length - pixels.start : 0;
    const ULONGLONG claimed = fileSize >= pixelOffset ? fileSize - pixelOffset : held;
    pixels.size = std::min({claimed, held, ULONGLONG{UINT_MAX}});
    return TRUE;
}

SIZE DibFileSize(std::span<const BYTE> image)
{
    CMemFile file(image.data(), image.size());
    BITMAPINFO info;
    DibPixelRange pixels;
    if (!ReadDibHeaders(&file, info, pixels))
        return SIZE{0, 0};
    const BITMAPINFOHEADER& h = info.bmiHeader;
    if (h.biWidth <= 0 || h.biHeight == 0 || h.biHeight == INT_MIN)
        return SIZE{0, 0};
    return SIZE{h.biWidth, h.biHeight < 0 ? -h.biHeight : h.biHeight};
}

BOOL DrawDibFile(std::span<const BYTE> image, CSurface& surface)
{
    CMemFile file(image.data(), image.size());
    BITMAPINFO info;
    DibPixelRange pixels;
    if (!ReadDibHeaders(&file, info, pixels))
        return FALSE;
    // A block of any size lies inside the image; an empty one may start past its end.
    const BYTE* bits = pixels.size > 0 ? image.data() + pixels.start : image.data();
    const LONG height = info.bmiHeader.biHeight;
    const HDC dc = CreateSurfaceDC(&surface);
    const int lines = StretchDIBits(dc, 0, 0, surface.Width(), surface.Height(), 0, 0,
                                    info.bmiHeader.biWidth, height < 0 ? -height : height, bits,
                                    pixels.size, &info, DIB_RGB_COLORS, SRCCOPY);
    DeleteDC(dc);
    return lines != 0;
}

BOOL DrawIconImage(std::span<const BYTE> colour, std::span<const BYTE> mask, CSurface& surface)
{
    CSurface maskSurface(surface.Width(), surface.Height());
    if (!DrawDibFile(colour, surface) || !DrawDibFile(mask, maskSurface))
        return FALSE;
    DWORD* out = surface.Bits();
    const DWORD* bits = maskSurface.Bits();
    const size_t count = static_cast<size_t>(surface.Width()) * surface.Height();
    for (size_t i = 0; i < count; ++i)
        if ((bits[i] & 0xFFFFFFu) != 0) // a set mask bit: the screen shows through
            out[i] = 0;
    return TRUE;
}
