#pragma once

// What the peer decoder programs share: their command line and the output a
// user's program makes of a decoded picture, its top-left window as a binary
// PPM written in a few large writes.
//
//   PROG INPUT.bmp OUTPUT.ppm [WxH]      (window 1920x1080 unless given)
//
// Exit status: 0 written; 1 usage or I/O error; 2 the library cannot read
// the file.

#include <algorithm>
#include <cerrno>
#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <string>
#include <unistd.h>
#include <vector>

enum PeerExit
{
    kPeerWritten = 0,
    kPeerUsageOrIo = 1,
    kPeerCannotRead = 2,
};

struct PeerArguments
{
    const char* input = nullptr;
    const char* output = nullptr;
    int windowWidth = 1920;
    int windowHeight = 1080;
};

// False, with the usage printed, on a malformed command line.
inline bool ParsePeerArguments(int argc, char** argv, PeerArguments& args)
{
    bool ok = argc == 3 || argc == 4;
    if (ok && argc == 4) {
        char* end = nullptr;
        const long w = std::strtol(argv[3], &end, 10);
        const bool x = end && *end == 'x';
        const long h = x ? std::strtol(end + 1, &end, 10) : 0;
        ok = x && *end == '\0' && w > 0 && h > 0 && w <= 65535 && h <= 65535;
        args.windowWidth = static_cast<int>(w);
        args.windowHeight = static_cast<int>(h);
    }
    if (!ok) {
        std::fprintf(stderr, "usage: %s INPUT.bmp OUTPUT.ppm [WxH]\n", argc > 0 ? argv[0] : "peer");
        return false;
    }
    args.input = argv[1];
    args.output = argv[2];
    return true;
}

// A decoded picture as its library holds it: rows `stride` bytes apart, each
// pixel `channels` bytes whose first three are red, green and blue.
struct PeerPixels
{
    const unsigned char* rows;
    int width;
    int height;
    std::size_t stride;
    int channels;
};

inline bool WriteAll(int fd, const unsigned char* data, std::size_t size)
{
    while (size > 0) {
        const ssize_t n = ::write(fd, data, size);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        data += n;
        size -= static_cast<std::size_t>(n);
    }
    return true;
}

// Copies the top-left window of `pixels`, at most the picture's size, into
// one buffer behind its P6 header and writes it in one go. Returns the exit
// status.
inline int WritePeerPpm(const PeerArguments& args, const PeerPixels& pixels)
{
    const int w = std::min(args.windowWidth, pixels.width);
    const int h = std::min(args.windowHeight, pixels.height);
    const std::string header = "P6\n" + std::to_string(w) + " " + std::to_string(h) + "\n255\n";
    const std::size_t rowBytes = static_cast<std::size_t>(w) * 3;
    std::vector<unsigned char> out(header.size() + rowBytes * static_cast<std::size_t>(h));
    std::memcpy(out.data(), header.data(), header.size());
    unsigned char* to = out.data() + header.size();
    for (int y = 0; y < h; ++y) {
        const unsigned char* from = pixels.rows + pixels.stride * static_cast<std::size_t>(y);
        if (pixels.channels == 3) {
            std::memcpy(to, from, rowBytes);
            to += rowBytes;
            continue;
        }
        for (int x = 0; x < w; ++x, from += pixels.channels) {
            *to++ = from[0];
            *to++ = from[1];
            *to++ = from[2];
        }
    }
    const int fd = ::open(args.output, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) {
        std::fprintf(stderr, "%s: %s\n", args.output, std::strerror(errno));
        return kPeerUsageOrIo;
    }
    const bool written = WriteAll(fd, out.data(), out.size());
    if (::close(fd) != 0 || !written) {
        std::fprintf(stderr, "%s: cannot write: %s\n", args.output, std::strerror(errno));
        return kPeerUsageOrIo;
    }
    return kPeerWritten;
}
