#pragma once

// The logical palette of a bitmap's colour table, and its picture as a grid
// of 16 x 16 swatches.

#include "core/Geometry.h"
#include "gdi/Dc.h"

class CDib;

class CDibPalette : public CPalette
{
public:
    CDibPalette() = default;

    // Builds the palette from the bitmap's colour table: as many entries as
    // its colour count, at most 256, taken after the masks of a bit-field
    // bitmap. FALSE for a bitmap without colours, the object staying empty.
    BOOL Create(CDib* dib);

    // The entry count the platform reports; 0 for an empty object.
    int GetNumEntries() const;

    // Draws one swatch per entry, row by row, over the area from (0, 0) to the
    // rectangle's right and bottom; neighbouring cells share a one-pixel
    // outline in the context's pen. The context keeps its palette and brush.
    void DrawGrid(CDC* dc, const CRect* rect, BOOL forceBackground);
};
