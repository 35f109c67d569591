// CFile and CMemFile: opening, reading, seeking and the errors they throw.

#include "core/File.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <fstream>
#include <memory>
#include <string>
#include <sys/mman.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

const BYTE kContent[] = {'0', '1', '2', '3', '4', '5', '6', '7', '8', '9'};

std::string TempPath(const std::string& name)
{
    return testing::TempDir() + "pixmora_file_test_" + std::to_string(::getpid()) + "_" + name;
}

std::string WriteTempFile(const std::string& name, const BYTE* data, size_t size)
{
    const std::string path = TempPath(name);
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    return path;
}

// Both kinds of file object must behave alike: the reader takes either.
template <typename T>
std::unique_ptr<CFile> MakeFile();

template <>
std::unique_ptr<CFile> MakeFile<CFile>()
{
    const std::string path = WriteTempFile("content", kContent, sizeof kContent);
    return std::make_unique<CFile>(path.c_str(), CFile::modeRead | CFile::typeBinary);
}

template <>
std::unique_ptr<CFile> MakeFile<CMemFile>()
{
    return std::make_unique<CMemFile>(kContent, sizeof kContent);
}

template <typename T>
class FileReading : public testing::Test
{
protected:
    std::unique_ptr<CFile> file = MakeFile<T>();
    BYTE buffer[16] = {};
};

using FileKinds = testing::Types<CFile, CMemFile>;
TYPED_TEST_SUITE(FileReading, FileKinds);

TYPED_TEST(FileReading, ReadsAdvanceAndDeliverFewerBytesAtTheEnd)
{
    CFile& f = *this->file;
    EXPECT_EQ(f.GetLength(), 10u);
    EXPECT_EQ(f.Read(this->buffer, 4), 4u);
    EXPECT_EQ(f.GetPosition(), 4u);
    EXPECT_EQ(std::string(this->buffer, this->buffer + 4), "0123");

    EXPECT_EQ(f.Read(this->buffer, 16), 6u); // only what is left, no error
    EXPECT_EQ(std::string(this->buffer, this->buffer + 6), "456789");
    EXPECT_EQ(f.GetPosition(), 10u);
    EXPECT_EQ(f.Read(this->buffer, 16), 0u);
    EXPECT_EQ(f.Read(this->buffer, 0), 0u);
}

TYPED_TEST(FileReading, SeeksFromEachOriginAndPastTheEnd)
{
    CFile& f = *this->file;
    EXPECT_EQ(f.Seek(7, CFile::begin), 7u);
    EXPECT_EQ(f.Read(this->buffer, 1), 1u);
    EXPECT_EQ(this->buffer[0], '7');
    EXPECT_EQ(f.Seek(-3, CFile::current), 5u);
    EXPECT_EQ(f.Seek(-2, CFile::end), 8u);
    EXPECT_EQ(f.Read(this->buffer, 4), 2u);

    // Past the end is a valid position that simply holds nothing.
    EXPECT_EQ(f.Seek(1000, CFile::begin), 1000u);
    EXPECT_EQ(f.Read(this->buffer, 4), 0u);
    EXPECT_EQ(f.GetPosition(), 1000u);
}

TYPED_TEST(FileReading, SeekBeforeTheStartThrowsAndKeepsThePosition)
{
    CFile& f = *this->file;
    f.Seek(3, CFile::begin);
    try {
        f.Seek(-4, CFile::current);
        FAIL() << "a negative position was accepted";
    } catch (const CFileException& e) {
        EXPECT_EQ(e.m_cause, CFileException::badSeek);
    }
    EXPECT_THROW(f.Seek(INT64_MIN, CFile::end), CFileException);
    EXPECT_EQ(f.GetPosition(), 3u);
}

TYPED_TEST(FileReading, AZeroByteReadCopiesNothingAndAClosedFileThrows)
{
    CFile& f = *this->file;
    EXPECT_EQ(f.Read(nullptr, 0), 0u);
    EXPECT_EQ(f.GetPosition(), 0u);
    f.Close();
    EXPECT_THROW(f.Read(this->buffer, 1), CFileException);
    EXPECT_THROW(f.Seek(0, CFile::begin), CFileException);
    EXPECT_THROW(f.GetLength(), CFileException);
}

