// RLE4 and RLE8 streams. A stream can only be read from its start, bottom row
// first, so it is decoded one row at a time, straight into the first
// destination row that shows it; nothing is kept but the visible columns and
// the spans a row wrote. Rows nobody sees are parsed for their length only.
// One reader knows the codes and one walk knows where they put pixels; the
// decoder, the row index and the column count of skipped codes all use them.

#include "DibRasterPixels.h"

#include <algorithm>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace dibraster {

namespace {

// One code of a stream.
struct RleCode
{
    enum Kind : BYTE
    {
        Run,      // `count` pixels of `value`: one index, or two nibbles in turn in RLE4
        Absolute, // `count` pixels stored at `data`, of which the stream holds `held`
        EndOfLine,
        EndOfBitmap,
        Delta,       // `count` columns right and `value` rows up, leaving pixels as they were
        EndOfStream, // no whole code is left
    };
    Kind kind;
    BYTE count = 0;
    BYTE value = 0;
    BYTE held = 0;
    const BYTE* data = nullptr;
};

// Reads the codes of a stream. Codes are 16-bit words: a count and a value,
// or a zero count and an escape (0 end of line, 1 end of bitmap, 2 a delta
// whose two bytes follow, 3 and up an absolute run padded to a whole word).
// Nothing past `size` is read: a code the stream holds only part of ends it,
// after the pixels it does hold of an absolute run.
template <bool kRle8>
class RleCodes
{
public:
    RleCodes(const BYTE* s, size_t size, size_t offset)
        : m_s(s), m_size(size), m_pos(std::min(offset, size))
    {
    }

    size_t Offset() const { return m_pos; }
    // The same stream from another offset.
    RleCodes At(size_t offset) const { return RleCodes(m_s, m_size, offset); }

    RleCode Next()
    {
        if (m_pos + 2 > m_size)
            return {RleCode::EndOfStream};
        const BYTE count = m_s[m_pos];
        const BYTE code = m_s[m_pos + 1];
        m_pos += 2;
        if (count != 0)
            return {RleCode::Run, count, code};
        switch (code) {
        case 0:
            return {RleCode::EndOfLine};
        case 1:
            return {RleCode::EndOfBitmap};
        case 2: {
            if (m_pos + 2 > m_size) {
                m_pos = m_size;
                return {RleCode::EndOfStream};
            }
            const RleCode c{RleCode::Delta, m_s[m_pos], m_s[m_pos + 1]};
            m_pos += 2;
            return c;
        }
        default: {
            RleCode c{RleCode::Absolute, code};
            c.data = m_s + m_pos;
            c.held = code;
            const size_t bytes = kRle8 ? code : (size_t{code} + 1) / 2;
            const size_t left = m_size - m_pos;
            if (bytes + (bytes & 1) <= left) {
                m_pos += bytes + (bytes & 1);
                return c;
            }
            if (bytes > left) // the stream ends inside the run
                c.held = static_cast<BYTE>(kRle8 ? left : left * 2);
            m_pos = m_size;
            return c;
        }
        }
    }

    // The encoded run that comes next, left unread: its count, or 0 when an
    // escape or the stream's end comes next. For loops that take runs only
    // while they fit.
    BYTE PendingRun() const { return m_pos + 2 <= m_size ? m_s[m_pos] : 0; }
    BYTE PendingValue() const { return m_s[m_pos + 1]; }
    void TakeRun() { m_pos += 2; }

