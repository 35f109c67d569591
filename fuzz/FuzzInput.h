#pragma once

// Splits a fuzzer input into a bitmap file image and a few parameters. The
// parameters come off the end, so that a corpus of real bitmap files keeps
// its headers where the reader looks for them.

#include "core/File.h"
#include "core/Types.h"
#include "dib/Dib.h"

#include <cstddef>
#include <cstdint>

class FuzzInput
{
public:
    FuzzInput(const uint8_t* data, size_t size) : m_data(data), m_size(size) {}

    // The next parameter byte from the end; 0 once the input is used up.
    BYTE Byte()
    {
        if (m_size == 0)
            return 0;
        return m_data[--m_size];
    }
    // A signed 16-bit parameter: reaches far past any small surface.
    int Int16()
    {
        const int low = Byte();
        return static_cast<int16_t>(static_cast<uint16_t>(low | Byte() << 8));
    }
    // A parameter in [0, limit).
    int Below(int limit) { return Byte() % limit; }

    // What is left once the parameters are taken.
    const BYTE* Data() const { return m_data; }
    size_t Size() const { return m_size; }

private:
    const uint8_t* m_data;
    size_t m_size;
};

// Reads a bitmap file image into `dib` the way the viewer does; false when
// the reader refuses it or the file object reports an error.
inline bool ReadBitmap(CDib& dib, const BYTE* data, size_t size)
{
    CMemFile file(data, size);
    try {
        return dib.Read(&file) != FALSE;
    } catch (const CFileException&) {
        return false;
    }
}
