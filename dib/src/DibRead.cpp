// Reading a bitmap file image into a CDib.
//
// Layout, all little-endian, offsets from the image's first byte:
//   0   file header, 14 bytes: "BM", file size, two reserved words, offset of the pixels
//   14  bitmap header, its size in its first 4 bytes
//   14 + header size: colour table (after bit-field headers: the masks first)
//   offset of the pixels: the pixel data

#include "Blocks.h"
#include "core/Endian.h"
#include "dib/Dib.h"

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
    // goes, which may be anywhere up to 64 bytes; 4-byte colour entries.
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
        // 17 to 39 would cut an info field in two; such headers are not seen
        // in real files, so they are refused rather than guessed at.
        return size == 16 || (size > kInfoHeaderSize && size <= 64) ? HeaderKind::Os2
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
    const int count = DibColorCount(&info.bmiHeader);
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
    const DWORD compression = info.bmiHeader.biCompression;
    DWORD masks = 0;
    if (kind == HeaderKind::Info && headerSize > kInfoHeaderSize &&
        (compression == BI_BITFIELDS || compression == BI_ALPHABITFIELDS)) {
        const DWORD wanted = compression == BI_ALPHABITFIELDS ? 4 : 3;
        masks = std::min(wanted, (headerSize - kInfoHeaderSize) / kMaskSize);
    }
    auto* table = reinterpret_cast<BYTE*>(info.bmiColors);
    std::memcpy(table, header + kInfoHeaderSize, masks * kMaskSize);
    file->Read(table + masks * kMaskSize, (kDibColorEntries - masks) * sizeof(RGBQUAD));
}

} // namespace

BOOL CDib::Read(CFile* file)
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

    InfoBlock info = NewInfoBlock();
    if (!info)
        return FALSE;
    if (kind == HeaderKind::Core) {
        info->bmiHeader = DecodeCoreHeader(header);
        ReadCoreColourTable(file, *info);
    } else {
        info->bmiHeader = DecodeInfoHeader(header);
        ReadColourTable(file, kind, header, headerSize, *info);
    }

    // The file size field sizes the pixel data, but writers often get it
    // wrong: 0, or the size of the headers alone. When it falls short of the
    // pixel offset the data runs to the end of the file. Either way the block
    // never claims more bytes than the file holds, so a small file cannot
    // make us allocate gigabytes.
    const ULONGLONG pixelStart = start + pixelOffset;
    const ULONGLONG length = file->GetLength();
    const ULONGLONG held = length > pixelStart ? length - pixelStart : 0;
    const ULONGLONG claimed = fileSize >= pixelOffset ? fileSize - pixelOffset : held;
    const ULONGLONG cbPixels = std::min({claimed, held, ULONGLONG{UINT_MAX}});

    // A large uncompressed block is used where it lies in the page cache:
    // drawing reads only the rows it shows, so the first frame costs what its
    // window costs, whatever the file's size. Run-length streams are copied,
    // as their row index relies on bytes that cannot change under it.
    const DWORD compression = info->bmiHeader.biCompression;
    if (cbPixels >= kDibViewBytes && compression != BI_RLE8 && compression != BI_RLE4) {
        if (std::unique_ptr<CFileView> view = file->MapView(pixelStart, cbPixels)) {
            BYTE* pixels = const_cast<BYTE*>(view->GetData()); // read-only, never written
            Install(info.release(), pixels, cbPixels, std::move(view));
            return TRUE;
        }
    }

    PixelBlock pixels = NewPixelBlock(cbPixels);
    if (!pixels)
        return FALSE;
    UINT delivered = 0;
    if (cbPixels > 0) {
        file->Seek(static_cast<LONGLONG>(pixelStart), CFile::begin);
        delivered = file->Read(pixels.get(), static_cast<UINT>(cbPixels));
    }
    // The file can shrink between measuring and reading: what it did not
    // deliver is cleared, never left as old heap contents.
    std::memset(pixels.get() + delivered, 0, cbPixels - delivered);

    Install(info.release(), pixels.release(), cbPixels);
    return TRUE;
}
