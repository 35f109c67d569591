// Handle level: the calls of gdi/Gdi.h on device contexts, brushes and pens.

#include "HandleObjects.h"

#include <algorithm>
#include <unordered_set>

namespace {

std::unordered_set<HGDIOBJ>& LiveObjects()
{
    static std::unordered_set<HGDIOBJ> objects;
    return objects;
}

// Objects deleted while selected somewhere: they go when the last context lets
// them go, as a wrapper destroyed before the context is deselected expects.
std::unordered_set<HGDIOBJ>& PendingDeletes()
{
    static std::unordered_set<HGDIOBJ> objects;
    return objects;
}

std::unordered_set<HDC>& LiveDCs()
{
    static std::unordered_set<HDC> dcs;
    return dcs;
}

// The brush and pen every context starts with; like the default palette they
// live for the whole run.
BrushObject* WhiteBrush()
{
    static BrushObject* brush = [] {
        auto* b = new BrushObject;
        LiveObjects().insert(b);
        return b;
    }();
    return brush;
}

PenObject* BlackPen()
{
    static PenObject* pen = [] {
        auto* p = new PenObject;
        LiveObjects().insert(p);
        return p;
    }();
    return pen;
}

bool IsStockObject(HGDIOBJ object)
{
    return object == WhiteBrush() || object == BlackPen() || object == GetDefaultPalette();
}

bool IsSelectedAnywhere(HGDIOBJ object)
{
    return std::any_of(LiveDCs().begin(), LiveDCs().end(), [&](HDC dc) {
        return dc->palette == object || dc->brush == object || dc->pen == object;
    });
}

void DeleteNow(HGDIOBJ object)
{
    if (auto* palette = dynamic_cast<PaletteObject*>(object))
        ReleasePaletteSlots(palette);
    LiveObjects().erase(object);
    PendingDeletes().erase(object);
    delete object;
}

// A logical rectangle in surface pixels, cut to the clip; empty when nothing
// of it is visible. Worked in 64 bits: logical coordinates plus the origin
// may leave the 32-bit range.
RECT VisiblePart(const HDC__& dc, LONGLONG left, LONGLONG top, LONGLONG right, LONGLONG bottom)
{
    const LONGLONG l = std::max<LONGLONG>(left + dc.origin.x, dc.clip.left);
    const LONGLONG t = std::max<LONGLONG>(top + dc.origin.y, dc.clip.top);
    const LONGLONG r = std::min<LONGLONG>(right + dc.origin.x, dc.clip.right);
    const LONGLONG b = std::min<LONGLONG>(bottom + dc.origin.y, dc.clip.bottom);
    if (l >= r || t >= b)
        return RECT{0, 0, 0, 0};
    return RECT{static_cast<LONG>(l), static_cast<LONG>(t), static_cast<LONG>(r),
                static_cast<LONG>(b)};
}

void FillSurfaceRect(HDC__& dc, const RECT& r, DWORD pixel)
{
    for (LONG y = r.top; y < r.bottom; ++y)
        std::fill(dc.surface->Row(y) + r.left, dc.surface->Row(y) + r.right, pixel);
}

} // namespace

bool IsLiveObject(HGDIOBJ object)
{
    return object && LiveObjects().count(object) != 0 && PendingDeletes().count(object) == 0;
}
bool IsLiveDC(HDC hdc)
{
    return hdc && LiveDCs().count(hdc) != 0;
}

bool Deselected(HGDIOBJ object)
{
    if (!PendingDeletes().count(object) || IsSelectedAnywhere(object))
        return false;
    DeleteNow(object);
    return true;
}

void RegisterObject(HGDIOBJ object)
{
    LiveObjects().insert(object);
}

HDC CreateSurfaceDC(CSurface* surface)
{
    if (!surface)
        return nullptr;
    auto* dc = new HDC__;
    dc->surface = surface;
    dc->clip = RECT{0, 0, surface->Width(), surface->Height()};
    dc->palette = AsPalette(GetDefaultPalette());
    dc->brush = WhiteBrush();
    dc->pen = BlackPen();
    LiveDCs().insert(dc);
    return dc;
}

BOOL DeleteDC(HDC hdc)
{
    if (!IsLiveDC(hdc))
        return FALSE;
    LiveDCs().erase(hdc);
    ForgetWrapper(hdc);
    const HGDIOBJ held[] = {hdc->palette, hdc->brush, hdc->pen};
    delete hdc;
    for (HGDIOBJ object : held)
        Deselected(object);
    return TRUE;
}

BOOL SetViewportOrgEx(HDC hdc, int x, int y, POINT* previous)
{
    if (!IsLiveDC(hdc))
        return FALSE;
    if (previous)
        *previous = hdc->origin;
    hdc->origin = POINT{x, y};
    return TRUE;
}

