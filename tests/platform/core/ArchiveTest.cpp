// CArchive: a loading archive hands the document its file where the archive was made.

#include "core/Archive.h"

#include "core/File.h"

#include <gtest/gtest.h>

#include <array>
#include <numeric>

TEST(Archive, LoadingFlushAndClosePutTheFileWhereTheArchiveWasMade)
{
    std::array<BYTE, 256> bytes{}; // byte i is i, so a byte read tells where the file stood
    std::iota(bytes.begin(), bytes.end(), BYTE{0});
    CMemFile file(bytes.data(), bytes.size());
    file.Seek(100, CFile::begin);
    CArchive ar(&file, CArchive::load);
    EXPECT_EQ(file.GetPosition(), 100u); // making it read nothing ahead

    file.Seek(40, CFile::begin); // someone else used the file in between
    ar.Flush();
    BYTE byte = 0;
    ASSERT_EQ(ar.GetFile()->Read(&byte, 1), 1u);
    EXPECT_EQ(byte, 100);

    file.Seek(7, CFile::begin);
    ar.Close(); // flushes, then lets go of the file without closing it
    EXPECT_EQ(ar.GetFile(), nullptr);
    EXPECT_EQ(file.GetPosition(), 100u);
    ar.Flush(); // nothing left to flush

    CArchive storing(&file, CArchive::store); // a storing archive leaves the file alone
    EXPECT_TRUE(storing.IsStoring() && !storing.IsLoading());
    file.Seek(30, CFile::begin);
    storing.Close();
    EXPECT_EQ(file.GetPosition(), 30u);
}
