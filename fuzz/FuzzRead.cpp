// The reader alone: any bytes either load or are refused, and what loads is
// self-consistent enough for the callers that measure it.

#include "FuzzInput.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    CDib dib;
    if (!ReadBitmap(dib, data, size))
        return 0;
    (void)dib.GetColorCount();
    (void)dib.GetDrawnSize(8.0);
    (void)dib.GetDrawnSize(0.125);
    // The pixel block is never larger than the input that filled it.
    if (dib.m_cbPixels > size)
        __builtin_trap();
    return 0;
}
