#pragma once

// A device-independent bitmap in memory, in the form the DIB drawing calls
// take: a 1064-byte info block (header and 256 colour entries) and a separate
// pixel block in the DIB layout.

#include "core/File.h"
#include "core/FileView.h"
#include "core/Object.h"
#include "core/Types.h"
#include "gdi/Dc.h"
#include "gdi/DibFormat.h"
#include "gdi/RleIndex.h"

#include <memory>

class CDib : public CObject
{
public:
    // A blank 16 x 16 bitmap, 8 bits per pixel, with a grey-ramp colour table.
    // Throws std::bad_alloc when even that cannot be allocated, so that no
    // object ever exists without its info block.
    CDib();
    ~CDib() override;

    // Replaces both blocks with a blank 8-bit bitmap of the given size, all
    // pixels 0 (black through the grey ramp). A negative size, or one whose
    // pixel block would not fit in 32 bits, gets an empty pixel block; the
    // header still holds the given width and height. Returns FALSE, keeping
    // the old blocks, only when memory runs out.
    virtual BOOL Create(int width, int height);

    // Loads a bitmap file image starting at the file's current position.
    // TRUE: the object holds the new bitmap. FALSE: it is not a bitmap this
    // program reads, and the object is unchanged. File errors are thrown as
    // CFileException, and the object is unchanged then too.
    virtual BOOL Read(CFile* file);

    // Draws the whole picture with its top-left corner at (x, y), at its
    // natural size or scaled; a top-down picture appears upright where a
    // bottom-up one would. The first draw of a run-length encoded picture
    // indexes its rows, so later ones decode only the rows they show. Returns the drawing call's
    // result: the scan lines drawn, 0 when nothing could be drawn (a null context among others).
    virtual int Draw(CDC* dc, int x, int y);
    virtual int Draw(CDC* dc, int x, int y, double scale);

    // The picture's extent as drawn at a scale: width and |height| (a
    // top-down picture stores a negative height), each scaled as Draw does.
    CSize GetDrawnSize(double scale) const;

    // The number of meaningful colour entries (see DibColorCount).
    int GetColorCount() const;

    // Both always set and owned. The info block is from malloc; so is the
    // pixel block, except that a large uncompressed one read from a disk file
    // is a read-only view of the file's pages (see m_pixelView).
    BITMAPINFO* m_pInfo;
    BYTE* m_pPixels;
    // The pixel block's size in bytes. It can be smaller than the rows the
    // header describes need (a short file): drawing must stay inside it.
    size_t m_cbPixels;

private:
    // `view`, when given, holds `pixels`; otherwise they are from malloc.
    void Install(BITMAPINFO* info, BYTE* pixels, size_t cbPixels,
                 std::unique_ptr<CFileView> view = nullptr);

    // Set while m_pPixels lies in a view of the file rather than on the heap.
    std::unique_ptr<CFileView> m_pixelView;

    // Where a compressed picture's rows begin: built by the first draw,
    // dropped with the blocks it points into.
    RleRowIndex m_rowIndex;
};

// Uncompressed pixel blocks of at least this many bytes read from a disk file
// are views of the file's pages (CFile::MapView) rather than heap copies. From
// here on a view costs less than a copy even when every page is drawn; below
// it, the system calls of mapping cost more than copying the bytes.
constexpr size_t kDibViewBytes = size_t{256} << 10;

// The colour count of a header of either kind (a 40-byte info header or a
// 12-byte core header): 2, 16 or 256 for 1, 4 or 8 bits per pixel, otherwise
// 0; for an info header a non-zero biClrUsed takes its place, unlimited (but
// kept within int). Reads nothing past a core header's 12 bytes.
int DibColorCount(const void* header);

// A dimension times a zoom factor, truncated toward zero and held within the
// 32-bit range (a factor that is not a number gives 0).
int ScaleDimension(int dimension, double scale);

// FALSE only when the header's size field is 12, the core kind.
BOOL IsInfoHeader(const void* header);
