#pragma once

// The fixed-width scalar types and colour helpers that every layer shares.

#include <cstddef>
#include <cstdint>

using BOOL = int;
inline constexpr BOOL FALSE = 0;
inline constexpr BOOL TRUE = 1;

using BYTE = std::uint8_t;
using WORD = std::uint16_t;
using DWORD = std::uint32_t;
using UINT = unsigned int;
using LONG = std::int32_t;
using LONGLONG = std::int64_t;
using ULONGLONG = std::uint64_t;
using LPCSTR = const char*;

// A colour as 0x00BBGGRR; the top byte marks palette-relative forms.
using COLORREF = DWORD;

inline constexpr COLORREF CLR_INVALID = 0xFFFFFFFF;

constexpr COLORREF RGB(BYTE r, BYTE g, BYTE b)
{
    return static_cast<COLORREF>(r) | (static_cast<COLORREF>(g) << 8) |
           (static_cast<COLORREF>(b) << 16);
}
constexpr BYTE GetRValue(COLORREF c)
{
    return static_cast<BYTE>(c);
}
constexpr BYTE GetGValue(COLORREF c)
{
    return static_cast<BYTE>(c >> 8);
}
constexpr BYTE GetBValue(COLORREF c)
{
    return static_cast<BYTE>(c >> 16);
}

// A colour that names entry i of the palette selected where it is used.
constexpr COLORREF PALETTEINDEX(WORD i)
{
    return 0x01000000u | i;
}
