// The program: the one application object and the entry that starts it.

#include "app/PixmoraApp.h"
#include "resources/Resources.h"

#include <cstdio>
#include <span>
#include <string_view>

namespace {

CPixmoraApp theApp;

// Exit status of a command line that names an option we do not have, as the
// usual command-line tools do.
constexpr int kUsageError = 2;

constexpr char kUsage[] =
    "Usage: pixmora [FILE.bmp]\n"
    "       pixmora --help | --version\n"
    "Shows a Windows bitmap file; without FILE, starts with an empty picture.\n"
    "\n"
    "  -h, --help     show this text and exit\n"
    "  --version      show the product name and version and exit\n"
    "\n"
    "A FILE whose name starts with '-' is given as ./-NAME or after --.\n"
    "Only one FILE opens; any others are named on standard error.\n";

// The version block's product name and product version, the one place that
// holds them.
void PrintVersion()
{
    const VERSIONINFO* info = LoadVersionResource(VS_VERSION_INFO);
    const char* name = "pixmora";
    for (const VERSIONSTRING& s : info ? info->strings : std::span<const VERSIONSTRING>())
        if (std::string_view(s.key) == "ProductName")
            name = s.value;
    const DWORD ms = info ? info->fixed.dwProductVersionMS : 0;
    const DWORD ls = info ? info->fixed.dwProductVersionLS : 0;
    std::printf("%s %u.%u.%u.%u\n", name, static_cast<unsigned>(ms >> 16),
                static_cast<unsigned>(ms & 0xFFFF), static_cast<unsigned>(ls >> 16),
                static_cast<unsigned>(ls & 0xFFFF));
}

} // namespace

int main(int argc, char** argv)
{
    // Answered before the toolkit starts, so that they need no display. The
    // window layer would ignore any other option, and a mistyped one that
    // silently opened an empty window would hide the mistake. Everything
    // after "--" is a file.
    for (int i = 1; i < argc && std::string_view(argv[i]) != "--"; ++i) {
        const std::string_view arg = argv[i];
        if (arg == "--help" || arg == "-h") {
            std::fputs(kUsage, stdout);
            return 0;
        }
        if (arg == "--version") {
            PrintVersion();
            return 0;
        }
        if (arg.starts_with('-')) {
            std::fprintf(stderr, "pixmora: unknown option '%s'\nTry 'pixmora --help'.\n", argv[i]);
            return kUsageError;
        }
    }
    // Everything the windows load comes from here, so it goes first.
    AfxSetResourceProvider(&GetResourceProvider());
    return AfxWinMain(argc, argv);
}
