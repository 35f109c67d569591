// Run-time class records: kind-of tests along a chain and creation by name.

#include "core/File.h"
#include "core/Object.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace {

// Three recorded levels below CObject, the top one abstract, plus a sibling
// branch and a class that keeps its base's record.
class CShape : public CObject
{
    DECLARE_DYNAMIC(CShape)
public:
    virtual int Corners() const = 0;
};

class CPolygon : public CShape
{
    DECLARE_DYNCREATE(CPolygon)
public:
    ~CPolygon() override { ++destroyed; }
    int Corners() const override { return m_corners; }

    static inline int destroyed = 0;

protected:
    // Only the record creates these, as the document template does.
    CPolygon() = default;
    int m_corners = 3;
};

class CSquare : public CPolygon
{
    DECLARE_DYNCREATE(CSquare)
protected:
    CSquare() { m_corners = 4; }
};

class CCircle : public CShape
{
    DECLARE_DYNAMIC(CCircle)
public:
    int Corners() const override { return 0; }
};

class CUnrecordedSquare : public CSquare
{
};

IMPLEMENT_DYNAMIC(CShape, CObject)
IMPLEMENT_DYNCREATE(CPolygon, CShape)
IMPLEMENT_DYNCREATE(CSquare, CPolygon)
IMPLEMENT_DYNAMIC(CCircle, CShape)

struct RecordRow
{
    const CRuntimeClass* record;
    const char* name;
    size_t size;
    bool creatable;
    const CRuntimeClass* base;
};

TEST(RuntimeClass, RecordsDescribeTheirClassAndChainToCObject)
{
    const RecordRow rows[] = {
        {RUNTIME_CLASS(CObject), "CObject", sizeof(CObject), false, nullptr},
        {RUNTIME_CLASS(CShape), "CShape", sizeof(CShape), false, RUNTIME_CLASS(CObject)},
        {RUNTIME_CLASS(CPolygon), "CPolygon", sizeof(CPolygon), true, RUNTIME_CLASS(CShape)},
        {RUNTIME_CLASS(CSquare), "CSquare", sizeof(CSquare), true, RUNTIME_CLASS(CPolygon)},
        {RUNTIME_CLASS(CCircle), "CCircle", sizeof(CCircle), false, RUNTIME_CLASS(CShape)},
    };
    for (const RecordRow& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(std::string(row.record->m_lpszClassName), row.name);
        EXPECT_EQ(static_cast<size_t>(row.record->m_nObjectSize), row.size);
        EXPECT_EQ(row.record->m_wSchema, 0xFFFFu);
        EXPECT_EQ(row.record->m_pfnCreateObject != nullptr, row.creatable);
        EXPECT_EQ(row.record->m_pBaseClass, row.base);
    }
    static_assert(sizeof(CSquare) > sizeof(CShape)); // the sizes above are told apart
}

TEST(RuntimeClass, IsKindOfFollowsTheChainUpwardsOnly)
{
    std::unique_ptr<CObject> square(RUNTIME_CLASS(CSquare)->CreateObject());
    for (const CRuntimeClass* ancestor : {RUNTIME_CLASS(CSquare), RUNTIME_CLASS(CPolygon),
                                          RUNTIME_CLASS(CShape), RUNTIME_CLASS(CObject)}) {
        EXPECT_TRUE(square->IsKindOf(ancestor)) << ancestor->m_lpszClassName;
    }
    EXPECT_FALSE(square->IsKindOf(RUNTIME_CLASS(CCircle)));

    std::unique_ptr<CObject> polygon(RUNTIME_CLASS(CPolygon)->CreateObject());
    EXPECT_FALSE(polygon->IsKindOf(RUNTIME_CLASS(CSquare)));
    EXPECT_TRUE(polygon->IsKindOf(RUNTIME_CLASS(CShape)));

    const CCircle circle;
    EXPECT_FALSE(circle.IsKindOf(RUNTIME_CLASS(CPolygon)));
    EXPECT_FALSE(RUNTIME_CLASS(CObject)->IsDerivedFrom(RUNTIME_CLASS(CShape)));
    EXPECT_FALSE(RUNTIME_CLASS(CSquare)->IsDerivedFrom(nullptr));
}

TEST(RuntimeClass, CreateObjectMakesAFreshObjectOfTheRecordedClass)
{
    std::unique_ptr<CObject> first(RUNTIME_CLASS(CSquare)->CreateObject());
    std::unique_ptr<CObject> second(RUNTIME_CLASS(CSquare)->CreateObject());
    ASSERT_NE(first, nullptr);
    EXPECT_NE(first, second);
    EXPECT_EQ(first->GetRuntimeClass(), RUNTIME_CLASS(CSquare));
    const auto* square = dynamic_cast<const CSquare*>(first.get());
    ASSERT_NE(square, nullptr);
    EXPECT_EQ(square->Corners(), 4); // its own constructor ran, not just the base's

    const int destroyedBefore = CPolygon::destroyed;
    first.reset(); // deleted through CObject*, as the framework deletes them
    EXPECT_EQ(CPolygon::destroyed, destroyedBefore + 1);

    EXPECT_EQ(RUNTIME_CLASS(CCircle)->CreateObject(), nullptr);
    EXPECT_EQ(RUNTIME_CLASS(CShape)->CreateObject(), nullptr);
    EXPECT_EQ(RUNTIME_CLASS(CObject)->CreateObject(), nullptr);
}

TEST(RuntimeClass, AClassWithoutItsOwnRecordAnswersItsBases)
{
    const CUnrecordedSquare unrecorded;
    EXPECT_EQ(unrecorded.GetRuntimeClass(), RUNTIME_CLASS(CSquare));
    EXPECT_TRUE(unrecorded.IsKindOf(RUNTIME_CLASS(CPolygon)));

    // The platform's own classes declare no records.
    const BYTE byte = 0;
    const CMemFile file(&byte, 1);
    EXPECT_EQ(file.GetRuntimeClass(), RUNTIME_CLASS(CObject));
    EXPECT_TRUE(file.IsKindOf(RUNTIME_CLASS(CObject)));
    EXPECT_FALSE(file.IsKindOf(RUNTIME_CLASS(CShape)));
}

} // namespace
