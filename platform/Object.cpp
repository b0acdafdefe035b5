#include "platform/Object.h"

const CRuntimeClass CObject::classCObject = {"CObject", nullptr};

const CRuntimeClass* CObject::GetRuntimeClass() const { return &CObject::classCObject; }

bool CRuntimeClass::IsDerivedFrom(const CRuntimeClass* base) const {
    for (const CRuntimeClass* c = this; c; c = c->m_pBaseClass)
        if (c == base) return true;
    return false;
}