    // Steps over encoded runs to the next escape or the stream's end, without
    // adding them up: in a row nobody sees they matter only for where a later
    // delta lands. Codes are whole words from the stream's start, so counts
    // sit at even offsets.
    void SkipRuns()
    {
        size_t pos = m_pos;
#if defined(__SSE2__)
        const __m128i zero = _mm_setzero_si128();
        while (pos + 32 <= m_size) {
            const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(m_s + pos));
            const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(m_s + pos + 16));
            const int zeros = _mm_movemask_epi8(_mm_cmpeq_epi8(a, zero)) |
                              _mm_movemask_epi8(_mm_cmpeq_epi8(b, zero)) << 16;
            if ((zeros & 0x55555555) != 0)
                break;
            pos += 32;
        }
#endif
        while (pos + 2 <= m_size && m_s[pos] != 0)
            pos += 2;
        m_pos = pos;
    }

private:
    const BYTE* m_s;
    size_t m_size;
    size_t m_pos;
};

// The column reached after the codes of one row from the reader's offset up
// to `to`, starting at x there.
template <class Codes>
LONGLONG ColumnAfter(Codes codes, size_t to, LONGLONG x)
{
    while (codes.Offset() < to) {
        const RleCode c = codes.Next();
        x += c.count;
    }
    return x;
}

