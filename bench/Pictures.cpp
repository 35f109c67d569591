// Test pictures for the benchmarks: bitmaps of every format written to a temporary folder.

#include "Pictures.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <unistd.h>

BYTE IndexAt(int x, int y)
{
    return static_cast<BYTE>(x * 3 + y * 5 + ((x >> 4) ^ (y >> 4)));
}

BYTE RunIndexAt(int x, int y)
{
    if (x % 2048 < 256 && y % 2048 < 256)
        return IndexAt(x, y);
    if (x % 160 == 0 || y % 90 == 0)
        return 0;
    return static_cast<BYTE>(1 + (x / 160 * 7 + y / 90 * 13) % 255);
}

void EncodeRle8Row(const std::vector<BYTE>& row, std::vector<BYTE>& out)
{
    const size_t n = row.size();
    size_t i = 0;
    while (i < n) {
        size_t run = 1;
        while (i + run < n && run < 255 && row[i + run] == row[i])
            ++run;
        // A literal stretch goes up to the next three equal pixels; one under
        // three pixels long is cheaper as short runs.
        size_t lit = 0;
        if (run < 3)
            while (i + lit < n && lit < 255 &&
                   !(i + lit + 2 < n && row[i + lit] == row[i + lit + 1] &&
                     row[i + lit] == row[i + lit + 2]))
                ++lit;
        if (lit < 3) {
            out.insert(out.end(), {static_cast<BYTE>(run), row[i]});
            i += run;
            continue;
        }
        out.insert(out.end(), {0, static_cast<BYTE>(lit)});
        out.insert(out.end(), row.begin() + static_cast<ptrdiff_t>(i),
                   row.begin() + static_cast<ptrdiff_t>(i + lit));
        if (lit % 2 != 0)
            out.push_back(0);
        i += lit;
    }
    out.insert(out.end(), {0, 0});
}

// Runs of one index, and pairs of pixels as two-colour runs elsewhere: the
// row holds 4-bit indices, one a byte.
void EncodeRle4Row(const std::vector<BYTE>& row, std::vector<BYTE>& out)
{
    const size_t n = row.size();
    size_t i = 0;
    while (i < n) {
        size_t run = 1;
        while (i + run < n && run < 254 && row[i + run] == row[i])
            ++run;
        if (run >= 2 || i + 1 == n) {
            out.insert(out.end(), {static_cast<BYTE>(run), static_cast<BYTE>(row[i] * 17)});
            i += run;
        } else {
            out.insert(out.end(), {2, static_cast<BYTE>(row[i] << 4 | row[i + 1])});
            i += 2;
        }
    }
    out.insert(out.end(), {0, 0});
}

RGBQUAD PictureColour(int i)
{
    return {static_cast<BYTE>(i * 37), static_cast<BYTE>(i * 91), static_cast<BYTE>(i * 151), 0};
}

void StoredRow(const PictureKind& kind, int y, std::vector<BYTE>& out)
{
    const int width = kind.width;
    out.clear();
    if (kind.compression == BI_RLE8 || kind.compression == BI_RLE4) {
        std::vector<BYTE> row(static_cast<size_t>(width));
        for (int x = 0; x < width; ++x) {
            const BYTE v = kind.busy ? IndexAt(x / 3, y) : RunIndexAt(x, y);
            row[x] = kind.compression == BI_RLE8 ? v : v & 15;
        }
        if (kind.compression == BI_RLE8)
            EncodeRle8Row(row, out);
        else
            EncodeRle4Row(row, out);
        return;
    }
    out.assign(static_cast<size_t>(DibRowStride(width, kind.bitCount)), 0);
    for (int x = 0; x < width; ++x) {
        const BYTE v = IndexAt(x, y);
        switch (kind.bitCount) {
        case 1:
            out[x / 8] = static_cast<BYTE>(out[x / 8] << 1 | v >> 7);
            break;
        case 4:
            out[x / 2] = static_cast<BYTE>(out[x / 2] << 4 | v >> 4);
            break;
        case 8:
            out[x] = v;
            break;
        case 16: { // x-5-5-5
            const unsigned px = (x & 31) << 10 | (y & 31) << 5 | (v >> 3);
            out[x * 2] = static_cast<BYTE>(px);
            out[x * 2 + 1] = static_cast<BYTE>(px >> 8);
            break;
        }
        default: {
            const size_t at = static_cast<size_t>(x) * (kind.bitCount / 8);
            out[at] = static_cast<BYTE>(x);
            out[at + 1] = static_cast<BYTE>(y);
            out[at + 2] = v;
        }
        }
    }
    // A row whose width is not a multiple of the pixels a byte holds keeps
    // its last pixels in the high bits.
    if (kind.bitCount == 1 && width % 8 != 0)
        out[width / 8] = static_cast<BYTE>(out[width / 8] << (8 - width % 8));
    if (kind.bitCount == 4 && width % 2 != 0)
        out[width / 2] = static_cast<BYTE>(out[width / 2] << 4);
}

