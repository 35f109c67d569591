// The toolbar strip and the icons: real 4-bit bitmaps in the standard colours.

#include "core/Endian.h"
#include "dib/Dib.h"
#include "resources/Resources.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace {

// Black, the six dark colours, light grey, dark grey, the six bright ones, white.
const COLORREF kStandardColors[16] = {
    RGB(0, 0, 0),       RGB(128, 0, 0),   RGB(0, 128, 0),   RGB(128, 128, 0),
    RGB(0, 0, 128),     RGB(128, 0, 128), RGB(0, 128, 128), RGB(192, 192, 192),
    RGB(128, 128, 128), RGB(255, 0, 0),   RGB(0, 255, 0),   RGB(255, 255, 0),
    RGB(0, 0, 255),     RGB(255, 0, 255), RGB(0, 255, 255), RGB(255, 255, 255),
};
constexpr COLORREF kLightGrey = RGB(192, 192, 192);
constexpr COLORREF kYellow = RGB(255, 255, 0);
constexpr COLORREF kDarkYellow = RGB(128, 128, 0);
constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kBlack = RGB(0, 0, 0);
constexpr COLORREF kSentinel = RGB(1, 2, 3);

bool ReadDib(std::span<const BYTE> bytes, CDib* dib)
{
    CMemFile file(bytes.data(), bytes.size());
    return dib->Read(&file);
}

COLORREF ColorEntry(const CDib& dib, int i)
{
    const RGBQUAD& q = dib.m_pInfo->bmiColors[i];
    return RGB(q.rgbRed, q.rgbGreen, q.rgbBlue);
}

// A picture drawn at natural size into a surface of its own.
struct Drawn
{
    Drawn(std::span<const BYTE> bytes, int width, int height) : surface(width, height, kSentinel)
    {
        CDib dib;
        EXPECT_TRUE(ReadDib(bytes, &dib));
        CSurfaceDC dc(&surface);
        lines = dib.Draw(&dc, 0, 0);
    }
    COLORREF At(int x, int y) const { return SurfaceColor(surface.Row(y)[x]); }

    CSurface surface;
    int lines = 0;
};

TEST(ResourceImages, ReadAsCompleteBottomUpUncompressedBitmaps)
{
    struct Case
    {
        std::string name;
        std::span<const BYTE> bytes;
        int size[2];
        WORD bitCount;
    };
    std::vector<Case> cases = {{"strip", LoadBitmapResource(128), {160, 18}, 4}};
    for (UINT id : {IDR_MAINFRAME, IDI_DOCUMENT}) {
        for (const ICONIMAGE& icon : LoadIconResource(id)) {
            const std::string name = "icon " + std::to_string(id) + "/" + std::to_string(icon.cx);
            cases.push_back({name, icon.colorBitmap, {icon.cx, icon.cy}, 4});
            cases.push_back({name + " mask", icon.maskBitmap, {icon.cx, icon.cy}, 1});
        }
    }
    ASSERT_EQ(cases.size(), 9u);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_GE(c.bytes.size(), 14u);
        EXPECT_EQ(LoadLE32(c.bytes.data() + 2), c.bytes.size()); // the file size field
        CDib dib;
        ASSERT_TRUE(ReadDib(c.bytes, &dib));
        const BITMAPINFOHEADER& h = dib.m_pInfo->bmiHeader;
        EXPECT_EQ(h.biWidth, c.size[0]);
        EXPECT_EQ(h.biHeight, c.size[1]); // positive: bottom-up
        EXPECT_EQ(h.biPlanes, 1);
        EXPECT_EQ(h.biBitCount, c.bitCount);
        EXPECT_EQ(h.biCompression, BI_RGB);
        EXPECT_EQ(dib.m_cbPixels, DibRowStride(h.biWidth, h.biBitCount) * h.biHeight);
        ASSERT_EQ(dib.GetColorCount(), 1 << c.bitCount);
        for (int i = 0; i < dib.GetColorCount(); ++i) {
            const COLORREF expected = c.bitCount == 4 ? kStandardColors[i]
                                      : i == 0        ? kBlack
                                                      : kWhite;
            EXPECT_EQ(ColorEntry(dib, i), expected) << "entry " << i;
        }
    }
    EXPECT_EQ(LoadBitmapResource(128).size(), 14u + 40 + 64 + 1440);
    EXPECT_TRUE(LoadBitmapResource(129).empty());
    EXPECT_TRUE(LoadIconResource(130).empty());
}

COLORREF MostCommon(const std::map<COLORREF, int>& counts)
{
    return std::ranges::max_element(counts, {}, [](const auto& e) { return e.second; })->first;
}

struct Centre
{
    double x;
    double y;
};

// The mean position of the pixels of one colour, rows `width` pixels long.
Centre CentreOf(const std::vector<COLORREF>& image, COLORREF color, size_t width = 16)
{
    Centre sum{0, 0};
    int n = 0;
    for (size_t i = 0; i < image.size(); ++i) {
        if (image[i] == color) {
            sum.x += static_cast<double>(i % width);
            sum.y += static_cast<double>(i / width);
            ++n;
        }
    }
    return n > 0 ? Centre{sum.x / n, sum.y / n} : Centre{-1, -1};
}

// Pixels as colours, top row first, from column `left` on.
std::vector<COLORREF> Pixels(const Drawn& drawn, int left, int width, int height)
{
    std::vector<COLORREF> pixels;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            pixels.push_back(drawn.At(left + x, y));
    return pixels;
}

// Image n of the strip.
std::vector<COLORREF> Image(const Drawn& strip, int n)
{
    return Pixels(strip, n * 16, 16, 18);
}

