// pixmora-make-samples OUTPUT_DIR: writes the sample bitmaps bundled with the
// viewer. Every picture is computed here from a formula, so the samples are
// ours and can be made again byte for byte.

#include "core/Types.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <numbers>
#include <string>
#include <vector>

namespace {

struct Colour
{
    BYTE r, g, b;
};

class Bytes
{
public:
    void U8(BYTE v) { m_data.push_back(v); }
    void U16(WORD v)
    {
        U8(static_cast<BYTE>(v));
        U8(static_cast<BYTE>(v >> 8));
    }
    void U32(DWORD v)
    {
        U16(static_cast<WORD>(v));
        U16(static_cast<WORD>(v >> 16));
    }
    const std::vector<BYTE>& Data() const { return m_data; }

private:
    std::vector<BYTE> m_data;
};

// Writes a bitmap file: a colour table for 4 and 8 bits, rows padded to
// four bytes, bottom row first unless the height is negative. `pixel` gives
// an index (4, 8 bits) or a packed 0xRRGGBB colour (24 bits) for (x, y) with
// y = 0 at the top of the picture.
bool WriteBitmap(const std::string& path, int width, int height, WORD bitCount,
                 const std::vector<Colour>& table, const std::function<DWORD(int, int)>& pixel)
{
    const int rows = std::abs(height);
    const DWORD stride = (static_cast<DWORD>(width) * bitCount + 31) / 32 * 4;
    const DWORD tableBytes = static_cast<DWORD>(table.size()) * 4;
    const DWORD offset = 14 + 40 + tableBytes;
    const DWORD imageBytes = stride * static_cast<DWORD>(rows);

    Bytes out;
    out.U16(0x4D42); // "BM"
    out.U32(offset + imageBytes);
    out.U32(0);
    out.U32(offset);
    out.U32(40);
    out.U32(static_cast<DWORD>(width));
    out.U32(static_cast<DWORD>(height));
    out.U16(1);
    out.U16(bitCount);
    out.U32(0); // uncompressed
    out.U32(imageBytes);
    out.U32(2835); // 72 dots per inch
    out.U32(2835);
    out.U32(static_cast<DWORD>(table.size()));
    out.U32(0);
    for (const Colour& c : table) {
        out.U8(c.b);
        out.U8(c.g);
        out.U8(c.r);
        out.U8(0);
    }
    for (int row = 0; row < rows; ++row) {
        const int y = height > 0 ? rows - 1 - row : row;
        std::vector<BYTE> line(stride, 0);
        for (int x = 0; x < width; ++x) {
            const DWORD v = pixel(x, y);
            if (bitCount == 8) {
                line[x] = static_cast<BYTE>(v);
            } else if (bitCount == 4) {
                line[x / 2] |= static_cast<BYTE>((v & 15) << (x % 2 == 0 ? 4 : 0));
            } else {
                line[3 * x] = static_cast<BYTE>(v);
                line[3 * x + 1] = static_cast<BYTE>(v >> 8);
                line[3 * x + 2] = static_cast<BYTE>(v >> 16);
            }
        }
        for (BYTE b : line)
            out.U8(b);
    }
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f)
        return false;
    const bool ok = std::fwrite(out.Data().data(), 1, out.Data().size(), f) == out.Data().size();
    return std::fclose(f) == 0 && ok;
}

BYTE Clamp(double v)
{
    return static_cast<BYTE>(std::lround(std::fmin(255.0, std::fmax(0.0, v))));
}

// A hue wheel at full saturation: h in [0, 1).
Colour Hue(double h, double value)
{
    const double r = std::fabs(h * 6 - 3) - 1, g = 2 - std::fabs(h * 6 - 2),
                 b = 2 - std::fabs(h * 6 - 4);
    auto c = [&](double v) { return Clamp(255 * value * std::fmin(1.0, std::fmax(0.0, v))); };
    return {c(r), c(g), c(b)};
}