TEST(MemoryFile, NoBytesAtAllIsAnEmptyFile)
{
    CMemFile f(nullptr, 0);
    BYTE buffer[4] = {9, 9, 9, 9};
    EXPECT_EQ(f.GetLength(), 0u);
    EXPECT_EQ(f.Read(buffer, sizeof buffer), 0u);
    EXPECT_EQ(buffer[0], 9);
    EXPECT_EQ(f.Seek(5, CFile::begin), 5u);
    EXPECT_EQ(f.Read(buffer, sizeof buffer), 0u);
}

TEST(DiskFile, OpenFailuresNameTheCauseAndTheFile)
{
    const std::string missing = TempPath("does-not-exist.bmp");
    CFile file;
    CFileException error;
    EXPECT_FALSE(file.Open(missing.c_str(), CFile::modeRead, &error));
    EXPECT_EQ(error.m_cause, CFileException::fileNotFound);
    EXPECT_EQ(error.m_lOsError, ENOENT);
    EXPECT_EQ(error.m_strFileName, missing.c_str());
    EXPECT_NE(std::string(error.GetErrorMessage()).find(missing), std::string::npos);

    try {
        CFile thrown(missing.c_str(), CFile::modeRead);
        FAIL() << "opening a missing file did not throw";
    } catch (const CFileException& e) {
        EXPECT_EQ(e.m_cause, CFileException::fileNotFound);
        EXPECT_EQ(e.m_strFileName, missing.c_str());
    }
}

TEST(DiskFile, OnlyRegularFilesOpen)
{
    CFile file;
    CFileException error;
    EXPECT_FALSE(file.Open(testing::TempDir().c_str(), CFile::modeRead, &error));
    EXPECT_EQ(error.m_cause, CFileException::accessDenied);

    // A FIFO with no writer would block a reader for ever.
    const std::string fifo = TempPath("fifo");
    ::unlink(fifo.c_str());
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    EXPECT_FALSE(file.Open(fifo.c_str(), CFile::modeRead, &error));
    EXPECT_EQ(error.m_cause, CFileException::invalidFile);
    ::unlink(fifo.c_str());
}

TEST(DiskFile, ReadsWhatOthersWroteAndReportsItsName)
{
    const std::string path = WriteTempFile("named.bmp", kContent, sizeof kContent);
    CFile file;
    ASSERT_TRUE(file.Open(path.c_str(), CFile::modeRead));
    EXPECT_EQ(file.GetFilePath(), path.c_str());
    EXPECT_EQ(
        file.GetFileName(),
        (std::string("pixmora_file_test_") + std::to_string(::getpid()) + "_named.bmp").c_str());

    // Reopening starts again at the beginning.
    file.Seek(5, CFile::begin);
    ASSERT_TRUE(file.Open(path.c_str(), CFile::modeRead));
    EXPECT_EQ(file.GetPosition(), 0u);

    file.Close();
    BYTE b = 0;
    EXPECT_THROW(file.Read(&b, 1), CFileException);
}

} // namespace

namespace {

// A bus error that no view explains is a real fault: it must still end the
// process, as it would with no views at all, and never be retried forever.
TEST(FileViewDeathTest, BusErrorsOutsideViewsStillEndTheProcess)
{
    const std::vector<BYTE> page(8192, 1);
    const std::string path = WriteTempFile("bus", page.data(), page.size());
    CFile file(path.c_str(), CFile::modeRead);
    const std::unique_ptr<CFileView> view = file.MapView(1, page.size() - 1);
    ASSERT_TRUE(view);
    ASSERT_EQ(view->GetData()[4096], 1);

    const auto endedByTheFault = [](int status) {
        return (WIFSIGNALED(status) && WTERMSIG(status) == SIGBUS) ||
               (WIFEXITED(status) && WEXITSTATUS(status) != 0); // a sanitizer's report
    };
    EXPECT_EXIT(
        {
            ::alarm(20); // a fault retried forever ends by the alarm, which fails the test
            const int fd = ::open(path.c_str(), O_RDWR);
            auto* other = static_cast<volatile BYTE*>(
                ::mmap(nullptr, page.size(), PROT_READ, MAP_SHARED, fd, 0));
            if (::ftruncate(fd, 0) == 0)
                std::printf("%d\n", other[4096]);
            std::exit(0);
        },
        endedByTheFault, "");
    std::remove(path.c_str());
}

} // namespace
