// RLE4 and RLE8 streams. A stream can only be read from its start, bottom row
// first, so it is decoded one row at a time, straight into the first
// destination row that shows it; nothing is kept but the visible columns and
// the spans a row wrote. Rows nobody sees are parsed for their length only.

#include "DibRasterInternal.h"

#include <algorithm>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace dibraster {

namespace {

// Writes the runs of one stream row into a destination row. Runs arrive left
// to right, so the visible columns are kept in ascending source order and a
// cursor only moves forward. At scale 1 a run's columns are found by
// arithmetic; mirrored rows are written right to left.
template <bool kIdentity, bool kMirrored>
class RowWriter
{
public:
    static constexpr bool kIdentityColumns = kIdentity;
    static constexpr bool kMirroredColumns = kMirrored;

    RowWriter(const AxisMap& xs, bool rowsRepeat) : m_cols(xs.src), m_rowsRepeat(rowsRepeat)
    {
        if (kMirrored)
            std::reverse(m_cols.begin(), m_cols.end());
    }

    void Start(DWORD* out)
    {
        m_out = out;
        m_cursor = 0;
        m_spans.clear();
    }

    // Source columns [x0, x1) take colour(0), colour(1), ...
    template <class Colour>
    void Run(LONGLONG x0, LONGLONG x1, Colour colour)
    {
        const size_t n = m_cols.size();
        size_t b;
        size_t e;
        if constexpr (kIdentity) {
            const LONGLONG c0 = m_cols.front();
            b = static_cast<size_t>(std::clamp<LONGLONG>(x0 - c0, 0, static_cast<LONGLONG>(n)));
            e = static_cast<size_t>(std::clamp<LONGLONG>(x1 - c0, 0, static_cast<LONGLONG>(n)));
        } else {
            // Walking beats searching: the columns a row's runs step over
            // add up to one pass over the visible columns.
            const uint32_t* cols = m_cols.data();
            b = m_cursor;
            while (b < n && cols[b] < x0)
                ++b;
            e = b;
            while (e < n && cols[e] < x1)
                ++e;
            m_cursor = e;
        }
        if (b >= e)
            return;
        for (size_t i = b; i < e; ++i)
            m_out[kMirrored ? n - 1 - i : i] = colour(m_cols[i] - x0);
        if (m_rowsRepeat) {
            if (!m_spans.empty() && m_spans.back().second == b)
                m_spans.back().second = e;
            else
                m_spans.emplace_back(b, e);
        }
    }

    // At scale 1 with every destination row its own source row: writes the
    // RLE8 encoded runs that follow at `pos` for as long as each lies wholly
    // inside the visible columns, the common case of a busy stream, without
    // the general path's per-run bookkeeping. Returns where it stopped.
    size_t FillRle8Runs(const BYTE* s, size_t size, size_t pos, LONGLONG& x, const DWORD* pal)
    {
        static_assert(kIdentity);
        const LONGLONG first = m_cols.front();
        const LONGLONG end = first + static_cast<LONGLONG>(m_cols.size());
        while (pos + 2 <= size) {
            const BYTE count = s[pos];
            if (count == 0 || x < first || x + count > end)
                break;
            const DWORD c = pal[s[pos + 1]];
            DWORD* out = m_out + (x - first);
            for (int k = 0; k < count; ++k)
                out[k] = c;
            x += count;
            pos += 2;
        }
        return pos;
    }

    // The same for a scaled row: the runs that follow write every visible
    // column they cover, for as long as the visible columns go.
    size_t FillScaledRle8Runs(const BYTE* s, size_t size, size_t pos, LONGLONG& x, const DWORD* pal)
    {
        static_assert(!kIdentity && !kMirrored);
        const uint32_t* cols = m_cols.data();
        const size_t n = m_cols.size();
        size_t b = m_cursor;
        // Runs follow one another, so the cursor is never left of x.
        if (b < n && cols[b] < x)
            return pos;
        while (pos + 2 <= size && b < n) {
            const BYTE count = s[pos];
            if (count == 0)
                break;
            const DWORD c = pal[s[pos + 1]];
            const LONGLONG end = x + count;
            while (b < n && cols[b] < end)
                m_out[b++] = c;
            x = end;
            pos += 2;
        }
        m_cursor = b;
        return pos;
    }

