// Run-time class records: kind-of tests along a chain and creation by record.

#include "core/Object.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

class CShape : public CObject
{
    DECLARE_DYNAMIC(CShape)
};

class CSquare : public CShape
{
    DECLARE_DYNCREATE(CSquare)
public:
    int m_corners = 0;

protected:
    CSquare() { m_corners = 4; } // only the record creates these, as the document template does
};

class CCircle : public CShape
{
    DECLARE_DYNAMIC(CCircle)
};

IMPLEMENT_DYNAMIC(CShape, CObject)
IMPLEMENT_DYNCREATE(CSquare, CShape)
IMPLEMENT_DYNAMIC(CCircle, CShape)

// Deleted through CObject*, as the framework does: the sanitizer sees a non-virtual destructor.
TEST(RuntimeClass, CreatesByRecordAndIsKindOfFollowsTheChainUpwardsOnly)
{
    std::unique_ptr<CObject> square(RUNTIME_CLASS(CSquare)->CreateObject());
    ASSERT_NE(square, nullptr);
    EXPECT_EQ(static_cast<CSquare&>(*square).m_corners, 4); // its own constructor ran
    for (const CRuntimeClass* ancestor :
         {RUNTIME_CLASS(CSquare), RUNTIME_CLASS(CShape), RUNTIME_CLASS(CObject)})
        EXPECT_TRUE(square->IsKindOf(ancestor)) << ancestor->m_lpszClassName;
    EXPECT_FALSE(square->IsKindOf(RUNTIME_CLASS(CCircle)));
    EXPECT_FALSE(RUNTIME_CLASS(CShape)->IsDerivedFrom(RUNTIME_CLASS(CSquare)));
    for (const CRuntimeClass* abstract : {RUNTIME_CLASS(CCircle), RUNTIME_CLASS(CObject)})
        EXPECT_EQ(abstract->CreateObject(), nullptr) << abstract->m_lpszClassName;
}

} // namespace