BOOL SetDeviceClipRect(HDC hdc, const RECT* surfaceRect)
{
    if (!IsLiveDC(hdc))
        return FALSE;
    const CRect whole(0, 0, hdc->surface->Width(), hdc->surface->Height());
    CRect clip = whole;
    if (surfaceRect)
        clip.IntersectRect(whole, *surfaceRect);
    hdc->clip = clip;
    return !clip.IsRectEmpty();
}

BOOL GetClipBox(HDC hdc, RECT* logicalRect)
{
    if (!IsLiveDC(hdc) || !logicalRect)
        return FALSE;
    CRect box(hdc->clip.left, hdc->clip.top, hdc->clip.right, hdc->clip.bottom);
    box.OffsetRect(-hdc->origin.x, -hdc->origin.y);
    *logicalRect = box;
    return !box.IsRectEmpty();
}

HBRUSH CreateSolidBrush(COLORREF color)
{
    auto* brush = new BrushObject;
    brush->color = color;
    RegisterObject(brush);
    return brush;
}

HPEN CreatePen(int style, int, COLORREF color)
{
    // Pens are one pixel wide: nothing here draws wider outlines.
    auto* pen = new PenObject;
    pen->style = style == PS_NULL ? PS_NULL : PS_SOLID;
    pen->color = color;
    RegisterObject(pen);
    return pen;
}

BOOL DeleteObject(HGDIOBJ object)
{
    if (!IsLiveObject(object))
        return FALSE;
    // Stock objects live for ever; deleting one is harmless and does nothing.
    if (IsStockObject(object))
        return TRUE;
    ForgetWrapper(object);
    if (IsSelectedAnywhere(object))
        PendingDeletes().insert(object);
    else
        DeleteNow(object);
    return TRUE;
}

HBRUSH SelectObject(HDC hdc, HBRUSH brush)
{
    if (!IsLiveDC(hdc) || !IsLiveObject(brush))
        return nullptr;
    HBRUSH previous = hdc->brush;
    hdc->brush = AsBrush(brush);
    return Deselected(previous) ? nullptr : previous;
}

HPEN SelectObject(HDC hdc, HPEN pen)
{
    if (!IsLiveDC(hdc) || !IsLiveObject(pen))
        return nullptr;
    HPEN previous = hdc->pen;
    hdc->pen = AsPen(pen);
    return Deselected(previous) ? nullptr : previous;
}

DWORD ResolveColor(const HDC__& dc, COLORREF color)
{
    constexpr DWORD kPaletteIndex = 0x01;
    if (color >> 24 == kPaletteIndex) {
        const auto& entries = dc.palette->entries;
        const size_t index = std::min<size_t>(color & 0xFFFF, entries.size() - 1);
        const PALETTEENTRY& e = entries[index];
        return SurfacePixel(RGB(e.peRed, e.peGreen, e.peBlue));
    }
    return SurfacePixel(color & 0x00FFFFFF);
}

BOOL Rectangle(HDC hdc, int left, int top, int right, int bottom)
{
    if (!IsLiveDC(hdc))
        return FALSE;
    if (right < left)
        std::swap(left, right);
    if (bottom < top)
        std::swap(top, bottom);
    HDC__& dc = *hdc;
    const DWORD fill = ResolveColor(dc, dc.brush->color);
    if (dc.pen->style == PS_NULL) {
        FillSurfaceRect(dc, VisiblePart(dc, left, top, right, bottom), fill);
        return TRUE;
    }
    const LONGLONG l = left, t = top, r = right, b = bottom;
    FillSurfaceRect(dc, VisiblePart(dc, l + 1, t + 1, r - 1, b - 1), fill);
    const DWORD line = ResolveColor(dc, dc.pen->color);
    FillSurfaceRect(dc, VisiblePart(dc, l, t, r, t + 1), line); // top edge
    FillSurfaceRect(dc, VisiblePart(dc, l, b - 1, r, b), line); // bottom edge
    FillSurfaceRect(dc, VisiblePart(dc, l, t, l + 1, b), line); // left edge
    FillSurfaceRect(dc, VisiblePart(dc, r - 1, t, r, b), line); // right edge
    return TRUE;
}

int FillRect(HDC hdc, const RECT* rect, HBRUSH brush)
{
    if (!IsLiveDC(hdc) || !rect || !IsLiveObject(brush))
        return 0;
    FillSurfaceRect(*hdc, VisiblePart(*hdc, rect->left, rect->top, rect->right, rect->bottom),
                    ResolveColor(*hdc, AsBrush(brush)->color));
    return 1;
}

COLORREF GetPixel(HDC hdc, int x, int y)
{
    if (!IsLiveDC(hdc))
        return CLR_INVALID;
    const RECT r = VisiblePart(*hdc, x, y, LONGLONG{x} + 1, LONGLONG{y} + 1);
    if (r.left == r.right)
        return CLR_INVALID;
    return SurfaceColor(hdc->surface->Row(r.top)[r.left]);
}
