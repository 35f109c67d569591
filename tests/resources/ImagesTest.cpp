// The toolbar strip and the icons: 4-bit bitmaps whose pictures show what their buttons do.

#include "dib/Dib.h"
#include "resources/Resources.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace {

constexpr COLORREF kLightGrey = RGB(192, 192, 192);
constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kBlack = RGB(0, 0, 0);

// A picture's pixels as colours, top row first, drawn at natural size.
std::vector<COLORREF> Draw(std::span<const BYTE> bytes, int width, int height)
{
    CMemFile file(bytes.data(), bytes.size());
    CDib dib;
    EXPECT_TRUE(dib.Read(&file));
    CSurface surface(width, height, RGB(1, 2, 3));
    CSurfaceDC dc(&surface);
    EXPECT_EQ(dib.Draw(&dc, 0, 0), height);
    std::vector<COLORREF> pixels;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            pixels.push_back(SurfaceColor(surface.Row(y)[x]));
    return pixels;
}

// The mean position of the pixels of one colour.
std::pair<double, double> CentreOf(const std::vector<COLORREF>& image, COLORREF color, int width)
{
    double x = 0, y = 0;
    int n = 0;
    for (size_t i = 0; i < image.size(); ++i)
        if (image[i] == color) {
            x += static_cast<double>(i % width);
            y += static_cast<double>(i / width);
            ++n;
        }
    return n > 0 ? std::pair{x / n, y / n} : std::pair{-1.0, -1.0};
}

// The 16 standard colours the pictures' letters name: a wrong entry shows in the icons.
TEST(ResourceImages, UseTheStandardColours)
{
    const COLORREF standard[16] = {
        RGB(0, 0, 0),       RGB(128, 0, 0),   RGB(0, 128, 0),   RGB(128, 128, 0),
        RGB(0, 0, 128),     RGB(128, 0, 128), RGB(0, 128, 128), RGB(192, 192, 192),
        RGB(128, 128, 128), RGB(255, 0, 0),   RGB(0, 255, 0),   RGB(255, 255, 0),
        RGB(0, 0, 255),     RGB(255, 0, 255), RGB(0, 255, 255), RGB(255, 255, 255),
    };
    const std::span<const BYTE> strip = LoadBitmapResource(IDR_MAINFRAME);
    CMemFile file(strip.data(), strip.size());
    CDib dib;
    ASSERT_TRUE(dib.Read(&file));
    ASSERT_EQ(dib.GetColorCount(), 16);
    for (int k = 0; k < 16; ++k) {
        const RGBQUAD& q = dib.m_pInfo->bmiColors[k];
        EXPECT_EQ(RGB(q.rgbRed, q.rgbGreen, q.rgbBlue), standard[k]) << "entry " << k;
    }
}

// Ten distinct pictures on the button face, each where its button takes it.
TEST(ToolBarStrip, ButtonsShowTheirPictures)
{
    const std::vector<COLORREF> strip = Draw(LoadBitmapResource(IDR_MAINFRAME), 160, 18);
    const TOOLBARTEMPLATE* toolBar = LoadToolBarResource(IDR_MAINFRAME);
    ASSERT_NE(toolBar, nullptr);
    std::map<WORD, std::vector<COLORREF>> byCommand;
    std::set<std::vector<COLORREF>> seen;
    for (size_t i = 0; i < toolBar->items.size(); ++i) {
        const int n = ToolBarImageIndex(*toolBar, i);
        if (n < 0)
            continue;
        std::vector<COLORREF> image; // 16 x 18 pixels, image n of the strip
        for (int y = 0; y < 18; ++y)
            image.insert(image.end(), strip.begin() + y * 160 + n * 16,
                         strip.begin() + y * 160 + n * 16 + 16);
        for (size_t corner : {0, 15, 17 * 16, 17 * 16 + 15})
            EXPECT_EQ(image[corner], kLightGrey) << n;
        EXPECT_GT(std::ranges::count_if(image, [](COLORREF c) { return c != kLightGrey; }), 40)
            << n;
        EXPECT_TRUE(seen.insert(image).second) << n << " is the same as an earlier picture";
        byCommand[toolBar->items[i]] = image;
    }
    ASSERT_EQ(byCommand.size(), 10u);
    // The question mark is filled with yellow; a blank page is mostly white.
    EXPECT_GT(std::ranges::count(byCommand[ID_APP_ABOUT], RGB(255, 255, 0)), 10);
    EXPECT_GT(std::ranges::count(byCommand[ID_FILE_NEW], kWhite), 16 * 18 / 3);
    // The magnifiers differ only by the plus sign's upright stroke, mid-lens; the handle points
    // down and right. Pixels in the wrong order or rows upside down show here.
    const auto& enlarge = byCommand[ID_VIEW_ENLARGE];
    const auto& shrink = byCommand[ID_VIEW_SHRINK];
    std::set<int> columns;
    for (size_t i = 0; i < enlarge.size(); ++i)
        if (enlarge[i] != shrink[i])
            columns.insert(static_cast<int>(i % 16));
    ASSERT_EQ(columns.size(), 1u);
    EXPECT_GT(std::ranges::count(enlarge, kBlack), std::ranges::count(shrink, kBlack));
    const auto lens = CentreOf(shrink, kWhite, 16);
    const auto handle = CentreOf(shrink, RGB(128, 128, 0), 16);
    EXPECT_NEAR(lens.first, *columns.begin(), 0.25);
    EXPECT_GT(handle.first, lens.first + 4);
    EXPECT_GT(handle.second, lens.second + 4);
}

// Some pixels see-through, most not; other ids have no icon.
TEST(Icons, TwoSizesWhoseMaskShapesThePicture)
{
    EXPECT_TRUE(LoadIconResource(IDD_ABOUTBOX).empty());
    for (UINT id : {IDR_MAINFRAME, IDI_DOCUMENT}) {
        const std::span<const ICONIMAGE> images = LoadIconResource(id);
        ASSERT_EQ(images.size(), 2u);
        EXPECT_EQ(images[0].cx, 32);
        EXPECT_EQ(images[1].cx, 16);
        for (const ICONIMAGE& icon : images) {
            const long opaque = std::ranges::count(Draw(icon.maskBitmap, icon.cx, icon.cy), kBlack);
            EXPECT_GT(opaque, icon.cx * icon.cy / 2) << id << "/" << icon.cx;
            EXPECT_LT(opaque, icon.cx * icon.cy) << id << "/" << icon.cx;
        }
    }
}

} // namespace
