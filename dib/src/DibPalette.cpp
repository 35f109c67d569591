// CDibPalette: a logical palette from a bitmap's colour table, and its swatch grid.

#include "dib/DibPalette.h"

#include "dib/Dib.h"

#include <algorithm>
#include <climits>
#include <cstddef>
#include <cstdlib>
#include <memory>

namespace {

constexpr WORD kPaletteVersion = 0x300;
constexpr int kGridSide = 16;

// Where line `i` of 16 falls across an extent, one past it: the edge a cell
// ends on. Held within int for extents near its limit.
int CellEnd(LONGLONG extent, int i)
{
    return static_cast<int>(
        std::clamp<LONGLONG>(extent * (i + 1) / kGridSide + 1, INT_MIN, INT_MAX));
}

} // namespace

BOOL CDibPalette::Create(CDib* dib)
{
    const int first = DibMaskEntries(dib->m_pInfo->bmiHeader);
    // The table holds 256 entries whatever count the header claims.
    const int count = std::min(dib->GetColorCount(), kDibColorEntries - first);
    if (count <= 0)
        return FALSE;

    // The record's header with its one built-in entry, then the rest.
    const size_t bytes = sizeof(LOGPALETTE) + count * sizeof(PALETTEENTRY);
    std::unique_ptr<LOGPALETTE, decltype(&std::free)> record(
        static_cast<LOGPALETTE*>(std::malloc(bytes)), &std::free);
    if (!record)
        return FALSE;
    record->palVersion = kPaletteVersion;
    record->palNumEntries = static_cast<WORD>(count);
    // The entries run on past the record's declared one-entry array.
    auto* entries = reinterpret_cast<PALETTEENTRY*>(reinterpret_cast<BYTE*>(record.get()) +
                                                    offsetof(LOGPALETTE, palPalEntry));
    for (int i = 0; i < count; ++i) {
        const RGBQUAD& c = dib->m_pInfo->bmiColors[first + i];
        entries[i] = PALETTEENTRY{c.rgbRed, c.rgbGreen, c.rgbBlue, 0};
    }
    return Attach(::CreatePalette(record.get()));
}

int CDibPalette::GetNumEntries() const
{
    // The platform writes a 16-bit count into the first two bytes.
    DWORD count = 0;
    if (!::GetObjectA(*this, sizeof count, &count))
        return 0;
    return static_cast<int>(count);
}

void CDibPalette::DrawGrid(CDC* dc, const CRect* rect, BOOL forceBackground)
{
    int remaining = GetNumEntries();
    CPalette* previous = dc->SelectPalette(this, forceBackground);
    dc->RealizePalette();

    // The grid starts at the origin whatever the rectangle's left and top.
    const LONG width = rect->right;
    const LONG height = rect->bottom;
    // Each cell's outline starts one pixel before the area's own edge, on the
    // line the previous cell ends on; the outer outline falls just outside.
    int top = -1;
    for (int row = 0; row < kGridSide && remaining > 0; ++row) {
        const int bottom = CellEnd(height, row);
        int left = -1;
        for (int column = 0; column < kGridSide && remaining > 0; ++column) {
            const int right = CellEnd(width, column);
            CBrush brush(PALETTEINDEX(static_cast<WORD>(row * kGridSide + column)));
            CBrush* oldBrush = dc->SelectObject(&brush);
            dc->Rectangle(left, top, right, bottom);
            dc->SelectObject(oldBrush);
            --remaining;
            left = right - 1;
        }
        top = bottom - 1;
    }
    dc->SelectPalette(previous, FALSE);
}
