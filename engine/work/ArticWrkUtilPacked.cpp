// Packed parameter events of CArticWrkUtil (NRPN 0x10, RPN 0x20, voice 0x30):
// creation, deletion and the value in force. The RPN 0/0 is the bend range,
// which the block's condition timeline mirrors; the block forms keep that
// mirror in step.
#include "engine/work/ArticWrkUtil.h"
#include "engine/work/ArticWrkUtilContImpl.h"

using namespace wrkcont;

namespace {

bool IsPbRange(BYTE status, BYTE msb, BYTE lsb) { return status == 0x20 && msb == 0 && lsb == 0; }

bool Matches(const CArticWrkEvnt* e, BYTE status, BYTE msb, BYTE lsb) {
    return e->GetStatus() == status && e->GetPost1() == msb && e->GetPost2() == lsb;
}

_WRK_EVNT PbRangeRecord() {
    _WRK_EVNT r;
    r.Status = 0x20;
    return r;
}

}  // namespace

int CArticWrkUtil::CrePackedTime(CArticWrk* wrk, CArticWrkBlk* blk, INT64 time, BYTE status, BYTE msb, BYTE lsb,
                                 BYTE value) {
    if (time == kWrkNoTime) return 0;
    CArticWrkEvnt* e = nullptr;
    int rc = CreateWrkEvnt(wrk, blk, &e);
    if (rc != 0 || !e) return rc;
    _WRK_EVNT r;
    e->Get(r);
    r.Status = status;
    r.Post1 = msb;
    r.Post2 = lsb;
    r.Post3 = value;
    r.Post4 = 0;
    e->Set(r);
    e->SetTime(time, 1);
    blk->Sort(e, 1);
    return IsPbRange(status, msb, lsb) ? blk->SetCondPos(e) : 0;
}

int CArticWrkUtil::DelPackedTime(CArticWrkEvntList* list, INT64 time, BYTE status, BYTE msb, BYTE lsb) {
    return DelPackedTimeArea(list, time, time, status, msb, lsb);
}

int CArticWrkUtil::DelPackedTime(CArticWrkBlk* blk, INT64 time, BYTE status, BYTE msb, BYTE lsb) {
    if (time == kWrkNoTime) return 0;
    if (!blk || !blk->GetEvntList())
        return ReportErr("中間作業ﾃﾞｰﾀ・ｲﾍﾞﾝﾄ編集時(第１段階)にｴﾗｰが発生しました。",
                         "中間音符ﾃﾞｰﾀ・ｲﾍﾞﾝﾄ（Packed）を削除する際にｴﾗｰが発生した。",
                         "CArticWrkUtil::DelPackedTime", "");
    int rc = DelPackedTime(blk->GetEvntList(), time, status, msb, lsb);
    if (rc == 0 && IsPbRange(status, msb, lsb)) rc = blk->DelCondPos(PbRangeRecord(), time, time);
    return rc;
}

int CArticWrkUtil::DelPackedTimeArea(CArticWrkEvntList* list, INT64 t1, INT64 t2, BYTE status, BYTE msb, BYTE lsb) {
    return DestroyInArea(list, t1, t2, [&](const CArticWrkEvnt* e) { return Matches(e, status, msb, lsb); });
}

int CArticWrkUtil::DelPackedTimeArea(CArticWrkBlk* blk, INT64 t1, INT64 t2, BYTE status, BYTE msb, BYTE lsb) {
    if (!blk || !blk->GetEvntList()) return 1;
    int rc = DelPackedTimeArea(blk->GetEvntList(), t1, t2, status, msb, lsb);
    if (rc == 0 && IsPbRange(status, msb, lsb)) rc = blk->DelCondPos(PbRangeRecord(), t1, t2);
    return rc;
}

BYTE CArticWrkUtil::GetFrontPackedVal(CArticWrkEvntList* list, INT64 time, BYTE status, BYTE msb, BYTE lsb) {
    if (!list) return 0;
    const CArticWrkEvnt* last = nullptr;
    for (POSITION p = list->GetHeadPosition(); p;) {
        CArticWrkEvnt* e = list->GetNext(p);
        if (!e) continue;
        if (e->GetTime() >= time) break;
        if (Matches(e, status, msb, lsb)) last = e;
    }
    return last ? last->GetPost3() : CArticUtil::GetDefaultPackedVal(status, msb, lsb);
}
