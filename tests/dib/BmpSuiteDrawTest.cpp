// Conformance: suite images drawn as the viewer does, matched with their reference renderings.

#include "BmpSuite.h"
#include "RgbImage.h"
#include "dib/Dib.h"
#include "gdi/Dc.h"
#include "gdi/Surface.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

constexpr COLORREF kSentinel = RGB(0xFE, 0x01, 0xFD);

// Nearest-neighbour scaling: pixel (x, y) takes the reference's (x * W / w, y * H / h).
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

std::vector<BmpSuiteEntry> WithReference()
{
    std::vector<BmpSuiteEntry> rows = LoadBmpSuiteManifest();
    std::erase_if(rows, [](const BmpSuiteEntry& e) { return e.ref.empty(); });
    return rows;
}

using BmpSuiteDraw = testing::TestWithParam<BmpSuiteEntry>;

// A `load-or-reject` row is compared only when it reads and draws; a sentinel ring must stay.
TEST_P(BmpSuiteDraw, MatchesTheReferenceAtEveryScale)
{
    const BmpSuiteEntry& e = GetParam();
    const bool mustRender = e.expect == "render" || e.expect == "render-tolerant";
    RgbImage ref;
    ASSERT_TRUE(LoadPng(BmpSuitePath(e.ref), ref)) << e.ref;
    CFile file(BmpSuitePath(e.file).c_str(), CFile::modeRead | CFile::typeBinary);
    CDib dib;
    if (!dib.Read(&file)) {
        ASSERT_FALSE(mustRender) << e.note;
        GTEST_SKIP() << e.file << " refused, which its row allows";
    }
    // Before a surface of whatever the header claims is allocated.
    ASSERT_EQ(dib.GetDrawnSize(1.0), CSize(ref.width, ref.height));

    for (const double scale : {1.0, 0.5, 2.0, 1.5}) {
        SCOPED_TRACE(testing::Message() << "scale " << scale);
        const int w = ScaleDimension(ref.width, scale), h = ScaleDimension(ref.height, scale);
        CSurface surface(w + 2, h + 2, kSentinel);
        for (int y = 1; y <= h; ++y) // what the data leaves undefined keeps the black background
            std::fill(surface.Row(y) + 1, surface.Row(y) + w + 1, SurfacePixel(RGB(0, 0, 0)));
        CSurfaceDC dc(&surface);
        dc.SetViewportOrg(1, 1);
        if (dib.Draw(&dc, 0, 0, scale) == 0) {
            ASSERT_FALSE(mustRender) << "nothing drawn";
            GTEST_SKIP() << e.file << " read but not drawn, which its row allows";
        }
        std::vector<DWORD> inside;
        long ring = 0;
        for (int y = 0; y < h + 2; ++y) {
            for (int x = 0; x < w + 2; ++x) {
                const bool edge = x == 0 || y == 0 || x == w + 1 || y == h + 1;
                if (edge)
                    ring += surface.Row(y)[x] != SurfacePixel(kSentinel);
                else
                    inside.push_back(surface.Row(y)[x]);
            }
        }
        EXPECT_EQ(ring, 0) << "pixels written outside the picture";
        const PixelComparison c = ComparePixels(scale == 1.0 ? ref : ScaledReference(ref, w, h),
                                                inside.data(), w, h, w, e.tolerance);
        EXPECT_TRUE(c.Matches()) << e.file << ": " << c.differing << " pixels differ by more than "
                                 << e.tolerance << ":" << c.report << "\n  " << e.note;
    }
}

INSTANTIATE_TEST_SUITE_P(Manifest, BmpSuiteDraw, testing::ValuesIn(WithReference()),
                         [](const auto& info) { return BmpSuiteTestName(info.param.file); });

} // namespace
