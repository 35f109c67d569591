#pragma once

// The root of the framework's class tree, with run-time class records.
//
// A class that the framework must recognise or create by its record declares
// one in its class body and defines it in one source file:
//
//     class CMyDoc : public CDocument {
//         DECLARE_DYNCREATE(CMyDoc)
//         ...
//     };
//
//     IMPLEMENT_DYNCREATE(CMyDoc, CDocument)
//
// DECLARE_DYNAMIC / IMPLEMENT_DYNAMIC give a record without a creation
// function. The records are constant-initialised data linked through their
// base pointers, so they are complete before any code runs: nothing registers
// itself at start-up and nothing is allocated. A class that declares no record
// answers the record of its nearest recorded base.

#include "core/Types.h"

#include <type_traits>

class CArchive;
class CObject;

struct CRuntimeClass
{
    const char* m_lpszClassName;
    int m_nObjectSize;
    // 0xFFFF: the class has no versioned serialised form.
    UINT m_wSchema;
    CObject* (*m_pfnCreateObject)();   // null when the class cannot be created from its record
    const CRuntimeClass* m_pBaseClass; // null only for CObject

    // A new, default-constructed object on the heap, owned by the caller; null
    // when the class cannot be created from its record.
    CObject* CreateObject() const { return m_pfnCreateObject ? m_pfnCreateObject() : nullptr; }

    // Whether this record is pBaseClass or one of its descendants.
    BOOL IsDerivedFrom(const CRuntimeClass* pBaseClass) const
    {
        for (const CRuntimeClass* p = this; p; p = p->m_pBaseClass) {
            if (p == pBaseClass)
                return TRUE;
        }
        return FALSE;
    }
};

#define RUNTIME_CLASS(class_name) (&class_name::class##class_name)

// Leaves the class body's access at public, where the record must be.
#define DECLARE_DYNAMIC(class_name)                                                                \
public:                                                                                            \
    static const CRuntimeClass class##class_name;                                                  \
    const CRuntimeClass* GetRuntimeClass() const override                                          \
    {                                                                                              \
        return RUNTIME_CLASS(class_name);                                                          \
    }

// The creation function is a member so that it may use a protected default
// constructor.
#define DECLARE_DYNCREATE(class_name)                                                              \
    DECLARE_DYNAMIC(class_name)                                                                    \
    static CObject* CreateObject();

// constinit makes any record that could not be built at compile time an error
// rather than a start-up ordering hazard.
#define PIXMORA_IMPLEMENT_RUNTIMECLASS(class_name, base_class_name, schema, pfnNew)                \
    static_assert(std::is_base_of_v<base_class_name, class_name>,                                  \
                  "a run-time class record chains to a base class");                               \
    constinit const CRuntimeClass class_name::class##class_name = {                                \
        #class_name, static_cast<int>(sizeof(class_name)), schema, pfnNew,                         \
        RUNTIME_CLASS(base_class_name)};

#define IMPLEMENT_DYNAMIC(class_name, base_class_name)                                             \
    PIXMORA_IMPLEMENT_RUNTIMECLASS(class_name, base_class_name, 0xFFFF, nullptr)

#define IMPLEMENT_DYNCREATE(class_name, base_class_name)                                           \
    CObject* class_name::CreateObject()                                                            \
    {                                                                                              \
        return new class_name;                                                                     \
    }                                                                                              \
    PIXMORA_IMPLEMENT_RUNTIMECLASS(class_name, base_class_name, 0xFFFF, &class_name::CreateObject)

// Objects derived from CObject are owned through pointers and never copied.
class CObject
{
public:
    static const CRuntimeClass classCObject;

    CObject() = default;
    CObject(const CObject&) = delete;
    CObject& operator=(const CObject&) = delete;
    virtual ~CObject() = default;

    virtual const CRuntimeClass* GetRuntimeClass() const { return &classCObject; }
    BOOL IsKindOf(const CRuntimeClass* pClass) const
    {
        return GetRuntimeClass()->IsDerivedFrom(pClass);
    }

    virtual void Serialize(CArchive& ar);
    virtual void AssertValid() const {}
};

inline void CObject::Serialize(CArchive&) {}
