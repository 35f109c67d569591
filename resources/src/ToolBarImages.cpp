// The toolbar's image strip, bitmap IDR_MAINFRAME: ten 16 x 18 pictures side
// by side on the button face colour, in the order of the toolbar's buttons.
// Letters name colours as listed in PixelArt.h.

#include "PixelArt.h"
#include "resources/Resources.h"

namespace {

using pixelart::Parse;
using Button = pixelart::Picture<16, 18>;

// clang-format off
constexpr std::string_view kNewArt[] = {
    "................",
    "................",
    "...kkkkkkkk.....",
    "...kWWWWWWkk....",
    "...kWWWWWWkWk...",
    "...kWWWWWWkWWk..",
    "...kWWWWWWkkkkk.",
    "...kWWWWWWWWWWk.",
    "...kWWWWWWWWWWk.",
    "...kWWWWWWWWWWk.",
    "...kWWWWWWWWWWk.",
    "...kWWWWWWWWWWk.",
    "...kWWWWWWWWWWk.",
    "...kWWWWWWWWWWk.",
    "...kWWWWWWWWWWk.",
    "...kWWWWWWWWWWk.",
    "...kkkkkkkkkkkk.",
    "................",
};

constexpr std::string_view kOpenArt[] = {
    "................",
    "................",
    "................",
    "................",
    ".kkkk...........",
    "kyyyyk..........",
    "kyyyyykkkkkkk...",
    "kyyyyyyyyyyyyk..",
    "kyyyyyyyyyyyyk..",
    "kyyykkkkkkkkkkkk",
    "kyykYYYYYYYYYYYk",
    "kykYYYYYYYYYYYk.",
    "kykYYYYYYYYYYYk.",
    "kkYYYYYYYYYYYk..",
    "kkYYYYYYYYYYYk..",
    "kkkkkkkkkkkkk...",
    "................",
    "................",
};

constexpr std::string_view kSaveArt[] = {
    "................",
    "................",
    ".kkkkkkkkkkkkkk.",
    ".kbkWWWWWWWWkbk.",
    ".kbkWWWWWWWWkbk.",
    ".kbkWxxxxxxWkbk.",
    ".kbkWWWWWWWWkbk.",
    ".kbkWxxxxxxWkbk.",
    ".kbkWWWWWWWWkbk.",
    ".kbkkkkkkkkkkbk.",
    ".kbbbbbbbbbbbbk.",
    ".kbbkkkkkkkkbbk.",
    ".kbbkW.bb..kbbk.",
    ".kbbkW.bb..kbbk.",
    ".kbbkW.bb..kbbk.",
    ".kkkkkkkkkkkkkk.",
    "................",
    "................",
};

constexpr std::string_view kCutArt[] = {
    "................",
    "................",
    "...k........k...",
    "...kx......xk...",
    "....kx....xk....",
    "....kx....xk....",
    ".....kx..xk.....",
    ".....kx..xk.....",
    "......kxxk......",
    ".......kk.......",
    "......bkkb......",
    ".....bb..bb.....",
    "..bbbb....bbbb..",
    ".b...b....b...b.",
    ".b...b....b...b.",
    ".b...b....b...b.",
    "..bbb......bbb..",
    "................",
};

constexpr std::string_view kCopyArt[] = {
    "................",
    "kkkkkkk.........",
    "kWWWWWkk........",
    "kWxxxWkWk.......",
    "kWWWWWkkkk......",
    "kWxxxxxxWk......",
    "kWWWWWkkkkkkk...",
    "kWxxxxkWWWWWkk..",
    "kWWWWWkWxxxWkWk.",
    "kWxxxxkWWWWWkkkk",
    "kWWWWWkWxxxxxxWk",
    "kkkkkkkWWWWWWWWk",
    "......kWxxxxxxWk",
    "......kWWWWWWWWk",
    "......kWxxxxxxWk",
    "......kWWWWWWWWk",
    "......kkkkkkkkkk",
    "................",
};

constexpr std::string_view kPasteArt[] = {
    "................",
    ".....kkkk.......",
    ".kkkkx..xkkkk...",
    "kyyk.xxxx.kyyk..",
    "kyyykkkkkkyyyk..",
    "kyyyyyyyyyyyyk..",
    "kyyyyykkkkkkkkk.",
    "kyyyyykWWWWWWkWk",
    "kyyyyykWxxxxWkkk",
    "kyyyyykWWWWWWWWk",
    "kyyyyykWxxxxxxWk",
    "kyyyyykWWWWWWWWk",
    "kyyyyykWxxxxxxWk",
    "kyyyyykWWWWWWWWk",
    "kyyyyykWxxxxxxWk",
    "kkkkkkkWWWWWWWWk",
    "......kkkkkkkkkk",
    "................",
};

constexpr std::string_view kPrintArt[] = {
    "................",
    "................",
    "....kkkkkkkk....",
    "....kWWWWWWk....",
    "....kWxxxxWk....",
    "....kWWWWWWk....",
    "....kWxxxWWk....",
    "..kkkkkkkkkkkk..",
    ".kWWWWWWWWWWWWk.",
    ".kW..........xk.",
    ".kW.......GG.xk.",
    ".kW..........xk.",
    ".kxxxxxxxxxxxxk.",
    ".kkkkkkkkkkkkkk.",
    "...kWWWWWWWWk...",
    "...kWxxxxxWWk...",
    "...kkkkkkkkkk...",
    "................",
};

constexpr std::string_view kAboutArt[] = {
    "................",
    ".....kkkkkk.....",
    "....kYYYYYYk....",
    "...kYYYYYYYYk...",
    "...kYYkkkkYYk...",
    "...kYYk..kYYk...",
    "....kk...kYYk...",
    "........kYYk....",
    ".......kYYk.....",
    "......kYYk......",
    "......kYYk......",
    "......kYYk......",
    "......kkkk......",
    "................",
    "......kkkk......",
    "......kYYk......",
    "......kYYk......",
    "......kkkk......",
};

constexpr std::string_view kEnlargeArt[] = {
    "................",
    "....kkkkk.......",
    "..kkWWWWWkk.....",
    ".kWWWWWWWWWk....",
    ".kWWWWkWWWWk....",
    "kWWWWWkWWWWWk...",
    "kWWWWWkWWWWWk...",
    "kWWkkkkkkkWWk...",
    "kWWWWWkWWWWWk...",
    "kWWWWWkWWWWWk...",
    ".kWWWWkWWWWk....",
    ".kWWWWWWWWWk....",
    "..kkWWWWWkkk....",
    "....kkkkkkkyk...",
    "..........kyyk..",
    "...........kyyk.",
    "............kyyk",
    ".............kk.",
};

constexpr std::string_view kShrinkArt[] = {
    "................",
    "....kkkkk.......",
    "..kkWWWWWkk.....",
    ".kWWWWWWWWWk....",
    ".kWWWWWWWWWk....",
    "kWWWWWWWWWWWk...",
    "kWWWWWWWWWWWk...",
    "kWWkkkkkkkWWk...",
    "kWWWWWWWWWWWk...",
    "kWWWWWWWWWWWk...",
    ".kWWWWWWWWWk....",
    ".kWWWWWWWWWk....",
    "..kkWWWWWkkk....",
    "....kkkkkkkyk...",
    "..........kyyk..",
    "...........kyyk.",
    "............kyyk",
    ".............kk.",
};

// clang-format on

constexpr auto kStrip = pixelart::Strip(std::array<Button, 10>{
    Parse<16>(kNewArt),
    Parse<16>(kOpenArt),
    Parse<16>(kSaveArt),
    Parse<16>(kCutArt),
    Parse<16>(kCopyArt),
    Parse<16>(kPasteArt),
    Parse<16>(kPrintArt),
    Parse<16>(kAboutArt),
    Parse<16>(kEnlargeArt),
    Parse<16>(kShrinkArt),
});

constexpr auto kStripFile = pixelart::OpaqueColorBitmap(kStrip);

static_assert(kStripFile.size() == 14 + 40 + 16 * 4 + 18 * 80);

} // namespace

std::span<const BYTE> LoadBitmapResource(UINT id)
{
    return id == IDR_MAINFRAME ? std::span<const BYTE>(kStripFile) : std::span<const BYTE>();
}
