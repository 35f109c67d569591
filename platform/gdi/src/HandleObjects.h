#pragma once

// Handle level, private: what each handle points at, and the registry of live handles.

#include "gdi/Gdi.h"

#include <vector>

struct PaletteObject final : HPALETTE__
{
    std::vector<PALETTEENTRY> entries; // never empty
};

struct BrushObject final : HBRUSH__
{
    COLORREF color = RGB(255, 255, 255);
};

struct PenObject final : HPEN__
{
    int style = PS_SOLID;
    COLORREF color = RGB(0, 0, 0);
};

struct HDC__
{
    CSurface* surface = nullptr;
    POINT origin{0, 0};    // surface pixel of logical (0, 0)
    RECT clip{0, 0, 0, 0}; // surface pixels that drawing may change; inside the surface
    PaletteObject* palette = nullptr;
    bool paletteBackground = false;
    BrushObject* brush = nullptr;
    PenObject* pen = nullptr;
};

// Every handle that exists, so that a stale or foreign one is refused rather
// than followed.
bool IsLiveObject(HGDIOBJ object);
bool IsLiveDC(HDC hdc);
void RegisterObject(HGDIOBJ object);
// A context let go of `object`: finishes a delete that waited for that.
// True when the object is gone.
bool Deselected(HGDIOBJ object);
void ReleasePaletteSlots(const PaletteObject* palette); // from the system palette
void ForgetWrapper(const void* handle);                 // drops a FromHandle wrapper

// A colour as the context draws it: palette-index colours through its palette.
DWORD ResolveColor(const HDC__& dc, COLORREF color);

inline PaletteObject* AsPalette(HPALETTE h)
{
    return static_cast<PaletteObject*>(h);
}
inline BrushObject* AsBrush(HBRUSH h)
{
    return static_cast<BrushObject*>(h);
}
inline PenObject* AsPen(HPEN h)
{
    return static_cast<PenObject*>(h);
}