namespace {

void Put32(BYTE* at, ULONGLONG v)
{
    for (int i = 0; i < 4; ++i)
        at[i] = static_cast<BYTE>(v >> (8 * i));
}

} // namespace

bool WritePictureFile(const PictureKind& kind, const std::string& path)
{
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> f(std::fopen(path.c_str(), "wb"), &std::fclose);
    if (!f)
        return false;
    // A colour table only where pixels are indices, and only as many entries
    // as the pixels can name, as writers do: some readers refuse a table
    // before 24- or 32-bit pixels, and gdk-pixbuf draws a 1- or 4-bit picture
    // black when its table is longer.
    const size_t colours = kind.bitCount <= 8 ? size_t{1} << kind.bitCount : 0;
    const size_t headers = 14 + 40 + 4 * colours;
    BYTE header[14 + 40 + 4 * kDibColorEntries] = {'B', 'M'};
    Put32(header + 10, headers);
    Put32(header + 14, 40);
    Put32(header + 18, static_cast<ULONGLONG>(kind.width));
    Put32(header + 22, static_cast<ULONGLONG>(kind.height));
    header[26] = 1;
    header[28] = static_cast<BYTE>(kind.bitCount);
    Put32(header + 30, kind.compression);
    for (size_t i = 0; i < colours; ++i) {
        const RGBQUAD c = PictureColour(static_cast<int>(i));
        BYTE* e = header + 54 + 4 * i;
        e[0] = c.rgbBlue;
        e[1] = c.rgbGreen;
        e[2] = c.rgbRed;
    }
    bool ok = std::fwrite(header, 1, headers, f.get()) == headers;
    ULONGLONG pixels = 0;
    std::vector<BYTE> row;
    for (int y = 0; ok && y < kind.height; ++y) {
        StoredRow(kind, y, row);
        ok = std::fwrite(row.data(), 1, row.size(), f.get()) == row.size();
        pixels += row.size();
    }
    if (kind.compression == BI_RLE8 || kind.compression == BI_RLE4) {
        const BYTE end[2] = {0, 1};
        ok = ok && std::fwrite(end, 1, 2, f.get()) == 2;
        pixels += 2;
    }
    // The sizes are known only now.
    BYTE sizes[4];
    Put32(sizes, headers + pixels);
    ok = ok && std::fseek(f.get(), 2, SEEK_SET) == 0 && std::fwrite(sizes, 1, 4, f.get()) == 4;
    Put32(sizes, pixels);
    ok = ok && std::fseek(f.get(), 34, SEEK_SET) == 0 && std::fwrite(sizes, 1, 4, f.get()) == 4;
    return std::fclose(f.release()) == 0 && ok;
}

namespace {

void RemovePictureDir()
{
    std::error_code ignored;
    std::filesystem::remove_all(PictureDir(), ignored);
}

} // namespace

const std::string& PictureDir()
{
    static const std::string dir = [] {
        std::string pattern = (std::filesystem::temp_directory_path() / "pixmora_bench_XXXXXX");
        if (!::mkdtemp(pattern.data())) {
            std::perror("mkdtemp");
            std::exit(1);
        }
        return pattern;
    }();
    // Registered once `dir` exists, so that it runs while `dir` still does.
    static const bool removed = (std::atexit(RemovePictureDir), true);
    (void)removed;
    return dir;
}