    bool RowsRepeat() const { return m_rowsRepeat; }

    // Repeats what this row wrote in another destination row, leaving the
    // pixels it skipped as they were there too.
    void CopyTo(DWORD* out) const
    {
        const size_t n = m_cols.size();
        for (const auto& [b, e] : m_spans) {
            const size_t at = kMirrored ? n - e : b;
            std::memcpy(out + at, m_out + at, (e - b) * sizeof(DWORD));
        }
    }

private:
    std::vector<uint32_t> m_cols; // the visible columns' source columns, ascending
    bool m_rowsRepeat;            // enlarged: some rows are copied, so spans are kept
    DWORD* m_out = nullptr;
    size_t m_cursor = 0;
    std::vector<std::pair<size_t, size_t>> m_spans; // written, in m_cols order
};

// The visible destination rows in the order the stream reaches their source
// rows, from the bottom of the picture up.
class RowQueue
{
public:
    RowQueue(const AxisMap& ys, const DibTarget& target, LONGLONG left)
        : m_ys(ys), m_target(target), m_left(left)
    {
    }

    bool Finished() const { return m_next == m_ys.src.size(); }

    // The first destination row showing `pictureRow`, or null; drops the rows
    // the stream has gone past.
    DWORD* FirstShowing(LONGLONG pictureRow)
    {
        while (!Finished() && m_ys.src[Index(m_next)] > pictureRow)
            ++m_next;
        if (Finished() || m_ys.src[Index(m_next)] != pictureRow)
            return nullptr;
        return Row(m_next++);
    }

    // Copies the row into the other destination rows that show it.
    template <class Writer>
    void Repeat(LONGLONG pictureRow, const Writer& row)
    {
        for (; !Finished() && m_ys.src[Index(m_next)] == pictureRow; ++m_next)
            row.CopyTo(Row(m_next));
    }

private:
    size_t Index(size_t j) const { return m_ys.descending ? j : m_ys.src.size() - 1 - j; }
    DWORD* Row(size_t j) const
    {
        return m_target.pixels + (m_ys.first + static_cast<LONGLONG>(Index(j))) * m_target.stride +
               m_left;
    }

    const AxisMap& m_ys;
    const DibTarget& m_target;
    LONGLONG m_left;
    size_t m_next = 0;
};

// In a row nobody sees, encoded runs matter only for where a later delta
// lands, so they are stepped over without adding them up: returns the
// position of the next escape code (a zero count) or of the stream's end.
// Codes are whole 16-bit words from the start of the stream, so counts sit
// at even offsets.
size_t SkipRuns(const BYTE* s, size_t size, size_t pos)
{
#if defined(__SSE2__)
    const __m128i zero = _mm_setzero_si128();
    while (pos + 32 <= size) {
        const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + pos));
        const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + pos + 16));
        const int zeros = _mm_movemask_epi8(_mm_cmpeq_epi8(a, zero)) |
                          _mm_movemask_epi8(_mm_cmpeq_epi8(b, zero)) << 16;
        if ((zeros & 0x55555555) != 0)
            break;
        pos += 32;
    }
#endif
    while (pos + 2 <= size && s[pos] != 0)
        pos += 2;
    return pos;
}

// Bytes of an absolute run of `pixels` pixels, before its padding to a word.
size_t AbsoluteRunBytes(bool rle8, size_t pixels)
{
    return rle8 ? pixels : (pixels + 1) / 2;
}

// The column reached after the codes in [from, to) of one row, starting at x.
LONGLONG ColumnAfter(bool rle8, const BYTE* s, size_t from, size_t to, LONGLONG x)
{
    while (from < to) {
        const BYTE count = s[from];
        const BYTE code = s[from + 1];
        from += 2;
        if (count != 0) {
            x += count;
        } else if (code == 2) {
            x += s[from];
            from += 2;
        } else {
            x += code; // an absolute run: the caller only passes codes of one row
            from += (AbsoluteRunBytes(rle8, code) + 1) & ~size_t{1};
        }
    }
    return x;
}

