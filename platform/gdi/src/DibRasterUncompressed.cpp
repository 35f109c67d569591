// Uncompressed DIBs: each visible row goes through its format's row routine,
// fed the precomputed source column of every visible destination column; an
// enlarged picture's repeated rows are copied.

#include "DibRasterInternal.h"

#include <algorithm>
#include <cstring>

namespace dibraster {

namespace {

// The visible columns [begin, end) whose source column is below `held`; the
// columns are monotonic, so they form one run.
void HeldColumns(const AxisMap& xs, ULONGLONG held, size_t& begin, size_t& end)
{
    const auto& s = xs.src;
    if (xs.descending) {
        begin = static_cast<size_t>(
            std::partition_point(s.begin(), s.end(), [held](uint32_t c) { return c >= held; }) -
            s.begin());
        end = s.size();
    } else {
        begin = 0;
        end = static_cast<size_t>(
            std::partition_point(s.begin(), s.end(), [held](uint32_t c) { return c < held; }) -
            s.begin());
    }
}

} // namespace

void DrawUncompressed(const DibTarget& target, const AxisMap& xs, const AxisMap& ys,
                      const BYTE* bits, size_t bitsSize, const PixelFormat& f)
{
    const RowRoutines routines = RoutinesFor(f.kind);
    const size_t n = xs.src.size();
    // Rows the block holds in full, and how many pixels it holds of the next.
    const ULONGLONG fullRows = bitsSize / f.stride;
    const ULONGLONG partPixels = bitsSize % f.stride * 8 / static_cast<ULONGLONG>(f.bitCount);

    LONGLONG lastSource = -1;
    size_t lastBegin = 0;
    size_t lastEnd = 0;
    const DWORD* last = nullptr;
    for (size_t k = 0; k < ys.src.size(); ++k) {
        DWORD* out =
            target.pixels + (ys.first + static_cast<LONGLONG>(k)) * target.stride + xs.first;
        const uint32_t sy = ys.src[k];
        if (sy == lastSource) {
            // Enlarged: this row repeats the source row of the one above.
            std::memcpy(out + lastBegin, last + lastBegin, (lastEnd - lastBegin) * sizeof(DWORD));
            last = out;
            continue;
        }
        const ULONGLONG stored = f.topDown ? sy : static_cast<ULONGLONG>(f.height) - 1 - sy;
        size_t begin = 0;
        size_t end = n;
        if (stored >= fullRows)
            HeldColumns(xs, stored == fullRows ? partPixels : 0, begin, end);
        if (begin < end) {
            const BYTE* row = bits + stored * f.stride;
            if (xs.identity)
                routines.span(row, xs.src[begin], out + begin, end - begin, f);
            else
                routines.gather(row, xs.src.data() + begin, out + begin, end - begin, f);
        }
        lastSource = sy;
        lastBegin = begin;
        lastEnd = end;
        last = out;
    }
}

} // namespace dibraster
