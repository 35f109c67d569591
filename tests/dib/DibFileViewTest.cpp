// Pixel blocks that are views of a disk file's pages, drawn while the file is cut or rewritten.
//
// Programs that generate bitmaps rewrite them while they are shown: drawing
// must go on without a fault, what the file no longer holds drawn as zero
// bytes draw, and the next read shows the new file.

#include "BmpBytes.h"
#include "dib/Dib.h"
#include "gdi/Dc.h"
#include "gdi/Surface.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fcntl.h>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

// 8 bits per pixel with 1024-byte rows, just past the size from which a block
// is a view; the image starts 100 bytes into the file and its pixels 1078
// bytes into it, so neither is on a page boundary.
constexpr LONG kWidth = 1024;
constexpr LONG kHeight = static_cast<LONG>(kDibViewBytes / kWidth) + 3;
constexpr size_t kStart = 100;
constexpr DWORD kPixelOffset = 14 + 40 + 1024;
constexpr size_t kPixelBytes = size_t{kWidth} * kHeight;

// The whole file: junk, then the image. Pixel values depend on `seed`, and
// every colour entry is distinct, so a misplaced row or zero byte shows.
std::vector<BYTE> FileBytes(BYTE seed)
{
    BmpBytes image;
    image.Fill(kStart, 0xEE)
        .FileHeader(static_cast<DWORD>(kPixelOffset + kPixelBytes), kPixelOffset)
        .InfoHeader(kWidth, kHeight, 8);
    for (int i = 0; i < 256; ++i)
        image.U8(static_cast<BYTE>(i))
            .U8(static_cast<BYTE>(255 - i))
            .U8(static_cast<BYTE>(i * 7))
            .U8(0);
    for (LONG y = 0; y < kHeight; ++y)
        for (LONG x = 0; x < kWidth; ++x)
            image.U8(static_cast<BYTE>(x * 3 + y * 5 + seed));
    return image.Vector();
}

BOOL ReadAt(CDib& dib, CFile& file)
{
    file.Seek(kStart, CFile::begin);
    return dib.Read(&file);
}

CSurface Drawn(CDib& dib, double scale)
{
    const CSize size = dib.GetDrawnSize(scale);
    CSurface surface(size.cx, size.cy, RGB(1, 2, 3));
    CSurfaceDC dc(&surface);
    dib.Draw(&dc, 0, 0, scale);
    return surface;
}

// Draws `shown` at several scales against the same header over `expected`
// bytes, read from memory.
void ExpectDrawnAs(CDib& shown, const std::vector<BYTE>& expected)
{
    CMemFile memory(expected.data(), expected.size());
    CDib reference;
    ASSERT_TRUE(ReadAt(reference, memory));
    for (double scale : {1.0, 0.5, 2.0, 0.125}) {
        const CSurface got = Drawn(shown, scale);
        const CSurface want = Drawn(reference, scale);
        ASSERT_EQ(got.Width(), want.Width());
        ASSERT_EQ(got.Height(), want.Height());
        for (int y = 0; y < got.Height(); ++y)
            ASSERT_TRUE(std::equal(got.Row(y), got.Row(y) + got.Width(), want.Row(y)))
                << "scale " << scale << ", row " << y;
    }
}

TEST(DibFileView, DrawsTheFileWhileItIsCutOrRewritten)
{
    const std::vector<BYTE> original = FileBytes(0);
    const size_t pixels = kStart + kPixelOffset;
    const size_t half = pixels + kPixelBytes / 2 + 17; // inside a page
    // What the file now holds, zeros past its end.
    auto cutTo = [&](size_t length) {
        std::vector<BYTE> bytes = original;
        std::fill(bytes.begin() + static_cast<std::ptrdiff_t>(length), bytes.end(), 0);
        return bytes;
    };
    struct Case
    {
        const char* name;
        size_t length;             // the file cut to this many bytes...
        std::vector<BYTE> written; // ...then these written from its start
        std::vector<BYTE> shown;
    };
    const Case cases[] = {
        {"unchanged", original.size(), {}, original},
        {"cut to nothing", 0, {}, cutTo(pixels)},
        {"cut in half", half, {}, cutTo(half)},
        {"rewritten with other pixels", 0, FileBytes(77), FileBytes(77)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        char path[] = "/tmp/pixmora_view_XXXXXX";
        const int fd = ::mkstemp(path);
        ASSERT_GE(fd, 0);
        ASSERT_EQ(::write(fd, original.data(), original.size()),
                  static_cast<ssize_t>(original.size()));
        CFile file(path, CFile::modeRead);
        CDib dib;
        ASSERT_TRUE(ReadAt(dib, file));
        // Shown first, so that its pages are mapped when the file changes;
        // then changed as a program rewriting the file does it.
        Drawn(dib, 1.0);
        ASSERT_EQ(::ftruncate(fd, static_cast<off_t>(c.length)), 0);
        ASSERT_EQ(::pwrite(fd, c.written.data(), c.written.size(), 0),
                  static_cast<ssize_t>(c.written.size()));
        ExpectDrawnAs(dib, c.shown);
        // A new read takes the file as it is now.
        if (!c.written.empty()) {
            CDib again;
            ASSERT_TRUE(ReadAt(again, file));
            ExpectDrawnAs(again, c.shown);
        }
        ::close(fd);
        std::remove(path);
    }
}

} // namespace
