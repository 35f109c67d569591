// Conformance of drawing: every suite image with a reference rendering is read
// and drawn as the viewer does and compared with that rendering pixel by
// pixel; every broken one is drawn at several scales to show that drawing it
// stays inside its blocks (the sanitizers do the checking).

#include "BmpSuite.h"
#include "RgbImage.h"
#include "dib/Dib.h"
#include "gdi/Dc.h"
#include "gdi/Surface.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

constexpr COLORREF kSentinel = RGB(0xFE, 0x01, 0xFD);

BOOL ReadEntry(const BmpSuiteEntry& e, CDib& dib)
{
    CFile file(BmpSuitePath(e.file).c_str(), CFile::modeRead | CFile::typeBinary);
    return dib.Read(&file);
}

bool MustRender(const BmpSuiteEntry& e)
{
    return e.expect == "render" || e.expect == "render-tolerant";
}

std::string Describe(const BmpSuiteEntry& e, const PixelComparison& c)
{
    if (!c.sameSize)
        return e.file + ": " + c.report;
    return e.file + ": " + std::to_string(c.differing) + " pixels differ by more than " +
           std::to_string(e.tolerance) + " (max " + std::to_string(c.maxDifference) +
           "):" + c.report + "\n  " + e.note;
}

// What nearest-neighbour scaling to w x h must show: pixel (x, y) takes the
// reference's (x * W / w, y * H / h), rounded down.
RgbImage ScaledReference(const RgbImage& ref, int w, int h)
{
    RgbImage out{w, h, std::vector<BYTE>(static_cast<size_t>(w) * h * 3)};
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            const BYTE* from = ref.At(static_cast<int>(static_cast<long long>(x) * ref.width / w),
                                      static_cast<int>(static_cast<long long>(y) * ref.height / h));
            std::copy(from, from + 3, out.rgb.begin() + (static_cast<size_t>(y) * w + x) * 3);
        }
    }
    return out;
}

std::vector<BmpSuiteEntry> Rows(bool withReference)
{
    std::vector<BmpSuiteEntry> rows;
    for (BmpSuiteEntry& e : LoadBmpSuiteManifest()) {
        if (!e.ref.empty() == withReference)
            rows.push_back(std::move(e));
    }
    return rows;
}

std::string RowName(const testing::TestParamInfo<BmpSuiteEntry>& info)
{
    return BmpSuiteTestName(info.param.file);
}

// Rows with a reference: `render` and `render-tolerant` must read, draw and
// match; a `load-or-reject` one is compared only when it reads and draws.
class BmpSuiteDraw : public testing::TestWithParam<BmpSuiteEntry>
{
protected:
    void SetUp() override
    {
        const BmpSuiteEntry& e = GetParam();
        ASSERT_TRUE(LoadPng(BmpSuitePath(e.ref), m_ref)) << e.ref;
        const BOOL loaded = ReadEntry(e, m_dib);
        if (MustRender(e)) {
            ASSERT_TRUE(loaded) << e.note;
        } else if (!loaded) {
            RecordProperty("outcome", "refused");
            GTEST_SKIP() << e.file << " refused, which its row allows";
        }
        // A size that is not the reference's fails here, before a surface of
        // whatever the header claims is allocated.
        ASSERT_EQ(m_dib.GetDrawnSize(1.0), CSize(m_ref.width, m_ref.height)) << e.file;
    }

    int Draw(CSurface& surface, double scale)
    {
        CSurfaceDC dc(&surface);
        return m_dib.Draw(&dc, 0, 0, scale);
    }

    // Drawing returned 0: a failure for a row that must render, a skip for
    // one that may refuse.
    void NothingDrawn(double scale)
    {
        if (MustRender(GetParam())) {
            ADD_FAILURE() << GetParam().file << ": nothing drawn at scale " << scale;
            return;
        }
        RecordProperty("outcome", "not drawn");
        GTEST_SKIP() << GetParam().file << " read but not drawn, which its row allows";
    }

    CDib m_dib;
    RgbImage m_ref;
};

