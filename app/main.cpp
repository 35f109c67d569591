// The program: the one application object and the entry that starts it.

#include "app/PixmoraApp.h"
#include "resources/Resources.h"

#include <cstdio>
#include <cstring>

namespace {

CPixmoraApp theApp;

void PrintVersion()
{
    const VERSIONINFO* info = LoadVersionResource(VS_VERSION_INFO);
    const DWORD ms = info ? info->fixed.dwFileVersionMS : 0;
    const DWORD ls = info ? info->fixed.dwFileVersionLS : 0;
    std::printf("pixmora %u.%u.%u.%u\n", static_cast<unsigned>(ms >> 16),
                static_cast<unsigned>(ms & 0xFFFF), static_cast<unsigned>(ls >> 16),
                static_cast<unsigned>(ls & 0xFFFF));
}

void PrintHelp()
{
    std::printf("Usage: pixmora [FILE.bmp]\n"
                "Shows a Windows bitmap file; without FILE, starts with an empty picture.\n"
                "\n"
                "  --help     show this text and exit\n"
                "  --version  show the version and exit\n");
}

} // namespace

int main(int argc, char** argv)
{
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--help") == 0) {
            PrintHelp();
            return 0;
        }
        if (std::strcmp(argv[i], "--version") == 0) {
            PrintVersion();
            return 0;
        }
    }
    // Everything the windows load comes from here, so it goes first.
    AfxSetResourceProvider(&GetResourceProvider());
    return AfxWinMain(argc, argv);
}
