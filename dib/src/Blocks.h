#pragma once

// Owners for a bitmap's two raw heap blocks while they are being built, so
// that an early return or an exception releases them.

#include "gdi/DibFormat.h"

#include <cstdlib>
#include <memory>

struct FreeBlock
{
    void operator()(void* block) const noexcept { std::free(block); }
};

using InfoBlock = std::unique_ptr<BITMAPINFO, FreeBlock>;
using PixelBlock = std::unique_ptr<BYTE, FreeBlock>;

// Comes cleared, so entries that nothing fills never show old heap contents.
inline InfoBlock NewInfoBlock()
{
    return InfoBlock(static_cast<BITMAPINFO*>(std::calloc(1, sizeof(BITMAPINFO))));
}

// Not cleared: a block is mostly read over, and clearing it first costs as
// much as a second pass over the file. Whoever fills it clears what it leaves
// unfilled. Never a null pointer for a size of 0. Released with free.
inline PixelBlock NewPixelBlock(size_t size)
{
    return PixelBlock(static_cast<BYTE*>(std::malloc(size ? size : 1)));
}
