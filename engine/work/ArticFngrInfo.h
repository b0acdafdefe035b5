#pragma once
// Fingering of a string-instrument note: fret position, string (0 = no
// fingering), finger, choke value and the song track it came from.
#include "platform/Object.h"
#include "platform/Types.h"

class CArticFngrInfo : public CObject {
    VX_DECLARE_CLASS(CArticFngrInfo)
public:
    CArticFngrInfo(LONG pos = 0, BYTE gen = 0, BYTE fng = 0, signed char cho = 0)
        : m_Pos(pos), m_Gen(gen), m_Fng(fng), m_Cho(cho) {}
    CArticFngrInfo(const CArticFngrInfo& src) = default;
    CArticFngrInfo& operator=(const CArticFngrInfo& src) = default;

    virtual LONG GetPos() const { return m_Pos; }
    virtual BYTE GetGen() const { return m_Gen; }
    virtual BYTE GetFng() const { return m_Fng; }
    virtual signed char GetCho() const { return m_Cho; }
    virtual POSITION GetOrgTrkID() const { return m_OrgTrkID; }
    virtual void SetPos(LONG pos) { m_Pos = pos; }
    virtual void SetGen(BYTE gen) { m_Gen = gen; }
    virtual void SetFng(BYTE fng) { m_Fng = fng; }
    virtual void SetCho(signed char cho) { m_Cho = cho; }
    virtual void SetOrgTrkID(POSITION id) { m_OrgTrkID = id; }

private:
    LONG m_Pos;
    BYTE m_Gen;
    BYTE m_Fng;
    signed char m_Cho;
    POSITION m_OrgTrkID = nullptr;
};
