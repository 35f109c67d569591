// CArchive over files: positions, flushing and modes.

#include "core/Archive.h"

#include "core/File.h"
#include "core/Object.h"

#include <gtest/gtest.h>

#include <array>
#include <memory>
#include <numeric>

namespace {

// Byte i of the file is i, so a byte read tells where the file stood.
const std::array<BYTE, 256> kBytes = [] {
    std::array<BYTE, 256> bytes{};
    std::iota(bytes.begin(), bytes.end(), BYTE{0});
    return bytes;
}();

TEST(Archive, ModeAndFileAreWhatItWasMadeWith)
{
    CMemFile file(kBytes.data(), kBytes.size());
    const CArchive loading(&file, CArchive::load);
    EXPECT_TRUE(loading.IsLoading());
    EXPECT_FALSE(loading.IsStoring());
    EXPECT_EQ(loading.GetFile(), &file);

    const CArchive storing(&file, CArchive::store);
    EXPECT_FALSE(storing.IsLoading());
    EXPECT_TRUE(storing.IsStoring());
    EXPECT_EQ(storing.GetFile(), &file);
}

TEST(Archive, FlushPutsTheFileWhereTheArchiveWasMade)
{
    CMemFile file(kBytes.data(), kBytes.size());
    file.Seek(100, CFile::begin);
    CArchive ar(&file, CArchive::load);
    EXPECT_EQ(file.GetPosition(), 100u); // making it read nothing ahead

    BYTE byte = 0;
    file.Read(&byte, 1);
    file.Seek(40, CFile::begin);
    ar.Flush();
    EXPECT_EQ(file.GetPosition(), 100u);
    ASSERT_EQ(file.Read(&byte, 1), 1u);
    EXPECT_EQ(byte, 100);

    file.Seek(7, CFile::begin);
    ar.Close(); // flushes, then lets go of the file without closing it
    EXPECT_EQ(ar.GetFile(), nullptr);
    EXPECT_EQ(file.GetPosition(), 100u);
    ar.Flush(); // nothing left to flush
    EXPECT_EQ(file.Read(&byte, 1), 1u);
}

TEST(Archive, StoringFlushAndDestructionLeaveTheFileAlone)
{
    CMemFile file(kBytes.data(), kBytes.size());
    {
        CArchive storing(&file, CArchive::store);
        file.Seek(30, CFile::begin);
        storing.Flush();
        EXPECT_EQ(file.GetPosition(), 30u);
        CArchive loading(&file, CArchive::load);
        file.Seek(50, CFile::begin);
    }
    EXPECT_EQ(file.GetPosition(), 50u);
}

// Loads the way the document does: through the archive's file, after a flush.
class CLoader : public CObject
{
    DECLARE_DYNCREATE(CLoader)
public:
    void Serialize(CArchive& ar) override
    {
        CFile* file = ar.GetFile();
        ar.Flush();
        m_read = file->Read(m_first, sizeof m_first);
    }

    UINT m_read = 0;
    BYTE m_first[2] = {};
};

IMPLEMENT_DYNCREATE(CLoader, CObject)

TEST(Archive, ACreatedObjectSerializesFromTheFileStart)
{
    CMemFile file(kBytes.data(), kBytes.size());
    file.Seek(100, CFile::begin);
    CArchive ar(&file, CArchive::load);
    std::unique_ptr<CObject> object(RUNTIME_CLASS(CLoader)->CreateObject());
    file.Seek(0, CFile::end); // someone else used the file in between
    object->Serialize(ar);

    const auto& loader = static_cast<const CLoader&>(*object);
    ASSERT_EQ(loader.m_read, 2u);
    EXPECT_EQ(loader.m_first[0], 100);
    EXPECT_EQ(loader.m_first[1], 101);
}

} // namespace
