// CFile and CMemFile: reading, seeking, the errors they throw, and views of a shrinking file.

#include "core/File.h"

#include <gtest/gtest.h>

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
#include <type_traits>
#include <unistd.h>
#include <utility>
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

// The reader takes either kind.
template <typename T>
class FileReading : public testing::Test
{
protected:
    std::unique_ptr<CFile> file =
        std::is_same_v<T, CMemFile>
            ? std::make_unique<CMemFile>(kContent, sizeof kContent)
            : std::make_unique<CFile>(WriteTempFile("content", kContent, sizeof kContent).c_str(),
                                      CFile::modeRead | CFile::typeBinary);
    BYTE buffer[16] = {};
};

using FileKinds = testing::Types<CFile, CMemFile>;
TYPED_TEST_SUITE(FileReading, FileKinds);

// Past the end is a valid position that holds nothing; before the start is not.
TYPED_TEST(FileReading, ReadsAndSeeksDeliverWhatIsThereAndNoMore)
{
    CFile& f = *this->file;
    BYTE* buffer = this->buffer;
    EXPECT_EQ(f.GetLength(), 10u);
    EXPECT_EQ(f.Read(buffer, 4), 4u);
    EXPECT_EQ(f.Read(buffer + 4, 16), 6u);
    EXPECT_EQ(std::string(buffer, buffer + 10), "0123456789");
    EXPECT_EQ(f.Seek(7, CFile::begin), 7u);
    EXPECT_EQ(f.Seek(-3, CFile::current), 4u);
    EXPECT_EQ(f.Read(buffer, 1), 1u);
    EXPECT_EQ(buffer[0], '4');
    EXPECT_EQ(f.Seek(-2, CFile::end), 8u);
    EXPECT_EQ(f.Seek(1000, CFile::begin), 1000u);
    EXPECT_EQ(f.Read(buffer, 4), 0u);

    f.Seek(3, CFile::begin);
    try {
        f.Seek(-4, CFile::current);
        FAIL() << "a negative position was accepted";
    } catch (const CFileException& e) {
        EXPECT_EQ(e.m_cause, CFileException::badSeek);
    }
    EXPECT_THROW(f.Seek(INT64_MIN, CFile::end), CFileException);
    EXPECT_EQ(f.GetPosition(), 3u);
    f.Close();
    EXPECT_THROW(f.Read(this->buffer, 1), CFileException);
    EXPECT_THROW(f.Seek(0, CFile::begin), CFileException);
    EXPECT_THROW(f.GetLength(), CFileException);
}

// A FIFO with no writer would block a reader for ever.
TEST(DiskFile, OnlyRegularFilesOpenAndFailuresNameTheCauseAndTheFile)
{
    const std::string missing = TempPath("does-not-exist.bmp");
    const std::string fifo = TempPath("fifo");
    ::unlink(fifo.c_str());
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    for (const auto& [path, cause] :
         {std::pair{missing, int{CFileException::fileNotFound}},
          std::pair{testing::TempDir(), int{CFileException::accessDenied}},
          std::pair{fifo, int{CFileException::invalidFile}}}) {
        CFile file;
        CFileException error;
        EXPECT_FALSE(file.Open(path.c_str(), CFile::modeRead, &error)) << path;
        EXPECT_EQ(error.m_cause, cause) << path;
        EXPECT_NE(std::string(error.GetErrorMessage()).find(path), std::string::npos);
    }
    ::unlink(fifo.c_str());
    try {
        CFile thrown(missing.c_str(), CFile::modeRead);
        FAIL() << "opening a missing file did not throw";
    } catch (const CFileException& e) {
        EXPECT_EQ(std::string(e.GetErrorMessage()), missing + " was not found.");
    }

    const std::string path = WriteTempFile("named.bmp", kContent, sizeof kContent);
    CFile file;
    ASSERT_TRUE(file.Open(path.c_str(), CFile::modeRead));
    EXPECT_EQ(file.GetFileName(), path.substr(path.rfind('/') + 1).c_str());
    file.Seek(5, CFile::begin);
    ASSERT_TRUE(file.Open(path.c_str(), CFile::modeRead)); // reopens at the start
    EXPECT_EQ(file.GetPosition(), 0u);
}

// A bus error no view explains is a real fault: it must end the process, not be retried.
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
