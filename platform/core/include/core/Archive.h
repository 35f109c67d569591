#pragma once

// The archive a document's Serialize receives. It only ever carries a file
// being opened: the program writes nothing, so a storing archive exists but
// offers nothing to write with. A loading archive reads nothing ahead, so the
// file it was made on stays usable directly through GetFile().

#include "core/Types.h"

class CFile;

class CArchive
{
public:
    enum Mode : UINT
    {
        store = 0,
        load = 1,
    };

    // The file is borrowed: it must outlive the archive, which never closes it.
    CArchive(CFile* pFile, UINT nMode);
    CArchive(const CArchive&) = delete;
    CArchive& operator=(const CArchive&) = delete;
    // Leaves the file where it is; Close() is what settles its position.
    ~CArchive() = default;

    BOOL IsLoading() const { return (m_nMode & load) != 0; }
    BOOL IsStoring() const { return !IsLoading(); }
    // Null after Close().
    CFile* GetFile() const { return m_pFile; }

    // A loading archive puts the file back where its own reading stands, which
    // is where the file stood when the archive was made, since nothing is read
    // through it. A storing archive has nothing to write out.
    void Flush();
    // Flushes, then lets go of the file.
    void Close();

private:
    CFile* m_pFile;
    UINT m_nMode;
    ULONGLONG m_startPosition;
};
