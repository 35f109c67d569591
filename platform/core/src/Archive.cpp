// CArchive: a file opened for loading or storing a document.

#include "core/Archive.h"

#include "core/File.h"

CArchive::CArchive(CFile* pFile, UINT nMode)
    : m_pFile(pFile), m_nMode(nMode), m_startPosition(pFile ? pFile->GetPosition() : 0)
{
}

void CArchive::Flush()
{
    // The caller may have moved the file since the archive was made; the
    // document reads from it next and relies on finding the start there.
    if (IsLoading() && m_pFile && m_pFile->GetPosition() != m_startPosition)
        m_pFile->Seek(static_cast<LONGLONG>(m_startPosition), CFile::begin);
}

void CArchive::Close()
{
    Flush();
    m_pFile = nullptr;
}
