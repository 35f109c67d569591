// The icons: the application's, IDR_MAINFRAME, and the document's,
// IDI_DOCUMENT, each in 32 x 32 and 16 x 16. A space is a transparent pixel;
// letters name colours as listed in PixelArt.h.

#include "PixelArt.h"
#include "resources/Resources.h"

namespace {

using pixelart::ColorBitmap;
using pixelart::MaskBitmap;
using pixelart::Parse;

// clang-format off

// A gilt frame holding a landscape, with a magnifying glass over its corner
// that shows the picture's colours as a grid of swatches.
constexpr std::string_view kApp32Art[] = {
    "                                ",
    "kkkkkkkkkkkkkkkkkkkkkkk         ",
    "kYYYYYYYYYYYYYYYYYYYYYk         ",
    "kYyyyyyyyyyyyyyyyyyyyyk         ",
    "kYyyyyyyyyyyyyyyyyyyyyk         ",
    "kYyykkkkkkkkkkkkkkkyyyk         ",
    "kYyykCCYYYCCCWWWWCkyyyk         ",
    "kYyykCYYYYYCWWWWWWkyyyk         ",
    "kYyykCYYYYYCCCCCCCkyyyk         ",
    "kYyykCYYYYYCCCCCCCkyyyk         ",
    "kYyykCCYYYCCCCCCCCkyyyk         ",
    "kYyykCCCCCCCCCCCCCkkkkk         ",
    "kYyykCCCCCCCCCCCkkxxxxxkk       ",
    "kYyykCCCCCCCCCkkxxYYkGGxxkk     ",
    "kYyykCCCCCCCCCkxkYYYkGGGkxk     ",
    "kYyykCCCCCCCCkxkkkkkkkkkkkxk    ",
    "kYyykCCCCCCGGkxMkWWWkCCCkMxk    ",
    "kYyykCCCCCGGkxMMkWWWkCCCkMMxk   ",
    "kYyykgCCGGGGkxMMkWWWkCCCkMMxk   ",
    "kYyykkkkkkkkkxkkkkkkkkkkkkkxk   ",
    "kYyyyyyyyyyykxbbkBBBkgggkbbxk   ",
    "kYyyyyyyyyyykxbbkBBBkgggkbbxk   ",
    "kYyyyyyyyyyyykxbkBBBkgggkbxk    ",
    "kkkkkkkkkkkkkkxkkkkkkkkkkkxk    ",
    "              kxkYYYkGGGkxkk    ",
    "              kkxxYYkGGxxkkrk   ",
    "                kkxxxxxkkkrrrk  ",
    "                  kkkkk   krrrk ",
    "                           krrrk",
    "                            krrk",
    "                             kkk",
    "                                ",
};

constexpr std::string_view kApp16Art[] = {
    "kkkkkkkkkkk     ",
    "kYYYYYYYYYk     ",
    "kYkkkkkkkyk     ",
    "kYkCYYCWkyk     ",
    "kYkCYYCCkyk     ",
    "kYkCCCCCkyk     ",
    "kYkGCCCkkkkk    ",
    "kYkGGCkxxxxxk   ",
    "kYkkkkxRRkYYxk  ",
    "kYyyykxRRkYYxk  ",
    "kkkkkkxkkkkkxk  ",
    "     kxBBkGGxk  ",
    "     kxBBkGGxk  ",
    "      kxxxxxkk  ",
    "       kkkkkkrrk",
    "             krr",
};

// A white ruled page with a margin line and a folded corner.
constexpr std::string_view kDocument32Art[] = {
    "                                ",
    "    kkkkkkkkkkkkkkkkk           ",
    "    kWWWWRWWWWWWWWWk.k          ",
    "    kWWWWRWWWWWWWWWk..k         ",
    "    kWWWWRWWWWWWWWWk...k        ",
    "    kWWWWRWWWWWWWWWk....k       ",
    "    kWWWWRWWWWWWWWWk.....k      ",
    "    kWWWWRWWWWWWWWWkkkkkkkk     ",
    "    kWWWWRWWWWWWWWWWWWWWWWk     ",
    "    kWWWWRWWWWWWWWWWWWWWWWkx    ",
    "    kWWWWRWWWWWWWWWWWWWWWWkx    ",
    "    kWBBBRBBBBBBBBBBBBBBBWkx    ",
    "    kWWWWRWWWWWWWWWWWWWWWWkx    ",
    "    kWWWWRWWWWWWWWWWWWWWWWkx    ",
    "    kWBBBRBBBBBBBBBBBBBBBWkx    ",
    "    kWWWWRWWWWWWWWWWWWWWWWkx    ",
    "    kWWWWRWWWWWWWWWWWWWWWWkx    ",
    "    kWBBBRBBBBBBBBBBBBBBBWkx    ",
    "    kWWWWRWWWWWWWWWWWWWWWWkx    ",
    "    kWWWWRWWWWWWWWWWWWWWWWkx    ",
    "    kWBBBRBBBBBBBBBBBBBBBWkx    ",
    "    kWWWWRWWWWWWWWWWWWWWWWkx    ",
    "    kWWWWRWWWWWWWWWWWWWWWWkx    ",
    "    kWBBBRBBBBBBBBBBBBBBBWkx    ",
    "    kWWWWRWWWWWWWWWWWWWWWWkx    ",
    "    kWWWWRWWWWWWWWWWWWWWWWkx    ",
    "    kWBBBRBBBBBBBBBBBBBBBWkx    ",
    "    kWWWWRWWWWWWWWWWWWWWWWkx    ",
    "    kWWWWRWWWWWWWWWWWWWWWWkx    ",
    "    kkkkkkkkkkkkkkkkkkkkkkkx    ",
    "     xxxxxxxxxxxxxxxxxxxxxxx    ",
    "                                ",
};

constexpr std::string_view kDocument16Art[] = {
    "  kkkkkkkk      ",
    "  kWWRWWWkk     ",
    "  kWWRWWWk.k    ",
    "  kWWRWWWk..k   ",
    "  kWWRWWWkkkkk  ",
    "  kWWRWWWWWWWkx ",
    "  kBBRBBBBBBWkx ",
    "  kWWRWWWWWWWkx ",
    "  kWWRWWWWWWWkx ",
    "  kBBRBBBBBBWkx ",
    "  kWWRWWWWWWWkx ",
    "  kWWRWWWWWWWkx ",
    "  kBBRBBBBBBWkx ",
    "  kWWRWWWWWWWkx ",
    "  kkkkkkkkkkkkx ",
    "   xxxxxxxxxxxx ",
};

// clang-format on

constexpr auto kApp32 = Parse<32>(kApp32Art);
constexpr auto kApp16 = Parse<16>(kApp16Art);
constexpr auto kDocument32 = Parse<32>(kDocument32Art);
constexpr auto kDocument16 = Parse<16>(kDocument16Art);

constexpr auto kApp32Color = ColorBitmap(kApp32);
constexpr auto kApp32Mask = MaskBitmap(kApp32);
constexpr auto kApp16Color = ColorBitmap(kApp16);
constexpr auto kApp16Mask = MaskBitmap(kApp16);
constexpr auto kDocument32Color = ColorBitmap(kDocument32);
constexpr auto kDocument32Mask = MaskBitmap(kDocument32);
constexpr auto kDocument16Color = ColorBitmap(kDocument16);
constexpr auto kDocument16Mask = MaskBitmap(kDocument16);

constexpr ICONIMAGE kAppIcon[] = {
    {32, 32, kApp32Color, kApp32Mask},
    {16, 16, kApp16Color, kApp16Mask},
};

constexpr ICONIMAGE kDocumentIcon[] = {
    {32, 32, kDocument32Color, kDocument32Mask},
    {16, 16, kDocument16Color, kDocument16Mask},
};

} // namespace

std::span<const ICONIMAGE> LoadIconResource(UINT id)
{
    switch (id) {
    case IDR_MAINFRAME:
        return kAppIcon;
    case IDI_DOCUMENT:
        return kDocumentIcon;
    default:
        return {};
    }
}
