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

// Not cleared: a large block is mostly read over, and clearing it first costs
// as much as a second pass over the file. Whoever fills it clears what it
// leaves unfilled. Never a null pointer for a size of 0. Released with free.
//
// A large block is fresh memory from the kernel, and faulting it in page by
// page costs several times the read that fills it; it is therefore placed on
// huge-page boundaries and the kernel is asked for huge pages there.
PixelBlock NewPixelBlock(size_t size);
