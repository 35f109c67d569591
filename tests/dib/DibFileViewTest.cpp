// Pixel blocks that are views of a disk file's pages, drawn while the file is cut or rewritten.

#include "BmpBytes.h"
#include "dib/Dib.h"
#include "gdi/Dc.h"
#include "gdi/Surface.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <fcntl.h>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

// Just past the size from which a block is a view; neither image nor pixels on a page boundary.
constexpr LONG kWidth = 1024;
constexpr LONG kHeight = static_cast<LONG>(kDibViewBytes / kWidth) + 3;
constexpr size_t kStart = 100;
constexpr DWORD kPixelOffset = 14 + 40 + 1024;
constexpr size_t kPixelBytes = size_t{kWidth} * kHeight;

// Junk, then the image; its pixels depend on `seed` so a misplaced row or zero byte shows.
std::vector<BYTE> FileBytes(BYTE seed)
{
    BmpBytes image;
    image.Fill(kStart, 0xEE)
        .FileHeader(static_cast<DWORD>(kPixelOffset + kPixelBytes), kPixelOffset)
        .InfoHeader(kWidth, kHeight, 8)
        .Ramp(1024);
    for (LONG y = 0; y < kHeight; ++y)
        for (LONG x = 0; x < kWidth; ++x)
            image.U8(static_cast<BYTE>(x * 3 + y * 5 + seed));
    return image.Vector();
}

// The block holds `expected`'s pixels, and a draw of it goes through.
void ExpectShownAs(CDib& shown, const std::vector<BYTE>& expected)
{
    const BYTE* pixels = expected.data() + kStart + kPixelOffset;
    ASSERT_EQ(shown.m_cbPixels, kPixelBytes);
    EXPECT_TRUE(std::equal(pixels, pixels + kPixelBytes, shown.m_pPixels));
    CSurface surface(kWidth / 4, kHeight / 4);
    CSurfaceDC dc(&surface);
    EXPECT_EQ(shown.Draw(&dc, 0, 0, 0.25), kHeight);
}

TEST(DibFileView, DrawsTheFileWhileItIsCutOrRewritten)
{
    const std::vector<BYTE> original = FileBytes(0);
    const size_t pixels = kStart + kPixelOffset;
    const size_t half = pixels + kPixelBytes / 2 + 17; // inside a page
    struct Case
    {
        size_t length;             // the file cut to this many bytes...
        std::vector<BYTE> written; // ...then these written from its start
    };
    for (const Case& c : {Case{0, {}}, Case{half, {}}, Case{0, FileBytes(77)}}) {
        SCOPED_TRACE(testing::Message() << c.length << (c.written.empty() ? " cut" : " rewritten"));
        // Nothing written: the pixels the file no longer holds read as zeros.
        std::vector<BYTE> shown = c.written;
        if (shown.empty()) {
            shown = original;
            std::fill(shown.begin() + static_cast<std::ptrdiff_t>(std::max(c.length, pixels)),
                      shown.end(), 0);
        }
        char path[] = "/tmp/pixmora_view_XXXXXX";
        const int fd = ::mkstemp(path);
        ASSERT_GE(fd, 0);
        ASSERT_EQ(::write(fd, original.data(), original.size()),
                  static_cast<ssize_t>(original.size()));
        CFile file(path, CFile::modeRead);
        CDib dib;
        file.Seek(kStart, CFile::begin);
        ASSERT_TRUE(dib.Read(&file));
        // Shown first, so that its pages are mapped when the file changes.
        ExpectShownAs(dib, original);
        ASSERT_EQ(::ftruncate(fd, static_cast<off_t>(c.length)), 0);
        ASSERT_EQ(::pwrite(fd, c.written.data(), c.written.size(), 0),
                  static_cast<ssize_t>(c.written.size()));
        ExpectShownAs(dib, shown);
        if (!c.written.empty()) {
            CDib again;
            file.Seek(kStart, CFile::begin);
            ASSERT_TRUE(again.Read(&file));
            ExpectShownAs(again, shown);
        }
        ::close(fd);
        std::remove(path);
    }
}

} // namespace
