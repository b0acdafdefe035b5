#include "engine/work/ArticEngineCtx.h"

#include "engine/expressions/ArticExpEvnt.h"

CArticEngineCtx& CArticEngineCtx::Get() {
    static CArticEngineCtx ctx;
    return ctx;
}

int CArticEngineCtx::Report(const CString& phase, const CString& reason, const CString& location,
                            const CString& detail) {
    if (!m_pExpEvnt || m_pExpEvnt->GetErrKind() != 0) return 1;
    m_pExpEvnt->DispErrMsg(phase, reason, location, detail);
    return 1;
}

void CArticEngineCtx::Reset() {
    m_pExpEvnt = nullptr;
    m_Fng = 0;
}
