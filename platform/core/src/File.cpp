// CFile and CMemFile: files on disk and bytes in memory, with file exceptions.

#include "core/File.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

int CFileException::OsErrorToCause(int osError)
{
    switch (osError) {
    case 0:
        return none;
    case ENOENT:
        return fileNotFound;
    case ENOTDIR:
    case ENAMETOOLONG:
    case ELOOP:
        return badPath;
    case EMFILE:
    case ENFILE:
        return tooManyOpenFiles;
    case EACCES:
    case EPERM:
    case EISDIR:
    case EROFS:
        return accessDenied;
    case EINVAL:
    case ESPIPE:
        return badSeek;
    case EIO:
        return hardIO;
    case ENOSPC:
        return diskFull;
    default:
        return genericException;
    }
}

CString CFileException::GetErrorMessage() const
{
    const char* name = m_strFileName.IsEmpty() ? "the file" : m_strFileName.GetString();
    const char* what = "could not be read";
    switch (m_cause) {
    case fileNotFound:
        what = "was not found";
        break;
    case badPath:
        what = "has a path that does not lead to a file";
        break;
    case tooManyOpenFiles:
        what = "could not be opened: too many files are open";
        break;
    case accessDenied:
        // A folder is refused as access denied, which would send the user
        // looking at permissions.
        what = m_lOsError == EISDIR ? "is a folder, not a file"
                                    : "could not be opened: access was denied";
        break;
    case invalidFile:
        what = "is not a regular file";
        break;
    case badSeek:
        what = "could not be read: a position in it is out of range";
        break;
    case hardIO:
        what = "could not be read: the device reported an error";
        break;
    case endOfFile:
        what = "ends too early";
        break;
    default:
        break;
    }
    CString message;
    message.Format("%s %s.", name, what);
    return message;
}

CFile::CFile(const char* fileName, UINT openFlags)
{
    CFileException error;
    if (!Open(fileName, openFlags, &error))
        throw error;
}

CFile::~CFile()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

BOOL CFile::Open(const char* fileName, UINT, CFileException* error)
{
    Close();
    m_strFileName = fileName;
    m_position = 0;

    auto fail = [&](int cause, int osError) {
        if (m_fd >= 0)
            ::close(m_fd);
        m_fd = -1;
        if (error) {
            error->m_cause = cause;
            error->m_lOsError = osError;
            error->m_strFileName = fileName;
        }
        return FALSE;
    };

    // O_NONBLOCK so that opening a FIFO cannot hang; it is refused below anyway.
    m_fd = ::open(fileName, O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (m_fd < 0)
        return fail(CFileException::OsErrorToCause(errno), errno);

    struct stat info
    {
    };
    if (::fstat(m_fd, &info) != 0)
        return fail(CFileException::OsErrorToCause(errno), errno);
    if (S_ISDIR(info.st_mode))
        return fail(CFileException::accessDenied, EISDIR);
    if (!S_ISREG(info.st_mode))
        return fail(CFileException::invalidFile, 0);
    return TRUE;
}

void CFile::Close()
{
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = -1;
}

ULONGLONG CFile::GetLength() const
{
    struct stat info
    {
    };
    if (m_fd < 0 || ::fstat(m_fd, &info) != 0)
        ThrowOsError(m_fd < 0 ? EBADF : errno);
    return static_cast<ULONGLONG>(info.st_size);
}

ULONGLONG CFile::SeekTarget(LONGLONG offset, UINT from, ULONGLONG length) const
{
    LONGLONG origin = 0;
    switch (from) {
    case begin:
        break;
    case current:
        origin = static_cast<LONGLONG>(m_position);
        break;
    case end:
        origin = static_cast<LONGLONG>(length);
        break;
    default:
        ThrowOsError(EINVAL);
    }
    LONGLONG target = 0;
    if (__builtin_add_overflow(origin, offset, &target) || target < 0)
        ThrowOsError(EINVAL);
    return static_cast<ULONGLONG>(target);
}

ULONGLONG CFile::Seek(LONGLONG offset, UINT from)
{
    if (m_fd < 0)
        ThrowOsError(EBADF);
    m_position = SeekTarget(offset, from, from == end ? GetLength() : 0);
    return m_position;
}

UINT CFile::Read(void* buffer, UINT count)
{
    if (m_fd < 0)
        ThrowOsError(EBADF);
    auto* out = static_cast<BYTE*>(buffer);
    UINT done = 0;
    while (done < count) {
        const ssize_t got =
            ::pread(m_fd, out + done, count - done, static_cast<off_t>(m_position + done));
        if (got < 0) {
            if (errno == EINTR)
                continue;
            ThrowOsError(errno);
        }
        if (got == 0)
            break; // end of file
        done += static_cast<UINT>(got);
    }
    m_position += done;
    return done;
}

std::unique_ptr<CFileView> CFile::MapView(ULONGLONG offset, size_t size) const
{
    return m_fd < 0 ? nullptr : CFileView::Map(m_fd, offset, size);
}

CString CFile::GetFileName() const
{
    const char* path = m_strFileName.GetString();
    const char* slash = std::strrchr(path, '/');
    return slash ? CString(slash + 1) : m_strFileName;
}

void CFile::ThrowOsError(int osError) const
{
    throw CFileException(CFileException::OsErrorToCause(osError), osError, m_strFileName);
}

void CMemFile::Close()
{
    m_open = false;
    m_data = nullptr;
    m_size = 0;
}

ULONGLONG CMemFile::GetLength() const
{
    if (!m_open)
        ThrowOsError(EBADF);
    return m_size;
}

ULONGLONG CMemFile::Seek(LONGLONG offset, UINT from)
{
    if (!m_open)
        ThrowOsError(EBADF);
    m_position = SeekTarget(offset, from, m_size);
    return m_position;
}

UINT CMemFile::Read(void* buffer, UINT count)
{
    if (!m_open)
        ThrowOsError(EBADF);
    if (m_position >= m_size)
        return 0;
    const UINT n = static_cast<UINT>(std::min<ULONGLONG>(count, m_size - m_position));
    // No copy for a zero count: the buffer may then be null.
    if (n == 0)
        return 0;
    std::memcpy(buffer, m_data + m_position, n);
    m_position += n;
    return n;
}

std::unique_ptr<CFileView> CMemFile::MapView(ULONGLONG, size_t) const
{
    return nullptr;
}