TEST(ToolBarStrip, TenDistinctPicturesOnLightGrey)
{
    const Drawn strip(LoadBitmapResource(IDR_MAINFRAME), 160, 18);
    EXPECT_EQ(strip.lines, 18);
    std::map<COLORREF, int> counts;
    for (int y = 0; y < 18; ++y)
        for (int x = 0; x < 160; ++x)
            ++counts[strip.At(x, y)];
    EXPECT_EQ(counts.count(kSentinel), 0u); // every pixel drawn
    EXPECT_EQ(MostCommon(counts), kLightGrey);

    const std::vector<COLORREF> blank(16 * 18, kLightGrey);
    std::set<std::vector<COLORREF>> seen;
    for (int n = 0; n < 10; ++n) {
        SCOPED_TRACE(n);
        const std::vector<COLORREF> image = Image(strip, n);
        // Each picture keeps the button face in its corners and draws
        // something substantial.
        for (size_t corner : {0, 15, 17 * 16, 17 * 16 + 15})
            EXPECT_EQ(image[corner], kLightGrey) << corner;
        const auto painted =
            std::ranges::count_if(image, [](COLORREF c) { return c != kLightGrey; });
        EXPECT_GT(painted, 40);
        EXPECT_NE(image, blank);
        EXPECT_TRUE(seen.insert(image).second) << "same as an earlier picture";
    }
}

TEST(ToolBarStrip, ButtonsShowTheirPictures)
{
    const Drawn strip(LoadBitmapResource(IDR_MAINFRAME), 160, 18);
    const TOOLBARTEMPLATE* toolBar = LoadToolBarResource(IDR_MAINFRAME);
    ASSERT_NE(toolBar, nullptr);
    std::map<WORD, std::vector<COLORREF>> byCommand;
    for (size_t i = 0; i < toolBar->items.size(); ++i)
        if (ToolBarImageIndex(*toolBar, i) >= 0)
            byCommand[toolBar->items[i]] = Image(strip, ToolBarImageIndex(*toolBar, i));
    ASSERT_EQ(byCommand.size(), 10u);

    auto count = [](const std::vector<COLORREF>& image, COLORREF color) {
        return std::ranges::count(image, color);
    };
    // The question mark is filled with yellow.
    std::map<COLORREF, int> about;
    for (COLORREF c : byCommand[ID_APP_ABOUT])
        ++about[c];
    about.erase(kLightGrey);
    about.erase(kBlack);
    EXPECT_EQ(MostCommon(about), kYellow);
    // The two magnifiers differ only by the plus sign's upright stroke,
    // which stands in the middle of the lens; the handle points down and
    // to the right. Pixels in the wrong order or rows upside down show here.
    const auto& enlarge = byCommand[ID_VIEW_ENLARGE];
    const auto& shrink = byCommand[ID_VIEW_SHRINK];
    std::set<int> columns;
    for (size_t i = 0; i < enlarge.size(); ++i)
        if (enlarge[i] != shrink[i])
            columns.insert(static_cast<int>(i % 16));
    ASSERT_EQ(columns.size(), 1u);
    EXPECT_GT(count(enlarge, kBlack), count(shrink, kBlack));
    const Centre lens = CentreOf(shrink, kWhite);
    EXPECT_NEAR(lens.x, *columns.begin(), 0.25);
    const Centre handle = CentreOf(shrink, kDarkYellow);
    EXPECT_GT(handle.x, lens.x + 4);
    EXPECT_GT(handle.y, lens.y + 4);
    // A blank page is mostly white.
    EXPECT_GT(count(byCommand[ID_FILE_NEW], kWhite), 16 * 18 / 3);
}

TEST(Icons, TwoSizesWhoseMaskMatchesThePicture)
{
    for (UINT id : {IDR_MAINFRAME, IDI_DOCUMENT}) {
        const std::span<const ICONIMAGE> images = LoadIconResource(id);
        ASSERT_EQ(images.size(), 2u);
        EXPECT_EQ(images[0].cx, 32);
        EXPECT_EQ(images[1].cx, 16);
        for (const ICONIMAGE& icon : images) {
            SCOPED_TRACE(std::to_string(id) + "/" + std::to_string(icon.cx));
            ASSERT_EQ(icon.cx, icon.cy);
            const Drawn picture(icon.colorBitmap, icon.cx, icon.cy);
            const Drawn mask(icon.maskBitmap, icon.cx, icon.cy);
            int opaque = 0;
            std::map<COLORREF, int> colors;
            for (int y = 0; y < icon.cy; ++y) {
                for (int x = 0; x < icon.cx; ++x) {
                    const COLORREF m = mask.At(x, y);
                    ASSERT_TRUE(m == kBlack || m == kWhite);
                    if (m == kWhite) {
                        // See-through pixels add nothing over the screen.
                        EXPECT_EQ(picture.At(x, y), kBlack) << x << ", " << y;
                        continue;
                    }
                    ++opaque;
                    ++colors[picture.At(x, y)];
                }
            }
            const int area = icon.cx * icon.cy;
            EXPECT_GT(opaque, area / 2);
            EXPECT_LT(opaque, area); // some transparency, so the shape shows
            if (id == IDI_DOCUMENT) {
                EXPECT_EQ(MostCommon(colors), kWhite); // a white page
                // with its corner folded over at the top right
                const Centre fold =
                    CentreOf(Pixels(picture, 0, icon.cx, icon.cy), kLightGrey, icon.cx);
                EXPECT_GT(fold.x, icon.cx / 2);
                EXPECT_LT(fold.y, icon.cy / 4);
                EXPECT_GE(fold.y, 0);
            } else {
                EXPECT_GE(colors.size(), 8u); // a colourful picture
            }
        }
    }
}

} // namespace