// 256 colours: sixteen hues, each in sixteen shades from dark to light.
std::vector<Colour> RichPalette()
{
    std::vector<Colour> table;
    for (int i = 0; i < 256; ++i) {
        const Colour base = Hue((i / 16) / 16.0, 1.0);
        const double shade = (i % 16) / 15.0;
        auto mix = [&](BYTE c) {
            return shade < 0.5 ? Clamp(c * (0.25 + 1.5 * shade))
                               : Clamp(c + (255 - c) * (shade - 0.5) * 1.4);
        };
        table.push_back({mix(base.r), mix(base.g), mix(base.b)});
    }
    return table;
}

// Overlapping waves: the hue follows the angle round the centre, the shade
// the interference of two ripples.
DWORD Waves(int x, int y, int width, int height)
{
    const double cx = x - width / 2.0, cy = y - height / 2.0;
    const double angle = std::atan2(cy, cx) / (2 * std::numbers::pi) + 0.5;
    const double ripple = std::sin(std::hypot(cx, cy) / 9.0) + std::sin((x + 2 * y) / 23.0);
    const int hue = static_cast<int>(angle * 16) % 16;
    const int shade = std::clamp(static_cast<int>((ripple + 2) / 4 * 16), 0, 15);
    return static_cast<DWORD>(hue * 16 + shade);
}

std::vector<Colour> StandardSixteen()
{
    return {{0, 0, 0},       {128, 0, 0},   {0, 128, 0},   {128, 128, 0},
            {0, 0, 128},     {128, 0, 128}, {0, 128, 128}, {192, 192, 192},
            {128, 128, 128}, {255, 0, 0},   {0, 255, 0},   {255, 255, 0},
            {0, 0, 255},     {255, 0, 255}, {0, 255, 255}, {255, 255, 255}};
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fputs("usage: pixmora-make-samples OUTPUT_DIR\n", stderr);
        return 1;
    }
    const std::string dir = argv[1];
    bool ok = true;

    // The main sample: 8 bits, every one of 256 colours used.
    ok &= WriteBitmap(dir + "/sample.bmp", 320, 240, 8, RichPalette(),
                      [](int x, int y) { return Waves(x, y, 320, 240); });

    // 4 bits: rings in the sixteen standard colours.
    ok &= WriteBitmap(dir + "/sample4.bmp", 160, 120, 4, StandardSixteen(), [](int x, int y) {
        const double r = std::hypot(x - 80.0, y - 60.0);
        return static_cast<DWORD>(1 + static_cast<int>(r / 6) % 15);
    });

    // 24 bits: a sky-to-sea gradient with a sun.
    ok &= WriteBitmap(dir + "/sample24.bmp", 256, 192, 24, {}, [](int x, int y) {
        if (std::hypot(x - 190.0, y - 50.0) < 22)
            return DWORD{0xFFD040};
        const double t = y / 191.0;
        const Colour sky{Clamp(90 + 120 * t), Clamp(150 + 80 * t), 235};
        const Colour sea{0, Clamp(60 + 60 * (1 - t)), Clamp(140 + 40 * (1 - t))};
        const Colour c = y < 120 ? sky : sea;
        return DWORD{c.r} << 16 | DWORD{c.g} << 8 | c.b;
    });

    // 8 bits stored top row first: an arrow that must point up.
    ok &= WriteBitmap(dir + "/sample-topdown.bmp", 96, -128, 8, RichPalette(), [](int x, int y) {
        const bool head = y >= 16 && y < 64 && std::abs(x - 48) <= (y - 16);
        const bool shaft = y >= 64 && y < 112 && std::abs(x - 48) <= 10;
        return static_cast<DWORD>(head || shaft ? 9 * 16 + 4 : 10 * 16 + 14);
    });

    if (!ok) {
        std::fprintf(stderr, "pixmora-make-samples: cannot write the samples into %s\n",
                     dir.c_str());
        return 1;
    }
    return 0;
}
