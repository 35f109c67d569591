#pragma once

// Read-only file objects. Failures are thrown as CFileException, which says
// what went wrong and with which file; reading past the end is not a failure,
// it only delivers fewer bytes.

#include "core/FileView.h"
#include "core/Object.h"
#include "core/String.h"
#include "core/Types.h"

class CException : public CObject
{
public:
    // A sentence for the user that says what failed.
    virtual CString GetErrorMessage() const = 0;
};

class CFileException : public CException
{
public:
    enum Cause
    {
        none,
        genericException,
        fileNotFound,
        badPath,
        tooManyOpenFiles,
        accessDenied,
        invalidFile,
        removeCurrentDir,
        directoryFull,
        badSeek,
        hardIO,
        sharingViolation,
        lockViolation,
        diskFull,
        endOfFile,
    };

    CFileException(int cause = none, int osError = 0, const char* fileName = nullptr)
        : m_cause(cause), m_lOsError(osError), m_strFileName(fileName)
    {
    }
    // Exceptions are thrown and caught by value; CObject forbids copies elsewhere.
    CFileException(const CFileException& other)
        : CException(), m_cause(other.m_cause), m_lOsError(other.m_lOsError),
          m_strFileName(other.m_strFileName)
    {
    }

    static int OsErrorToCause(int osError);

    CString GetErrorMessage() const override;

    int m_cause;
    int m_lOsError;
    CString m_strFileName;
};

class CFile : public CObject
{
public:
    enum OpenFlags : UINT
    {
        modeRead = 0x0000,
        shareDenyNone = 0x0040,
        shareDenyWrite = 0x0020,
        typeBinary = 0x8000,
    };
    enum SeekPosition : UINT
    {
        begin = 0,
        current = 1,
        end = 2,
    };

    CFile() = default;
    // Opens the file or throws CFileException.
    CFile(const char* fileName, UINT openFlags);
    ~CFile() override;

    // Opens the file; on failure fills *error (when given) and returns FALSE.
    // Only regular files open: a directory, a pipe or a device is refused.
    BOOL Open(const char* fileName, UINT openFlags, CFileException* error = nullptr);
    virtual void Close();

    virtual ULONGLONG GetPosition() const { return m_position; }
    virtual ULONGLONG GetLength() const;
    // Moves to an absolute position worked out from `from`; a position before
    // the start throws (badSeek), one past the end is allowed and reads nothing.
    virtual ULONGLONG Seek(LONGLONG offset, UINT from);
    // Copies up to `count` bytes and returns how many it delivered: fewer only
    // at the end of the file.
    virtual UINT Read(void* buffer, UINT count);
    // A read-only view of `size` bytes at `offset`, taken from the page cache
    // instead of copied; null when the range cannot be mapped, and the caller
    // reads it instead. Throws nothing.
    virtual std::unique_ptr<CFileView> MapView(ULONGLONG offset, size_t size) const;

    const CString& GetFilePath() const { return m_strFileName; }
    CString GetFileName() const;

protected:
    // Works out an absolute position for Seek from a file of the given length.
    ULONGLONG SeekTarget(LONGLONG offset, UINT from, ULONGLONG length) const;
    [[noreturn]] void ThrowOsError(int osError) const;

    ULONGLONG m_position = 0;
    CString m_strFileName;

private:
    int m_fd = -1;
};

// A file object over bytes already in memory, which it borrows and never
// changes; the bytes must outlive it or its Close. It behaves as a disk file
// of the same bytes does, down to throwing once closed.
class CMemFile : public CFile
{
public:
    CMemFile(const BYTE* data, size_t size) : m_data(data), m_size(size) {}
    ~CMemFile() override = default;

    // Lets go of the bytes.
    void Close() override;
    ULONGLONG GetLength() const override;
    ULONGLONG Seek(LONGLONG offset, UINT from) override;
    UINT Read(void* buffer, UINT count) override;
    // Always null: the bytes are in memory already, and borrowed.
    std::unique_ptr<CFileView> MapView(ULONGLONG offset, size_t size) const override;

private:
    const BYTE* m_data;
    size_t m_size;
    bool m_open = true;
};