template <class Writer>
void Decode(const DibTarget& target, const AxisMap& xs, const AxisMap& ys, const BYTE* bits,
            size_t bitsSize, const PixelFormat& f, const RleRowIndex::Start& start)
{
    const bool rle8 = f.kind == PixelKind::Rle8;
    const DWORD* pal = f.palette;
    const LONGLONG width = f.width;
    const LONGLONG height = f.height;
    // Spans are kept only where a source row shows in more than one
    // destination row: an enlarged picture, not a shrunk one. Nearest-neighbour
    // rows either repeat or skip, never both, so more rows than the source
    // rows they span means repeats.
    const LONGLONG rowSpan = std::abs(LONGLONG{ys.src.front()} - LONGLONG{ys.src.back()}) + 1;
    Writer row(xs, static_cast<LONGLONG>(ys.src.size()) > rowSpan);
    RowQueue rows(ys, target, xs.first);

    size_t pos = start.offset;
    LONGLONG x = start.column;
    LONGLONG y = start.row; // stream row: 0 is the bottom of the picture
    bool wanted = false;
    // In hidden rows x is brought up to date only when a delta needs it,
    // from where the row's codes began.
    size_t rowStart = pos;
    LONGLONG rowStartX = x;
    auto beginRow = [&] {
        DWORD* out = rows.FirstShowing(height - 1 - y);
        wanted = out != nullptr;
        if (wanted)
            row.Start(out);
    };
    auto endRow = [&] {
        if (wanted)
            rows.Repeat(height - 1 - y, row);
    };
    // Moves up `dy` rows; false when that leaves the picture or nothing
    // visible is left to decode.
    auto nextRows = [&](LONGLONG dy) {
        endRow();
        y += dy;
        if (y >= height)
            return false;
        rowStart = pos;
        rowStartX = x;
        beginRow();
        return !rows.Finished() || wanted;
    };

    // Past the last visible column a row's runs show nothing, and the codes
    // left in it are stepped over as in a hidden row.
    const LONGLONG visibleEnd = std::max(xs.src.front(), xs.src.back()) + LONGLONG{1};
    auto skipping = [&] { return !wanted || x >= visibleEnd; };

    beginRow();
    for (;;) {
        if (skipping())
            pos = SkipRuns(bits, bitsSize, pos);
        if (pos + 2 > bitsSize)
            break;
        const BYTE count = bits[pos];
        const BYTE code = bits[pos + 1];
        pos += 2;
        if (count != 0) {
            // Encoded run: `count` pixels of one index, or two alternating nibbles.
            const LONGLONG end = std::min(x + count, width);
            if (wanted && x < end) {
                if (rle8) {
                    const DWORD c = pal[code];
                    row.Run(x, end, [c](LONGLONG) { return c; });
                } else {
                    const DWORD c[2] = {pal[code >> 4], pal[code & 15]};
                    row.Run(x, end, [c](LONGLONG k) { return c[k & 1]; });
                }
            }
            x += count;
            if (rle8 && wanted && !row.RowsRepeat()) {
                if constexpr (Writer::kIdentityColumns)
                    pos = row.FillRle8Runs(bits, bitsSize, pos, x, pal);
                else if constexpr (!Writer::kMirroredColumns)
                    pos = row.FillScaledRle8Runs(bits, bitsSize, pos, x, pal);
            }
            continue;
        }
        if (code == 0) { // end of line
            x = 0;
            if (!nextRows(1))
                return;
        } else if (code == 1) { // end of bitmap
            break;
        } else if (code == 2) { // delta: skip right and up, leaving pixels as they were
            if (pos + 2 > bitsSize)
                break;
            const LONGLONG dx = bits[pos];
            const LONGLONG dy = bits[pos + 1];
            if (skipping())
                x = ColumnAfter(rle8, bits, rowStart, pos - 2, rowStartX);
            pos += 2;
            if (x + dx > width || y + dy >= height)
                break;
            x += dx;
            if (dy != 0 && !nextRows(dy))
                return;
        } else { // absolute run of `code` pixels, padded to a whole 16-bit word
            const size_t bytes = AbsoluteRunBytes(rle8, code);
            const size_t held = std::min(bytes, bitsSize - pos);
            const LONGLONG pixels = rle8
                                        ? static_cast<LONGLONG>(held)
                                        : std::min<LONGLONG>(code, static_cast<LONGLONG>(held) * 2);
            const LONGLONG end = std::min(x + pixels, width);
            if (wanted && x < end) {
                const BYTE* data = bits + pos;
                if (rle8)
                    row.Run(x, end, [data, pal](LONGLONG k) { return pal[data[k]]; });
                else
                    row.Run(x, end, [data, pal](LONGLONG k) {
                        return pal[(data[k >> 1] >> ((k & 1) != 0 ? 0 : 4)) & 15];
                    });
            }
            if (held < bytes)
                break; // the stream ends inside the run
            x += code;
            pos += (bytes + 1) & ~size_t{1};
        }
    }
    endRow();
}

} // namespace

