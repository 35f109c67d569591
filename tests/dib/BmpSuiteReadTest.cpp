// Conformance: every image of the suite read with the outcome its manifest expects.

#include "BmpSuite.h"
#include "dib/Dib.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

namespace {

TEST(BmpSuite, ManifestIsThere)
{
    // Without it every conformance test below would pass vacuously.
    EXPECT_GE(LoadBmpSuiteManifest().size(), 89u) << "no manifest under " << PIXMORA_BMPSUITE_DIR;
}

class BmpSuiteRead : public testing::TestWithParam<BmpSuiteEntry>
{
};

// Every image reads without a fault under the sanitizers; a refused one
// leaves a fresh bitmap blank, and no read makes a block larger than the file.
TEST_P(BmpSuiteRead, ReadsOrRefusesCleanly)
{
    const BmpSuiteEntry& e = GetParam();
    const std::string path = BmpSuitePath(e.file);
    CFile file(path.c_str(), CFile::modeRead | CFile::typeBinary);
    CDib dib;
    const BOOL loaded = dib.Read(&file);

    if (e.expect == "render" || e.expect == "render-tolerant") {
        ASSERT_TRUE(loaded) << e.note;
    }
    if (!loaded) {
        EXPECT_EQ(dib.m_pInfo->bmiHeader.biWidth, 16);
        EXPECT_EQ(dib.m_pInfo->bmiHeader.biHeight, 16);
        EXPECT_EQ(dib.m_cbPixels, 256u);
        return;
    }
    EXPECT_EQ(dib.m_pInfo->bmiHeader.biSize, 40u);
    EXPECT_LE(dib.m_cbPixels, file.GetLength());
}

INSTANTIATE_TEST_SUITE_P(Manifest, BmpSuiteRead, testing::ValuesIn(LoadBmpSuiteManifest()),
                         [](const auto& info) { return BmpSuiteTestName(info.param.file); });

// The good images: what was stored is what the file describes. The size comes
// from the reference rendering, the bit count from the image's name.
TEST(BmpSuite, GoodImagesKeepTheirDimensionsBitCountAndColourCount)
{
    int checked = 0;
    for (const BmpSuiteEntry& e : LoadBmpSuiteManifest()) {
        if (e.file.rfind("g/", 0) != 0)
            continue;
        SCOPED_TRACE(e.file);
        const std::string path = BmpSuitePath(e.file);
        CFile file(path.c_str(), CFile::modeRead);
        CDib dib;
        ASSERT_TRUE(dib.Read(&file));
        const BITMAPINFOHEADER& h = dib.m_pInfo->bmiHeader;

        int width = 0, height = 0;
        ASSERT_TRUE(ReadPngSize(BmpSuitePath(e.ref), width, height));
        EXPECT_EQ(h.biWidth, width);
        EXPECT_EQ(std::abs(h.biHeight), height);
        EXPECT_EQ(h.biHeight < 0, e.file == "g/pal8topdown.bmp");

        // g/pal1..., g/pal4..., g/pal8..., g/rgb16..., g/rgb24..., g/rgb32...
        const bool indexed = e.file.rfind("g/pal", 0) == 0;
        const int bits = std::atoi(e.file.c_str() + 5);
        EXPECT_EQ(h.biBitCount, bits);

        // The colour count is the header's used count when it gives one.
        const std::vector<unsigned char> bytes = ReadWholeFile(path);
        const bool core = bytes[14] == 12;
        const unsigned used = core ? 0 : bytes[46] | bytes[47] << 8;
        const int expected = used ? static_cast<int>(used) : indexed ? 1 << bits : 0;
        EXPECT_EQ(dib.GetColorCount(), expected);
        ++checked;
    }
    EXPECT_EQ(checked, 27);
}

} // namespace
