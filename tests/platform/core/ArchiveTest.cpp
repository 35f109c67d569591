// CArchive: a loading archive hands the document its file where the archive was made.

#include "core/Archive.h"

#include "core/File.h"

#include <gtest/gtest.h>

#include <array>
#include <numeric>

namespace {

// Byte i of the file is i, so a byte read tells where the file stood.
const std::array<BYTE, 256> kBytes = [] {
    std::array<BYTE, 256> bytes{};
    std::iota(bytes.begin(), bytes.end(), BYTE{0});
    return bytes;
}();

TEST(Archive, LoadingFlushAndClosePutTheFileWhereTheArchiveWasMade)
{
    CMemFile file(kBytes.data(), kBytes.size());
    file.Seek(100, CFile::begin);
    CArchive ar(&file, CArchive::load);
    EXPECT_TRUE(ar.IsLoading());
    EXPECT_FALSE(ar.IsStoring());
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
    EXPECT_EQ(file.Read(&byte, 1), 1u);
}

TEST(Archive, StoringLeavesTheFileAlone)
{
    CMemFile file(kBytes.data(), kBytes.size());
    CArchive storing(&file, CArchive::store);
    EXPECT_TRUE(storing.IsStoring());
    file.Seek(30, CFile::begin);
    storing.Close();
    EXPECT_EQ(file.GetPosition(), 30u);
}

} // namespace
