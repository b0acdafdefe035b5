// Copies of one expression by class.
#include <cstring>

#include "driver/ArticErr.h"
#include "engine/expressions/ArticExpCreNote.h"
#include "engine/loaders/ArticExpUtil.h"

namespace {

// One class of the catalogue: its name, the copy of an object of it, and
// whether it holds a second note list.
struct ExpCopier {
    const char* className;
    CArticExpEvnt* (*copy)(CArticExpEvnt* src, CArticExpBlk* blk, ULONG evntNo);
    bool secondList;
};

// A T built by make(blk, evntNo) with the class's defaults, then assigned from src.
template <class T, T* (*Make)(CArticExpBlk*, ULONG)>
CArticExpEvnt* CopyAs(CArticExpEvnt* src, CArticExpBlk* blk, ULONG evntNo) {
    T* copy = Make(blk, evntNo);
    *copy = static_cast<const T&>(*src);
    return copy;
}

CArticExpCreNote* MakeCreNote(CArticExpBlk* blk, ULONG no) {
    return new CArticExpCreNote(blk, no, nullptr, 0, 0, 480, 60, 64);
}
CArticExpCreNote2* MakeCreNote2(CArticExpBlk* blk, ULONG no) {
    return new CArticExpCreNote2(blk, no, nullptr, 0, 0, 480, 60, 64, 0);
}
CArticExpDel* MakeDel(CArticExpBlk* blk, ULONG no) { return new CArticExpDel(blk, no, nullptr); }
CArticExpDebug_i* MakeDebug_i(CArticExpBlk* blk, ULONG no) { return new CArticExpDebug_i(blk, no, nullptr, 0); }
CArticExpDebug_i2* MakeDebug_i2(CArticExpBlk* blk, ULONG no) {
    return new CArticExpDebug_i2(blk, no, nullptr, "", 0);
}
CArticExpDebug_d* MakeDebug_d(CArticExpBlk* blk, ULONG no) { return new CArticExpDebug_d(blk, no, nullptr, 0.0); }

// In catalogue order; each expression family adds its rows as it is built.
const ExpCopier kCopiers[] = {
    {"CArticExpCreNote", CopyAs<CArticExpCreNote, MakeCreNote>, false},
    {"CArticExpCreNote2", CopyAs<CArticExpCreNote2, MakeCreNote2>, false},
    {"CArticExpDel", CopyAs<CArticExpDel, MakeDel>, false},
    {"CArticExpDebug_i", CopyAs<CArticExpDebug_i, MakeDebug_i>, false},
    {"CArticExpDebug_i2", CopyAs<CArticExpDebug_i2, MakeDebug_i2>, false},
    {"CArticExpDebug_d", CopyAs<CArticExpDebug_d, MakeDebug_d>, false},
};

const ExpCopier* FindCopier(const char* className) {
    for (const ExpCopier& c : kCopiers)
        if (std::strcmp(c.className, className) == 0) return &c;
    return nullptr;
}

}  // namespace

int CArticExpUtil::CopyEvnt(CArticExpEvnt* src, CArticExpEvnt** out, CArticExpBlk* blk, ULONG evntNo,
                            CArticWrk* wrk) {
    if (!src) return 0;
    const char* name = src->GetClassNameA();
    const ExpCopier* copier = FindCopier(name);
    if (!copier) {
        CArticErr::Set("未対応のｲﾍﾞﾝﾄのため、ｺﾋﾟｰできません。", "CArticExpUtil", "CopyEvnt",
                       CString("ｸﾗｽ名 = ") + name);
        return 1;
    }
    CArticExpEvnt* copy = copier->copy(src, blk, evntNo);
    if (wrk) {
        copy->ReLinkWrkBlk(wrk);
        copy->ReLinkWrkEvntList(wrk);
        if (copier->secondList) copy->ReLinkWrkEvntList2(wrk);
    }
    if (out) *out = copy;
    return 0;
}
