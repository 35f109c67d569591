#pragma once

// Builds a logical palette for tests: `count` entries, entry i = color(i).

#include "gdi/Gdi.h"

#include <cstddef>
#include <vector>

template <typename ColorOf>
HPALETTE MakePalette(int count, ColorOf color)
{
    std::vector<BYTE> block(sizeof(LOGPALETTE) + count * sizeof(PALETTEENTRY));
    auto* record = reinterpret_cast<LOGPALETTE*>(block.data());
    record->palVersion = 0x300;
    record->palNumEntries = static_cast<WORD>(count);
    // The entries run on past the record's declared one-entry array.
    auto* entries =
        reinterpret_cast<PALETTEENTRY*>(block.data() + offsetof(LOGPALETTE, palPalEntry));
    for (int i = 0; i < count; ++i)
        entries[i] = color(i);
    return CreatePalette(record);
}
