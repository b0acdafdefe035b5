#pragma once
// Root object with a run-time class record. Kind tests in the engine compare
// class NAME TEXTS (GetClassNameA); a class that declares no record of its own
// reports its base's.
#include "platform/Types.h"

class CArchive;

struct CRuntimeClass {
    const char* m_lpszClassName;
    const CRuntimeClass* m_pBaseClass;
    bool IsDerivedFrom(const CRuntimeClass* base) const;
};

class CObject {
public:
    virtual ~CObject() = default;
    virtual const CRuntimeClass* GetRuntimeClass() const;
    virtual void Serialize(CArchive& ar) {}
    const char* GetClassNameA() const { return GetRuntimeClass()->m_lpszClassName; }
    bool IsKindOf(const CRuntimeClass* cls) const { return GetRuntimeClass()->IsDerivedFrom(cls); }
    static const CRuntimeClass classCObject;
};

// In the class body: gives the class a run-time record of its own.
#define VX_DECLARE_CLASS(cls)                                   \
public:                                                         \
    static const CRuntimeClass class##cls;                      \
    const CRuntimeClass* GetRuntimeClass() const override;

// In one source file: the record, naming the base class. Written with a
// closing ';' like any declaration (the last one here needs it), so that
// tools reading the file see the definitions after it.
#define VX_IMPLEMENT_CLASS(cls, base)                                           \
    const CRuntimeClass cls::class##cls = {#cls, &base::class##base};            \
    const CRuntimeClass* cls::GetRuntimeClass() const { return &cls::class##cls; } \
    static_assert(true, #cls " has its run-time record")

#define VX_RUNTIME_CLASS(cls) (&cls::class##cls)