TEST_P(BmpSuiteDraw, MatchesTheReference)
{
    const BmpSuiteEntry& e = GetParam();
    CSurface surface(m_ref.width, m_ref.height);
    if (Draw(surface, 1.0) == 0)
        return NothingDrawn(1.0);
    const PixelComparison c =
        ComparePixels(m_ref, surface.Bits(), m_ref.width, m_ref.height, m_ref.width, e.tolerance);
    RecordProperty("maxDifference", c.maxDifference);
    EXPECT_TRUE(c.Matches()) << Describe(e, c);
}

// Halving keeps the even rows and columns, doubling makes 2 x 2 blocks, and
// 1.5 mixes both; each must pick exactly the source pixel the rounding-down
// rule names, in every format, RLE included.
TEST_P(BmpSuiteDraw, MatchesTheReferenceScaled)
{
    const BmpSuiteEntry& e = GetParam();
    for (const double scale : {0.5, 2.0, 1.5}) {
        SCOPED_TRACE(testing::Message() << "scale " << scale);
        const int w = ScaleDimension(m_ref.width, scale);
        const int h = ScaleDimension(m_ref.height, scale);
        CSurface surface(w, h);
        if (Draw(surface, scale) == 0)
            return NothingDrawn(scale);
        const PixelComparison c =
            ComparePixels(ScaledReference(m_ref, w, h), surface.Bits(), w, h, w, e.tolerance);
        EXPECT_TRUE(c.Matches()) << Describe(e, c);
    }
}

// A ring of sentinel pixels round the destination stays as it was: drawing
// writes only the picture's own rectangle, wherever the surface would let it.
TEST_P(BmpSuiteDraw, WritesNothingOutsideThePicture)
{
    const int w = m_ref.width, h = m_ref.height;
    CSurface surface(w + 2, h + 2, kSentinel);
    CSurfaceDC dc(&surface);
    dc.SetViewportOrg(1, 1);
    if (m_dib.Draw(&dc, 0, 0, 1.0) == 0)
        GTEST_SKIP() << "nothing drawn; MatchesTheReference says whether that is allowed";
    long touched = 0;
    for (int y = 0; y < h + 2; ++y) {
        for (int x = 0; x < w + 2; ++x) {
            const bool ring = x == 0 || y == 0 || x == w + 1 || y == h + 1;
            touched += ring && surface.Row(y)[x] != SurfacePixel(kSentinel);
        }
    }
    EXPECT_EQ(touched, 0) << GetParam().file;
}

INSTANTIATE_TEST_SUITE_P(Manifest, BmpSuiteDraw, testing::ValuesIn(Rows(true)), RowName);

// Rows without a reference: broken files and formats the drawing call does
// not take. Whatever reads is drawn at several scales, at both ends of the
// scaled picture, onto a surface of at most 256 x 256, so that a header
// claiming a huge picture costs no huge surface.
class BmpSuiteDrawBroken : public testing::TestWithParam<BmpSuiteEntry>
{
};

TEST_P(BmpSuiteDrawBroken, DrawsWithoutFaultAtAnyScale)
{
    constexpr int kMaxSide = 256;
    CDib dib;
    if (!ReadEntry(GetParam(), dib)) {
        RecordProperty("outcome", "refused");
        return;
    }
    RecordProperty("outcome", "read");
    for (const double scale : {1.0, 0.5, 2.0}) {
        SCOPED_TRACE(testing::Message() << "scale " << scale);
        const auto [w, h] = dib.GetDrawnSize(scale);
        CSurface surface(std::clamp(w, 1, kMaxSide), std::clamp(h, 1, kMaxSide));
        CSurfaceDC dc(&surface);
        dib.Draw(&dc, 0, 0, scale);
        // Scrolled to the far corner, where the last bytes of the block are drawn.
        dc.SetViewportOrg(surface.Width() - w, surface.Height() - h);
        dib.Draw(&dc, 0, 0, scale);
    }
}

INSTANTIATE_TEST_SUITE_P(Manifest, BmpSuiteDrawBroken, testing::ValuesIn(Rows(false)), RowName);

} // namespace
