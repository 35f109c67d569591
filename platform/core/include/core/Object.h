#pragma once

class CArchive;

// The root of the framework's class tree. Objects derived from it are owned
// through pointers and never copied.
class CObject
{
public:
    CObject() = default;
    CObject(const CObject&) = delete;
    CObject& operator=(const CObject&) = delete;
    virtual ~CObject() = default;

    virtual void Serialize(CArchive& ar);
    virtual void AssertValid() const {}
};

inline void CObject::Serialize(CArchive&) {}
