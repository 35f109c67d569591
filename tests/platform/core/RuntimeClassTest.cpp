// Run-time class records: kind-of tests along a chain and creation by record.

#include "core/File.h"
#include "core/Object.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

// Two recorded levels below CObject, the first abstract, a sibling, and a
// class that keeps its base's record.
class CShape : public CObject
{
    DECLARE_DYNAMIC(CShape)
public:
    virtual int Corners() const = 0;
};

class CSquare : public CShape
{
    DECLARE_DYNCREATE(CSquare)
public:
    ~CSquare() override { ++destroyed; }
    int Corners() const override { return m_corners; }
    static inline int destroyed = 0;

protected:
    CSquare() { m_corners = 4; } // only the record creates these, as the document template does
    int m_corners = 0;
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
IMPLEMENT_DYNCREATE(CSquare, CShape)
IMPLEMENT_DYNAMIC(CCircle, CShape)

TEST(RuntimeClass, IsKindOfFollowsTheChainUpwardsOnly)
{
    std::unique_ptr<CObject> square(RUNTIME_CLASS(CSquare)->CreateObject());
    for (const CRuntimeClass* ancestor :
         {RUNTIME_CLASS(CSquare), RUNTIME_CLASS(CShape), RUNTIME_CLASS(CObject)})
        EXPECT_TRUE(square->IsKindOf(ancestor)) << ancestor->m_lpszClassName;
    EXPECT_FALSE(square->IsKindOf(RUNTIME_CLASS(CCircle)));
    EXPECT_FALSE(RUNTIME_CLASS(CShape)->IsDerivedFrom(RUNTIME_CLASS(CSquare)));
    EXPECT_FALSE(RUNTIME_CLASS(CSquare)->IsDerivedFrom(nullptr));

    // A class without its own record answers its base's; the platform's own
    // classes declare none.
    const CUnrecordedSquare unrecorded;
    EXPECT_EQ(unrecorded.GetRuntimeClass(), RUNTIME_CLASS(CSquare));
    const BYTE byte = 0;
    const CMemFile file(&byte, 1);
    EXPECT_EQ(file.GetRuntimeClass(), RUNTIME_CLASS(CObject));
    EXPECT_FALSE(file.IsKindOf(RUNTIME_CLASS(CShape)));
}

TEST(RuntimeClass, CreateObjectMakesAFreshObjectOfTheRecordedClass)
{
    std::unique_ptr<CObject> first(RUNTIME_CLASS(CSquare)->CreateObject());
    std::unique_ptr<CObject> second(RUNTIME_CLASS(CSquare)->CreateObject());
    ASSERT_NE(first, nullptr);
    EXPECT_NE(first, second);
    EXPECT_EQ(first->GetRuntimeClass(), RUNTIME_CLASS(CSquare));
    EXPECT_EQ(static_cast<const CShape&>(*first).Corners(), 4); // its own constructor ran

    const int destroyedBefore = CSquare::destroyed;
    first.reset(); // deleted through CObject*, as the framework deletes them
    EXPECT_EQ(CSquare::destroyed, destroyedBefore + 1);

    for (const CRuntimeClass* abstract :
         {RUNTIME_CLASS(CCircle), RUNTIME_CLASS(CShape), RUNTIME_CLASS(CObject)})
        EXPECT_EQ(abstract->CreateObject(), nullptr) << abstract->m_lpszClassName;
}

} // namespace
