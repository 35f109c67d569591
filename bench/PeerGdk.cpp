// gdk-pixbuf as a user's program runs it: decode the whole file, write the
// top-left window. A yardstick for pixmora_bench_process; see PeerPpm.h.

#include "PeerPpm.h"

#include <gdk-pixbuf/gdk-pixbuf.h>

int main(int argc, char** argv)
{
    PeerArguments args;
    if (!ParsePeerArguments(argc, argv, args))
        return kPeerUsageOrIo;
    GError* error = nullptr;
    GdkPixbuf* pixbuf = gdk_pixbuf_new_from_file(args.input, &error);
    if (!pixbuf) {
        std::fprintf(stderr, "%s: gdk-pixbuf cannot read it: %s\n", args.input,
                     error ? error->message : "no reason given");
        if (error)
            g_error_free(error);
        return kPeerCannotRead;
    }
    // 8 bits a sample, RGB or RGBA: the only layouts a pixbuf has.
    const int status =
        WritePeerPpm(args, {gdk_pixbuf_read_pixels(pixbuf), gdk_pixbuf_get_width(pixbuf),
                            gdk_pixbuf_get_height(pixbuf),
                            static_cast<std::size_t>(gdk_pixbuf_get_rowstride(pixbuf)),
                            gdk_pixbuf_get_n_channels(pixbuf)});
    g_object_unref(pixbuf);
    return status;
}
