#pragma once

// Where the rows of one RLE4 or RLE8 stream begin. A stream can only be read
// from its start, and a bottom-up picture stores its top rows last, so without
// this every draw of a window near the top parses the whole stream. The index
// is built by one pass over the stream, bounded by its length, and records
// only positions that pass actually reached inside it.

#include "core/Types.h"
#include "gdi/DibFormat.h"

#include <cstddef>
#include <vector>

class RleRowIndex
{
public:
    // Where the decoder stands as it starts a stream row (0 is the bottom
    // row): the offset of the row's first code and the column it starts at.
    struct Start
    {
        LONGLONG row;
        LONGLONG column;
        size_t offset;
    };

    // Forgets the stream; the next indexed draw builds the index anew.
    void Reset();

    // True when built for this block and this header's size and format.
    bool Matches(const BYTE* bits, size_t bitsSize, const BITMAPINFOHEADER& header) const;

    // Parses the stream of an RLE4 or RLE8 header once and keeps each row's
    // start. Anything else leaves the index empty.
    void Build(const BYTE* bits, size_t bitsSize, const BITMAPINFOHEADER& header);

    // The last start at or below stream row `row`; the stream's beginning
    // when there is none.
    Start StartAtOrBelow(LONGLONG row) const;

    // The rows that have a start, in ascending order.
    const std::vector<Start>& Starts() const { return m_starts; }

private:
    const BYTE* m_bits = nullptr;
    size_t m_bitsSize = 0;
    LONG m_width = 0;
    LONG m_height = 0;
    WORD m_bitCount = 0;
    DWORD m_compression = 0;
    bool m_built = false;
    std::vector<Start> m_starts;
};
