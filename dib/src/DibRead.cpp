// Reading a bitmap file image into a CDib: the headers by the shared rules,
// then the pixel block, copied or mapped.

#include "Blocks.h"
#include "dib/Dib.h"
#include "gdi/DibFile.h"

#include <cstring>

BOOL CDib::Read(CFile* file)
{
    InfoBlock info = NewInfoBlock();
    if (!info)
        return FALSE;
    DibPixelRange range;
    if (!ReadDibHeaders(file, *info, range))
        return FALSE;
    const ULONGLONG cbPixels = range.size;

    // A large uncompressed block is used where it lies in the page cache:
    // drawing reads only the rows it shows, so the first frame costs what its
    // window costs, whatever the file's size. Run-length streams are copied,
    // as their row index relies on bytes that cannot change under it.
    const DWORD compression = info->bmiHeader.biCompression;
    if (cbPixels >= kDibViewBytes && compression != BI_RLE8 && compression != BI_RLE4) {
        if (std::unique_ptr<CFileView> view = file->MapView(range.start, cbPixels)) {
            BYTE* pixels = const_cast<BYTE*>(view->GetData()); // read-only, never written
            Install(info.release(), pixels, cbPixels, std::move(view));
            return TRUE;
        }
    }

    PixelBlock pixels = NewPixelBlock(cbPixels);
    if (!pixels)
        return FALSE;
    UINT delivered = 0;
    if (cbPixels > 0) {
        file->Seek(static_cast<LONGLONG>(range.start), CFile::begin);
        delivered = file->Read(pixels.get(), static_cast<UINT>(cbPixels));
    }
    // The file can shrink between measuring and reading: what it did not
    // deliver is cleared, never left as old heap contents.
    std::memset(pixels.get() + delivered, 0, cbPixels - delivered);

    Install(info.release(), pixels.release(), cbPixels);
    return TRUE;
}
