// RLE drawing: decoding, scaled and windowed draws, and the row index.

#include "StretchDibSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <random>
#include <string>

namespace {

// The drawn canvas, top row first, rows joined by '/': a hex digit per index, '.' where untouched.
std::string Spell(WORD bpp, const std::vector<BYTE>& stream, int width, int height)
{
    TestDib d(width, height, bpp, bpp == 8 ? BI_RLE8 : BI_RLE4);
    Canvas canvas(width, height);
    EXPECT_EQ(
        canvas.Draw(d, stream, {0, 0, width, height}, {0, 0, width, height, 0, 0, width, height}),
        height);
    std::string rows;
    for (int y = 0; y < canvas.height; ++y) {
        rows += y > 0 ? "/" : "";
        for (int x = 0; x < canvas.width; ++x) {
            int i = 0;
            while (i < 16 && Pal(i) != canvas.At(x, y))
                ++i;
            rows += canvas.Untouched(x, y) ? '.' : "0123456789ABCDEF?"[i];
        }
    }
    return rows;
}

TEST(StretchDibRle, DecodesStreams)
{
    struct Case
    {
        const char* name;
        WORD bpp;
        std::vector<BYTE> stream; // starts at the bottom row
        std::string rows;         // top first; the first row's length is the width
    };
    const Case cases[] = {
        {"runs cut at the row end", 8, {6, 1, 2, 2, 0, 0, 1, 3, 0, 1}, "..../3.../1111"},
        {"early end of bitmap", 8, {1, 1, 0, 1, 4, 2}, "..../..../1..."},
        {"ends inside an absolute run", 8, {0, 4, 1, 2}, "..../..../12.."},
        {"delta past the row end", 8, {1, 1, 0, 2, 4, 0, 0, 0, 1, 2}, "..../..../1..."},
        // x == width is a position: the rows after it still draw.
        {"deltas onto the right edge",
         8,
         {2, 1, 0, 2, 2, 0, 0, 0, 1, 2, 0, 2, 3, 1, 0, 0, 4, 3, 0, 1},
         "3333/..../2.../11.."},
        {"delta past the top", 8, {0, 2, 0, 3, 1, 1}, "..../..../...."},
        {"rows past the top",
         8,
         {4, 1, 0, 0, 4, 2, 0, 0, 4, 3, 0, 0, 4, 4, 0, 1},
         "3333/2222/1111"},
        {"odd trailing byte", 8, {4, 1, 0}, "..../..../1111"},
        {"RLE4 absolute", 4, {0, 5, 0x12, 0x34, 0x50, 0, 2, 0x77, 0, 1}, "1234577."},
        {"RLE4 ends inside an absolute run", 4, {0, 4, 0x12}, "..../..../12.."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const int w = static_cast<int>(std::min(c.rows.find('/'), c.rows.size()));
        const int h = static_cast<int>(std::count(c.rows.begin(), c.rows.end(), '/')) + 1;
        EXPECT_EQ(Spell(c.bpp, c.stream, w, h), c.rows);
    }
}

// Every kind of code, some out of range, runs of at most `longestRun` pixels.
std::vector<BYTE> RandomStream(std::mt19937& rng, bool rle8, int longestRun = 14)
{
    auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    std::vector<BYTE> s;
    for (int op = pick(0, 40); op > 0; --op) {
        const int kind = pick(0, 19);
        if (kind < 8) {
            s.insert(s.end(),
                     {static_cast<BYTE>(pick(1, longestRun)), static_cast<BYTE>(pick(0, 255))});
        } else if (kind < 12) {
            const int n = pick(3, 14);
            const int bytes = rle8 ? n : (n + 1) / 2;
            s.insert(s.end(), {0, static_cast<BYTE>(n)});
            for (int i = 0; i < bytes + (bytes & 1); ++i)
                s.push_back(static_cast<BYTE>(pick(0, rle8 ? 15 : 255)));
        } else if (kind < 16) {
            s.insert(s.end(), {0, 0});
        } else if (kind < 18) {
            s.insert(s.end(), {0, 2, static_cast<BYTE>(pick(0, 4)), static_cast<BYTE>(pick(0, 2))});
        } else {
            s.push_back(static_cast<BYTE>(pick(0, 255)));
        }
    }
    s.resize(s.size() - pick(0, 1) * pick(0, static_cast<int>(s.size())));
    return s;
}

// Through a row index serving every draw of its stream as well.
TEST(StretchDibRle, StretchesLikeTheUnscaledDecodeWithOrWithoutAnIndex)
{
    std::mt19937 rng(7);
    auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    auto nonZero = [&](int limit) { return pick(1, limit) * (pick(0, 1) != 0 ? 1 : -1); };
    for (int iter = 0; iter < 2000; ++iter) {
        const bool rle8 = pick(0, 1) != 0;
        const int w = pick(1, 12);
        const int h = pick(1, iter % 4 == 3 ? 16 : 8);
        TestDib d(w, h, rle8 ? 8 : 4, rle8 ? BI_RLE8 : BI_RLE4);
        std::vector<BYTE> stream = RandomStream(rng, rle8, pick(1, 14));
        for (int part = iter % 4 == 3 ? pick(0, 3) : 0; part > 0; --part) {
            const std::vector<BYTE> more = RandomStream(rng, rle8);
            stream.insert(stream.end(), more.begin(), more.end());
        }
        Canvas full(w, h);
        full.Draw(d, stream, {0, 0, w, h}, {0, 0, w, h, 0, 0, w, h});
        // The pixels the 1:1 draw put down; none where it left the canvas untouched.
        const PictureLookup drawn = [&full](LONGLONG x, LONGLONG y) -> std::optional<DWORD> {
            if (x < 0 || y < 0 || x >= full.width || y >= full.height ||
                full.Untouched(static_cast<int>(x), static_cast<int>(y)))
                return std::nullopt;
            return full.At(static_cast<int>(x), static_cast<int>(y));
        };

        RleRowIndex index;
        for (int draw = 0; draw < (iter % 4 == 3 ? 4 : 1); ++draw) {
            const RECT clip{pick(0, 8), pick(0, 6), pick(8, 20), pick(6, 14)};
            const int sh = nonZero(h + 4);
            // Every other draw repeats no row, so busy rows take their own path.
            const int dh = (iter + draw) % 2 == 0 ? nonZero(24) : nonZero(std::abs(sh));
            const DrawArgs a{pick(-6, 16), pick(-6, 12), nonZero(30),    dh,
                             pick(-3, w),  pick(-3, h),  nonZero(w + 4), sh};
            Canvas canvas(20, 14);
            ASSERT_EQ(canvas.Draw(d, stream, clip, a), std::abs(a.sh));
            ExpectMatchesReference(canvas, clip, a, drawn);
            Canvas indexed(20, 14);
            indexed.Draw(d, stream, clip, a, &index);
            EXPECT_EQ(canvas.pixels, indexed.pixels) << "through the index";
            if (HasFailure())
                FAIL() << "iteration " << iter << ", draw " << draw;
        }
    }
}

// INT_MAX rows, a few codes: a start per code at most; deltas leaving the picture end the walk.
TEST(StretchDibRle, IndexIsBoundedByTheStream)
{
    TestDib d(INT_MAX, INT_MAX, 8, BI_RLE8);
    const std::vector<BYTE> stream = {0, 0, 0, 0, 0, 2, 255, 255, 0, 0, 0, 2, 0, 255, 0, 2};
    RleRowIndex index;
    index.Build(stream.data(), stream.size(), d.info.bmiHeader);
    ASSERT_EQ(index.Starts().size(), 6u);
    EXPECT_EQ(index.Starts()[3].row, 257);
    EXPECT_EQ(index.Starts()[3].column, 255);
    EXPECT_EQ(index.Starts()[5].row, 513);
    EXPECT_EQ(index.Starts()[5].offset, 14u);
    // An uncompressed header has no rows to index.
    TestDib plain(4, 4, 8);
    index.Build(stream.data(), stream.size(), plain.info.bmiHeader);
    EXPECT_TRUE(index.Starts().empty());
}

} // namespace