void DrawRle(const DibTarget& target, const AxisMap& xs, const AxisMap& ys, const BYTE* bits,
             size_t bitsSize, const PixelFormat& format, const RleRowIndex* index)
{
    // Decoding starts at the lowest stream row that shows, or below it.
    RleRowIndex::Start start{0, 0, 0};
    if (index) {
        const LONGLONG lowest =
            format.height - 1 - std::max<LONGLONG>(ys.src.front(), ys.src.back());
        start = index->StartAtOrBelow(lowest);
    }
    if (xs.identity)
        Decode<RowWriter<true, false>>(target, xs, ys, bits, bitsSize, format, start);
    else if (xs.descending)
        Decode<RowWriter<false, true>>(target, xs, ys, bits, bitsSize, format, start);
    else
        Decode<RowWriter<false, false>>(target, xs, ys, bits, bitsSize, format, start);
}

} // namespace dibraster

void RleRowIndex::Reset()
{
    *this = RleRowIndex();
}

bool RleRowIndex::Matches(const BYTE* bits, size_t bitsSize, const BITMAPINFOHEADER& header) const
{
    return m_built && m_bits == bits && m_bitsSize == bitsSize && m_width == header.biWidth &&
           m_height == header.biHeight && m_bitCount == header.biBitCount &&
           m_compression == header.biCompression;
}

// The decoder's walk over rows nobody sees, keeping where each row begins.
void RleRowIndex::Build(const BYTE* bits, size_t bitsSize, const BITMAPINFOHEADER& header)
{
    using namespace dibraster;
    Reset();
    m_bits = bits;
    m_bitsSize = bits ? bitsSize : 0;
    m_width = header.biWidth;
    m_height = header.biHeight;
    m_bitCount = header.biBitCount;
    m_compression = header.biCompression;
    m_built = true;
    const bool rle8 = header.biCompression == BI_RLE8;
    if ((!rle8 && header.biCompression != BI_RLE4) || header.biWidth <= 0 || header.biHeight <= 0)
        return;
    const LONGLONG width = header.biWidth;
    const LONGLONG height = header.biHeight;
    const size_t size = m_bitsSize;

    size_t pos = 0;
    LONGLONG x = 0;
    LONGLONG y = 0;
    size_t rowStart = 0;
    LONGLONG rowStartX = 0;
    m_starts.push_back({0, 0, 0});
    // Each start follows at least one 2-byte code, so there are never more
    // than the stream has codes.
    auto nextRows = [&](LONGLONG dy) {
        y += dy;
        if (y >= height)
            return false;
        rowStart = pos;
        rowStartX = x;
        m_starts.push_back({y, x, pos});
        return true;
    };
    for (;;) {
        pos = SkipRuns(bits, size, pos);
        if (pos + 2 > size)
            break;
        const BYTE code = bits[pos + 1];
        pos += 2;
        if (code == 0) {
            x = 0;
            if (!nextRows(1))
                break;
        } else if (code == 1) {
            break;
        } else if (code == 2) {
            if (pos + 2 > size)
                break;
            const LONGLONG dx = bits[pos];
            const LONGLONG dy = bits[pos + 1];
            x = ColumnAfter(rle8, bits, rowStart, pos - 2, rowStartX);
            pos += 2;
            if (x + dx > width || y + dy >= height)
                break;
            x += dx;
            if (dy != 0 && !nextRows(dy))
                break;
        } else {
            const size_t bytes = AbsoluteRunBytes(rle8, code);
            if (bytes > size - pos)
                break;
            pos += (bytes + 1) & ~size_t{1};
        }
    }
}

RleRowIndex::Start RleRowIndex::StartAtOrBelow(LONGLONG row) const
{
    const auto after = std::upper_bound(m_starts.begin(), m_starts.end(), row,
                                        [](LONGLONG r, const Start& s) { return r < s.row; });
    if (after == m_starts.begin())
        return {0, 0, 0};
    return *(after - 1);
}
