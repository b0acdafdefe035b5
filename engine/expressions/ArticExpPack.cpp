#include "engine/expressions/ArticExpPack.h"

#include "engine/expressions/ArticExpStresCont.h"
#include "engine/work/ArticWrkBlk.h"
#include "engine/work/ArticWrkUtil.h"

VX_IMPLEMENT_CLASS(CArticExpPack, CArticExpStres);
VX_IMPLEMENT_CLASS(CArticExpPackNoteCreAbs, CArticExpPack);
VX_IMPLEMENT_CLASS(CArticExpPackNoteCreRel, CArticExpPack);
VX_IMPLEMENT_CLASS(CArticExpPackNrpnNoteCreAbs, CArticExpPackNoteCreAbs);
VX_IMPLEMENT_CLASS(CArticExpPackRpnNoteCreAbs, CArticExpPackNoteCreAbs);
VX_IMPLEMENT_CLASS(CArticExpPackNrpnNoteCreRel, CArticExpPackNoteCreRel);
VX_IMPLEMENT_CLASS(CArticExpPackRpnNoteCreRel, CArticExpPackNoteCreRel);

namespace {

BYTE PackedValueAt(const ArticNoteValueOps& o, CArticWrkBlk* blk, INT64 t, POSITION /*near*/) {
    // The value in force at t: an event exactly at t counts.
    return CArticWrkUtil::GetFrontPackedVal(blk->GetEvntList(), t >= kWrkNoTime ? t : t + 1, o.status, o.number,
                                            o.lsb);
}
int PackedDelAt(const ArticNoteValueOps& o, CArticWrkBlk* blk, INT64 t, POSITION /*near*/) {
    return CArticWrkUtil::DelPackedTime(blk, t, o.status, o.number, o.lsb);
}
int PackedCreAt(const ArticNoteValueOps& o, CArticWrk* wrk, CArticWrkBlk* blk, INT64 t, BYTE v, POSITION /*near*/) {
    return CArticWrkUtil::CrePackedTime(wrk, blk, t, o.status, o.number, o.lsb, v);
}
int PackedDelArea(const ArticNoteValueOps& o, CArticWrkBlk* blk, INT64 t1, INT64 t2, POSITION /*near*/) {
    return CArticWrkUtil::DelPackedTimeArea(blk, t1, t2, o.status, o.number, o.lsb);
}
int PackedShiftArea(const ArticNoteValueOps& o, CArticWrkBlk* blk, INT64 t1, INT64 t2, int add,
                    POSITION /*near*/) {
    return CArticWrkUtil::ShiftPackedEvnt(blk, o.status, o.number, o.lsb, t1, t2, short(add));
}

}  // namespace

CArticExpPack& CArticExpPack::operator=(const CArticExpPack& src) {
    CArticExpStres::operator=(src);
    m_Type = src.m_Type;
    m_MSB = src.m_MSB;
    m_LSB = src.m_LSB;
    m_Val = src.m_Val;
    return *this;
}

int CArticExpPack::RunPacked(BYTE status, LONG time, bool relative, int value) {
    const ArticNoteValueOps ops{PackedValueAt, PackedDelAt,   PackedCreAt, PackedDelArea,
                                PackedShiftArea, status, MidiData(m_MSB), MidiData(m_LSB)};
    // An absolute value is written within 0..127.
    const int rc = ArticNoteValueList(ops, GetWrkEvntList(), ArticNoteValueEditOf(m_Type, time, relative, value));
    if (rc != 0 && GetErrKind() == 0) {
        const bool nrpn = status == 0x10;
        DispErrMsg(kPhase1Title,
                   nrpn ? "指定時刻にPacked-NRPNを指定する際にｴﾗｰが発生した。" : "指定時刻にPacked-RPNを指定する際にｴﾗｰが発生した。",
                   nrpn ? "ConvToWrk => CreWrkPackNrpn" : "ConvToWrk => CreWrkPackRpn", "");
    }
    return rc;
}

CArticExpPackNoteCreAbs& CArticExpPackNoteCreAbs::operator=(const CArticExpPackNoteCreAbs& src) {
    CArticExpPack::operator=(src);
    m_Time = src.m_Time;
    return *this;
}

CArticExpPackNoteCreRel& CArticExpPackNoteCreRel::operator=(const CArticExpPackNoteCreRel& src) {
    CArticExpPack::operator=(src);
    m_Time = src.m_Time;
    m_Add = src.m_Add;
    return *this;
}

int CArticExpPackNrpnNoteCreAbs::ConvToWrk() { return RunAbs(0x10); }
int CArticExpPackRpnNoteCreAbs::ConvToWrk() { return RunAbs(0x20); }
int CArticExpPackNrpnNoteCreRel::ConvToWrk() { return RunRel(0x10); }
int CArticExpPackRpnNoteCreRel::ConvToWrk() { return RunRel(0x20); }
