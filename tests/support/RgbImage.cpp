// Pictures as RGB pixels for the tests: reference PNGs, the tool's PPMs, and their comparison.

#include "RgbImage.h"

#include "BmpSuite.h"

#include <QImage>
#include <QString>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <sstream>

bool LoadPng(const std::string& path, RgbImage& image)
{
    QImage png;
    if (!png.load(QString::fromStdString(path), "PNG"))
        return false;
    png = png.convertToFormat(QImage::Format_RGB888);
    image.width = png.width();
    image.height = png.height();
    const size_t rowBytes = static_cast<size_t>(image.width) * 3;
    image.rgb.resize(rowBytes * image.height);
    for (int y = 0; y < image.height; ++y) {
        const uchar* row = png.constScanLine(y);
        std::copy(row, row + rowBytes, image.rgb.begin() + rowBytes * y);
    }
    return true;
}

bool LoadPpm(const std::string& path, RgbImage& image)
{
    const std::vector<unsigned char> bytes = ReadWholeFile(path);
    std::istringstream header(std::string(bytes.begin(), bytes.end()));
    std::string magic;
    int width = 0, height = 0, maxval = 0;
    if (!(header >> magic >> width >> height >> maxval) || magic != "P6" || maxval != 255 ||
        width <= 0 || height <= 0)
        return false;
    // Exactly one whitespace byte separates the header from the pixels.
    const size_t start = static_cast<size_t>(header.tellg()) + 1;
    const size_t size = static_cast<size_t>(width) * height * 3;
    if (bytes.size() != start + size)
        return false;
    image.width = width;
    image.height = height;
    image.rgb.assign(bytes.begin() + static_cast<long>(start), bytes.end());
    return true;
}

PixelComparison ComparePixels(const RgbImage& expected, const DWORD* actual, int width, int height,
                              size_t stride, int tolerance)
{
    constexpr int kListed = 5;
    PixelComparison result;
    result.sameSize = expected.width == width && expected.height == height;
    char text[64];
    if (!result.sameSize) {
        std::snprintf(text, sizeof text, "size %d x %d, expected %d x %d", width, height,
                      expected.width, expected.height);
        result.report = text;
        return result;
    }
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const BYTE* want = expected.At(x, y);
            const DWORD got = actual[static_cast<size_t>(y) * stride + x];
            const int r = (got >> 16) & 0xFF, g = (got >> 8) & 0xFF, b = got & 0xFF;
            const int diff =
                std::max({std::abs(r - want[0]), std::abs(g - want[1]), std::abs(b - want[2])});
            if (diff > tolerance && result.differing++ < kListed) {
                std::snprintf(text, sizeof text,
                              " (%d,%d) expected #%02x%02x%02x got #%02x%02x%02x;", x, y, want[0],
                              want[1], want[2], r, g, b);
                result.report += text;
            }
        }
    }
    if (result.differing > kListed)
        result.report += " ...";
    return result;
}