// Walks a stream from `start` and tells `v` where its codes put pixels:
//   v.BeginRow(y, x, offset)  stream row y (0 is the bottom) begins at column
//                             x with the code at `offset`; false stops the walk
//   v.EndRow(y)               the row is left: end of line, delta up, or the end
//   v.Drawing(x)              whether runs from column x on are wanted; once
//                             false it stays false for the rest of the row
//   v.Run(x0, x1, value)      an encoded run covers columns [x0, x1)
//   v.Absolute(x0, x1, data)  an absolute run covers [x0, x1), pixel 0 at data
//   v.MoreRuns(codes, x)      may take the encoded runs that follow itself;
//                             returns the column after them
// Runs are cut at the row's end. A delta may move to x == width, a position
// where an end of line can follow; one that leaves the picture ends the walk.
template <class Codes, class Visitor>
void WalkRle(Codes codes, LONGLONG width, LONGLONG height, const RleRowIndex::Start& start,
             Visitor& v)
{
    LONGLONG x = start.column;
    LONGLONG y = start.row;
    // Where nothing is drawn, encoded runs are stepped over and x falls
    // behind; a delta, the one code that needs it then, adds up the codes
    // from the last place x was known, so no code is added up twice.
    bool behind = false;
    size_t knownAt = 0;
    LONGLONG knownX = 0;
    auto up = [&](LONGLONG dy) {
        v.EndRow(y);
        y += dy;
        if (y >= height)
            return false;
        return v.BeginRow(y, x, codes.Offset());
    };

    if (!v.BeginRow(y, x, codes.Offset()))
        return;
    for (;;) {
        if (behind || !v.Drawing(x)) {
            if (!behind) {
                behind = true;
                knownAt = codes.Offset();
                knownX = x;
            }
            codes.SkipRuns();
        }
        const RleCode c = codes.Next();
        switch (c.kind) {
        case RleCode::Run: { // never behind: SkipRuns stops at escapes
            const LONGLONG end = std::min(x + c.count, width);
            if (x < end)
                v.Run(x, end, c.value);
            x += c.count;
            x = v.MoreRuns(codes, x);
            break;
        }
        case RleCode::Absolute: {
            const LONGLONG end = std::min(x + c.held, width);
            if (!behind && x < end)
                v.Absolute(x, end, c.data);
            x += c.count;
            break;
        }
        case RleCode::EndOfLine:
            x = 0;
            behind = false;
            if (!up(1))
                return;
            break;
        case RleCode::Delta:
            if (behind) { // up to the delta's own four bytes
                x = ColumnAfter(codes.At(knownAt), codes.Offset() - 4, knownX);
                behind = false;
            }
            if (x + c.count > width || y + c.value >= height) {
                v.EndRow(y);
                return;
            }
            x += c.count;
            if (c.value != 0 && !up(c.value))
                return;
            break;
        case RleCode::EndOfBitmap:
        case RleCode::EndOfStream:
            v.EndRow(y);
            return;
        }
    }
}

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
    // RLE8 encoded runs that come next for as long as each lies wholly inside
    // the visible columns, the common case of a busy stream, without the
    // general path's per-run bookkeeping.
    LONGLONG FillRle8Runs(RleCodes<true>& codes, LONGLONG x, const DWORD* pal)
    {
        static_assert(kIdentity);
        const LONGLONG first = m_cols.front();
        const LONGLONG end = first + static_cast<LONGLONG>(m_cols.size());
        DWORD* const row = m_out;
        for (;;) {
            const BYTE count = codes.PendingRun();
            if (count == 0 || x < first || x + count > end)
                break;
            const DWORD c = pal[codes.PendingValue()];
            DWORD* out = row + (x - first);
            for (int k = 0; k < count; ++k)
                out[k] = c;
            x += count;
            codes.TakeRun();
        }
        return x;
    }

    // The same for a scaled row: the runs that come next write every visible
    // column they cover, for as long as the visible columns go.
    LONGLONG FillScaledRle8Runs(RleCodes<true>& codes, LONGLONG x, const DWORD* pal)
    {
        static_assert(!kIdentity && !kMirrored);
        const uint32_t* cols = m_cols.data();
        DWORD* out = m_out;
        const size_t n = m_cols.size();
        size_t b = m_cursor;
        // Runs follow one another, so the cursor is never left of x.
        if (b < n && cols[b] < x)
            return x;
        while (b < n) {
            const BYTE count = codes.PendingRun();
            if (count == 0)
                break;
            const DWORD c = pal[codes.PendingValue()];
            const LONGLONG end = x + count;
            while (b < n && cols[b] < end)
                out[b++] = c;
            x = end;
            codes.TakeRun();
        }
        m_cursor = b;
        return x;
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

// Decodes the rows of a stream that show into the destination rows that
// show them.
template <class Writer, bool kRle8>
class Decoder
{
public:
    Decoder(const DibTarget& target, const AxisMap& xs, const AxisMap& ys, const PixelFormat& f)
        // Spans are kept only where a source row shows in more than one
        // destination row: an enlarged picture, not a shrunk one.
        // Nearest-neighbour rows either repeat or skip, never both, so more
        // rows than the source rows they span means repeats.
        : m_row(xs, static_cast<LONGLONG>(ys.src.size()) >
                        std::abs(LONGLONG{ys.src.front()} - LONGLONG{ys.src.back()}) + 1),
          m_rows(ys, target, xs.first), m_pal(f.palette), m_height(f.height),
          // Past the last visible column a row's runs show nothing, and the
          // codes left in it are stepped over as in a hidden row.
          m_visibleEnd(std::max(xs.src.front(), xs.src.back()) + LONGLONG{1})
    {
    }

    // False once nothing visible is left to decode.
    bool BeginRow(LONGLONG y, LONGLONG, size_t)
    {
        DWORD* out = m_rows.FirstShowing(m_height - 1 - y);
        m_wanted = out != nullptr;
        if (m_wanted)
            m_row.Start(out);
        return !m_rows.Finished() || m_wanted;
    }
    void EndRow(LONGLONG y)
    {
        if (m_wanted)
            m_rows.Repeat(m_height - 1 - y, m_row);
    }
    bool Drawing(LONGLONG x) const { return m_wanted && x < m_visibleEnd; }

    void Run(LONGLONG x0, LONGLONG x1, BYTE value)
    {
        if constexpr (kRle8) {
            const DWORD c = m_pal[value];
            m_row.Run(x0, x1, [c](LONGLONG) { return c; });
        } else {
            const DWORD c[2] = {Indexed4::At(&value, 0, m_pal), Indexed4::At(&value, 1, m_pal)};
            m_row.Run(x0, x1, [c](LONGLONG k) { return c[k & 1]; });
        }
    }
    void Absolute(LONGLONG x0, LONGLONG x1, const BYTE* data)
    {
        const DWORD* pal = m_pal;
        if constexpr (kRle8)
            m_row.Run(x0, x1, [data, pal](LONGLONG k) {
                return Indexed8::At(data, static_cast<uint32_t>(k), pal);
            });
        else
            m_row.Run(x0, x1, [data, pal](LONGLONG k) {
                return Indexed4::At(data, static_cast<uint32_t>(k), pal);
            });
    }
    LONGLONG MoreRuns(RleCodes<kRle8>& codes, LONGLONG x)
    {
        if constexpr (kRle8 && !Writer::kMirroredColumns) {
            if (m_row.RowsRepeat())
                return x;
            if constexpr (Writer::kIdentityColumns)
                return m_row.FillRle8Runs(codes, x, m_pal);
            else
                return m_row.FillScaledRle8Runs(codes, x, m_pal);
        }
        return x;
    }

private:
    Writer m_row;
    RowQueue m_rows;
    const DWORD* m_pal;
    LONGLONG m_height;
    LONGLONG m_visibleEnd;
    bool m_wanted = false;
};

template <class Writer, bool kRle8>
void Decode(const DibTarget& target, const AxisMap& xs, const AxisMap& ys, const BYTE* bits,
            size_t bitsSize, const PixelFormat& f, const RleRowIndex::Start& start)
{
    Decoder<Writer, kRle8> decoder(target, xs, ys, f);
    WalkRle(RleCodes<kRle8>(bits, bitsSize, start.offset), f.width, f.height, start, decoder);
}

template <bool kRle8>
void Decode(const DibTarget& target, const AxisMap& xs, const AxisMap& ys, const BYTE* bits,
            size_t bitsSize, const PixelFormat& f, const RleRowIndex::Start& start)
{
    if (xs.identity)
        Decode<RowWriter<true, false>, kRle8>(target, xs, ys, bits, bitsSize, f, start);
    else if (xs.descending)
        Decode<RowWriter<false, true>, kRle8>(target, xs, ys, bits, bitsSize, f, start);
    else
        Decode<RowWriter<false, false>, kRle8>(target, xs, ys, bits, bitsSize, f, start);
}

// Keeps where each row begins and draws nothing.
struct RowStarts
{
    std::vector<RleRowIndex::Start>& starts;

    bool BeginRow(LONGLONG y, LONGLONG x, size_t offset)
    {
        starts.push_back({y, x, offset});
        return true;
    }
    void EndRow(LONGLONG) {}
    static bool Drawing(LONGLONG) { return false; }
    void Run(LONGLONG, LONGLONG, BYTE) {}
    void Absolute(LONGLONG, LONGLONG, const BYTE*) {}
    template <class Codes>
    static LONGLONG MoreRuns(Codes&, LONGLONG x)
    {
        return x;
    }
};

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
    if (format.kind == PixelKind::Rle8)
        Decode<true>(target, xs, ys, bits, bitsSize, format, start);
    else
        Decode<false>(target, xs, ys, bits, bitsSize, format, start);
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

// The decoder's walk with nothing drawn, keeping where each row begins. Each
// start follows at least one 2-byte code, so there are never more than the
// stream has codes.
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
    RowStarts starts{m_starts};
    if (rle8)
        WalkRle(RleCodes<true>(bits, m_bitsSize, 0), header.biWidth, header.biHeight, {0, 0, 0},
                starts);
    else
        WalkRle(RleCodes<false>(bits, m_bitsSize, 0), header.biWidth, header.biHeight, {0, 0, 0},
                starts);
}

RleRowIndex::Start RleRowIndex::StartAtOrBelow(LONGLONG row) const
{
    const auto after = std::upper_bound(m_starts.begin(), m_starts.end(), row,
                                        [](LONGLONG r, const Start& s) { return r < s.row; });
    if (after == m_starts.begin())
        return {0, 0, 0};
    return *(after - 1);
}
