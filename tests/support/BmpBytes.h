#pragma once

// Builds bitmap files byte by byte for tests, little-endian as on disk.

#include "core/Types.h"

#include <initializer_list>
#include <vector>

class BmpBytes
{
public:
    BmpBytes& U8(BYTE v)
    {
        m_bytes.push_back(v);
        return *this;
    }
    BmpBytes& U16(WORD v) { return U8(static_cast<BYTE>(v)).U8(static_cast<BYTE>(v >> 8)); }
    BmpBytes& U32(DWORD v) { return U16(static_cast<WORD>(v)).U16(static_cast<WORD>(v >> 16)); }
    BmpBytes& Fill(size_t count, BYTE v)
    {
        m_bytes.insert(m_bytes.end(), count, v);
        return *this;
    }
    BmpBytes& Bytes(std::initializer_list<BYTE> bytes)
    {
        m_bytes.insert(m_bytes.end(), bytes);
        return *this;
    }
    // Bytes n, n+1, n+2, ... (mod 256): every position has a recognisable value.
    BmpBytes& Ramp(size_t count, BYTE first = 0)
    {
        for (size_t i = 0; i < count; ++i)
            U8(static_cast<BYTE>(first + i));
        return *this;
    }

    // "BM", the file size field, two reserved words, the pixel offset.
    BmpBytes& FileHeader(DWORD fileSize, DWORD pixelOffset)
    {
        return U16(0x4D42).U32(fileSize).U16(0).U16(0).U32(pixelOffset);
    }
    // The 40 bytes every info-family header starts with; `size` is the size field.
    BmpBytes& InfoHeader(LONG width, LONG height, WORD bitCount, DWORD compression = 0,
                         DWORD clrUsed = 0, DWORD size = 40)
    {
        return U32(size)
            .U32(static_cast<DWORD>(width))
            .U32(static_cast<DWORD>(height))
            .U16(1)
            .U16(bitCount)
            .U32(compression)
            .U32(0)
            .U32(2835)
            .U32(2835)
            .U32(clrUsed)
            .U32(0);
    }
    BmpBytes& CoreHeader(WORD width, WORD height, WORD bitCount)
    {
        return U32(12).U16(width).U16(height).U16(1).U16(bitCount);
    }

    size_t Size() const { return m_bytes.size(); }
    const BYTE* Data() const { return m_bytes.data(); }
    const std::vector<BYTE>& Vector() const { return m_bytes; }

private:
    std::vector<BYTE> m_bytes;
};
