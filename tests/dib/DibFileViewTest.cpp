// A large pixel block read from a disk file is a view of the file's pages.
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

class TempFile
{
public:
    TempFile()
    {
        char pattern[] = "/tmp/pixmora_view_XXXXXX";
        m_fd = ::mkstemp(pattern);
        m_path = pattern;
    }
    ~TempFile()
    {
        ::close(m_fd);
        std::remove(m_path.c_str());
    }
    // As a program rewriting the file does it: cut to `length`, then write.
    void Rewrite(size_t length, const std::vector<BYTE>& bytes = {})
    {
        ASSERT_EQ(::ftruncate(m_fd, static_cast<off_t>(length)), 0);
        ASSERT_EQ(::pwrite(m_fd, bytes.data(), bytes.size(), 0),
                  static_cast<ssize_t>(bytes.size()));
    }
    const char* Path() const { return m_path.c_str(); }

private:
    int m_fd = -1;
    std::string m_path;
};

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
    const std::vector<BYTE> other = FileBytes(77);
    const size_t pixels = kStart + kPixelOffset;
    struct Case
    {
        const char* name;
        size_t length;             // the file cut to this many bytes...
        std::vector<BYTE> written; // ...then these written from its start
        std::vector<BYTE> shown;   // what the file now holds, zeros past its end
    };
    std::vector<BYTE> half = original;
    const size_t halfLength = pixels + kPixelBytes / 2 + 17; // inside a page
    std::fill(half.begin() + static_cast<std::ptrdiff_t>(halfLength), half.end(), 0);
    std::vector<BYTE> none = original;
    std::fill(none.begin() + static_cast<std::ptrdiff_t>(pixels), none.end(), 0);
    const Case cases[] = {
        {"unchanged", original.size(), {}, original},
        {"cut to nothing", 0, {}, none},
        {"cut in half", halfLength, {}, half},
        {"rewritten with other pixels", 0, other, other},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TempFile disk;
        disk.Rewrite(0, original);
        CFile file(disk.Path(), CFile::modeRead);
        CDib dib;
        ASSERT_TRUE(ReadAt(dib, file));
        // Shown first, so that its pages are mapped when the file changes.
        Drawn(dib, 1.0);
        disk.Rewrite(c.length, c.written);
        ExpectDrawnAs(dib, c.shown);

        // A new read takes the file as it is now.
        if (!c.written.empty()) {
            CDib again;
            ASSERT_TRUE(ReadAt(again, file));
            ExpectDrawnAs(again, c.shown);
        }
    }
}

} // namespace
