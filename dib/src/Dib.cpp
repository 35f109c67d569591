// CDib: the blank bitmap, the blocks it owns, drawing and the colour count.

#include "dib/Dib.h"

#include "Blocks.h"
#include "core/Endian.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <new>

namespace {

constexpr DWORD kCoreHeaderSize = 12;

// Pixel bytes of a blank 8-bit bitmap, 0 for sizes that have no valid block.
size_t BlankPixelBytes(int width, int height)
{
    if (width < 0 || height < 0)
        return 0;
    const LONGLONG bytes = DibRowStride(width, 8) * height;
    return bytes > INT_MAX ? 0 : static_cast<size_t>(bytes);
}

} // namespace

CDib::CDib() : m_pInfo(nullptr), m_pPixels(nullptr), m_cbPixels(0)
{
    if (!Create(16, 16))
        throw std::bad_alloc();
}

CDib::~CDib()
{
    std::free(m_pInfo);
    if (!m_pixelView)
        std::free(m_pPixels);
}

BOOL CDib::Create(int width, int height)
{
    const size_t cbPixels = BlankPixelBytes(width, height);
    InfoBlock info = NewInfoBlock();
    PixelBlock pixels = NewPixelBlock(cbPixels);
    if (!info || !pixels)
        return FALSE;
    std::memset(pixels.get(), 0, cbPixels);

    BITMAPINFOHEADER& h = info->bmiHeader;
    h.biSize = sizeof(BITMAPINFOHEADER);
    h.biWidth = width;
    h.biHeight = height;
    h.biPlanes = 1;
    h.biBitCount = 8;
    for (int i = 0; i < kDibColorEntries; ++i) {
        const BYTE level = static_cast<BYTE>(i);
        info->bmiColors[i] = RGBQUAD{level, level, level, 0};
    }
    Install(info.release(), pixels.release(), cbPixels);
    return TRUE;
}

void CDib::Install(BITMAPINFO* info, BYTE* pixels, size_t cbPixels, std::unique_ptr<CFileView> view)
{
    std::free(m_pInfo);
    m_pInfo = info;
    if (!m_pixelView)
        std::free(m_pPixels);
    m_pixelView = std::move(view);
    m_pPixels = pixels;
    m_cbPixels = cbPixels;
    m_rowIndex.Reset();
}

int CDib::Draw(CDC* dc, int x, int y)
{
    return Draw(dc, x, y, 1.0);
}

int CDib::Draw(CDC* dc, int x, int y, double scale)
{
    // The drawing call wants the picture's extent and finds the row order in
    // the header itself.
    const CSize source = GetDrawnSize(1.0);
    const CSize dest = GetDrawnSize(scale);
    return StretchDIBitsIndexed(dc ? dc->GetSafeHdc() : nullptr, x, y, dest.cx, dest.cy, 0, 0,
                                source.cx, source.cy, m_pPixels, m_cbPixels, m_pInfo,
                                DIB_RGB_COLORS, SRCCOPY, &m_rowIndex);
}

CSize CDib::GetDrawnSize(double scale) const
{
    const LONG storedHeight = m_pInfo->bmiHeader.biHeight;
    const int height = storedHeight == INT_MIN ? INT_MAX : std::abs(storedHeight);
    return {ScaleDimension(m_pInfo->bmiHeader.biWidth, scale), ScaleDimension(height, scale)};
}

int ScaleDimension(int dimension, double scale)
{
    const double scaled = std::trunc(dimension * scale);
    if (std::isnan(scaled))
        return 0;
    return static_cast<int>(std::clamp<double>(scaled, INT_MIN, INT_MAX));
}

int CDib::GetColorCount() const
{
    return DibColorCount(m_pInfo);
}

BOOL IsInfoHeader(const void* header)
{
    return LoadLE32(static_cast<const BYTE*>(header)) != kCoreHeaderSize;
}

int DibColorCount(const void* header)
{
    const BYTE* bytes = static_cast<const BYTE*>(header);
    const bool info = IsInfoHeader(header);
    const WORD bitCount = LoadLE16(bytes + (info ? 14 : 10));
    if (info) {
        // A file may claim any number here; an int cannot hold more than INT_MAX.
        const DWORD used = LoadLE32(bytes + 32);
        if (used != 0)
            return used > INT_MAX ? INT_MAX : static_cast<int>(used);
    }
    return DibImpliedColors(bitCount);
}
