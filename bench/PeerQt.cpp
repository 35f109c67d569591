// Qt's QImageReader as a user's program runs it: decode the whole file,
// write the top-left window. A yardstick for pixmora_bench_process; see
// PeerPpm.h.

#include "PeerPpm.h"

#include <QImage>
#include <QImageReader>

int main(int argc, char** argv)
{
    PeerArguments args;
    if (!ParsePeerArguments(argc, argv, args))
        return kPeerUsageOrIo;
    // Qt refuses images over 128 MiB unless told otherwise.
    QImageReader::setAllocationLimit(0);
    QImageReader reader(QString::fromLocal8Bit(args.input));
    const QImage image = reader.read();
    if (image.isNull()) {
        std::fprintf(stderr, "%s: Qt cannot read it: %s\n", args.input,
                     reader.errorString().toLocal8Bit().constData());
        return kPeerCannotRead;
    }
    // Only the window is converted, as a viewer converts only what it shows.
    const QImage window = image
                              .copy(0, 0, std::min(args.windowWidth, image.width()),
                                    std::min(args.windowHeight, image.height()))
                              .convertToFormat(QImage::Format_RGB888);
    return WritePeerPpm(args, {window.constBits(), window.width(), window.height(),
                               static_cast<std::size_t>(window.bytesPerLine()), 3});
}
