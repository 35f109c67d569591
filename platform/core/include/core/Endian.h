#pragma once

// Little-endian loads from byte buffers. File data is always decoded through
// these, never by casting bytes to a struct.

#include "core/Types.h"

constexpr WORD LoadLE16(const BYTE* p)
{
    return static_cast<WORD>(p[0] | (p[1] << 8));
}

constexpr DWORD LoadLE32(const BYTE* p)
{
    return static_cast<DWORD>(p[0]) | (static_cast<DWORD>(p[1]) << 8) |
           (static_cast<DWORD>(p[2]) << 16) | (static_cast<DWORD>(p[3]) << 24);
}

constexpr LONG LoadLE32Signed(const BYTE* p)
{
    return static_cast<LONG>(LoadLE32(p));
}
