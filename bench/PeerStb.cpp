// stb_image as a user's program runs it: decode the whole file, write the
// top-left window. A yardstick for pixmora_bench_process; see PeerPpm.h.

#include "PeerPpm.h"

#define STBI_ONLY_BMP
#define STB_IMAGE_IMPLEMENTATION
#include <stb/stb_image.h>

int main(int argc, char** argv)
{
    PeerArguments args;
    if (!ParsePeerArguments(argc, argv, args))
        return kPeerUsageOrIo;
    int width = 0;
    int height = 0;
    int channels = 0;
    // Its own layout (3 or 4 bytes a pixel for a bitmap): converting the
    // whole picture to another would be work no viewer asks of it.
    stbi_uc* pixels = stbi_load(args.input, &width, &height, &channels, 0);
    if (!pixels || channels < 3) {
        std::fprintf(stderr, "%s: stb_image cannot read it: %s\n", args.input,
                     pixels ? "not a colour picture" : stbi_failure_reason());
        stbi_image_free(pixels);
        return kPeerCannotRead;
    }
    const int status = WritePeerPpm(
        args, {pixels, width, height, static_cast<std::size_t>(width) * channels, channels});
    stbi_image_free(pixels);
    return status;
}
