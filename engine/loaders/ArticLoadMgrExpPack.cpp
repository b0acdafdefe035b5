// Class loaders of the packed NRPN/RPN expressions and of the source
// controller re-levelling: a note list, then their numbers.
#include <new>
#include <type_traits>

#include "engine/expressions/ArticExpPack.h"
#include "engine/expressions/ArticExpStresCont.h"
#include "engine/loaders/ArticLoadMgrExpArg.h"

namespace {

using PackLoader = CArticLoadMgr;

// Note list, Type, MSB, LSB, Time, then the value: Val (a data byte) in the
// Abs classes, the signed Add in the Rel classes.
template <class T, class Value>
int PackLoad(CArticLoadMgr& loader, CExString& text, ULONG evntNo, CArticExpBlk* blk,
             int (CArticLoadMgr::*readLast)(CExString&, Value*, CArticLoadMgr::ExpItem)) {
    if (text.IsEmpty() || !blk) return 1;
    std::unique_ptr<CArticWrkEvntList> notes;
    BYTE type = 0, msb = 0, lsb = 0;
    LONG time = 0;
    Value last = 0;
    if (loader.GetExpNoteList(text, &notes) || loader.GetExpByte(text, &type, PackLoader::kExpGated) ||
        loader.GetExpByte(text, &msb, PackLoader::kExpGated) || loader.GetExpByte(text, &lsb, PackLoader::kExpGated) ||
        loader.GetExpLong(text, &time, PackLoader::kExpGated) || (loader.*readLast)(text, &last, PackLoader::kExpFinal))
        return 1;
    using Arg = typename std::conditional<std::is_same<Value, char>::value, signed char, BYTE>::type;
    return CArticLoadMgr::AppendExpArg(blk, new (std::nothrow) T(blk, evntNo, notes.get(), type, msb, lsb, time, Arg(last)));
}

}  // namespace

int CArticLoadMgr::LoadExpPackNrpnNoteCreAbs(CExString& text, ULONG evntNo, CArticExpBlk* blk) {
    return PackLoad<CArticExpPackNrpnNoteCreAbs>(*this, text, evntNo, blk, &CArticLoadMgr::GetExpByte);
}

int CArticLoadMgr::LoadExpPackNrpnNoteCreRel(CExString& text, ULONG evntNo, CArticExpBlk* blk) {
    return PackLoad<CArticExpPackNrpnNoteCreRel>(*this, text, evntNo, blk, &CArticLoadMgr::GetExpChar);
}

int CArticLoadMgr::LoadExpPackRpnNoteCreAbs(CExString& text, ULONG evntNo, CArticExpBlk* blk) {
    return PackLoad<CArticExpPackRpnNoteCreAbs>(*this, text, evntNo, blk, &CArticLoadMgr::GetExpByte);
}

int CArticLoadMgr::LoadExpPackRpnNoteCreRel(CExString& text, ULONG evntNo, CArticExpBlk* blk) {
    return PackLoad<CArticExpPackRpnNoteCreRel>(*this, text, evntNo, blk, &CArticLoadMgr::GetExpChar);
}

int CArticLoadMgr::LoadExpOrgContCc(CExString& text, ULONG evntNo, CArticExpBlk* blk) {
    if (text.IsEmpty() || !blk) return 1;
    std::unique_ptr<CArticWrkEvntList> notes;
    BYTE type = 0, contNo = 0;
    LONG start = 0, end = 0;
    WORD offset = 0, mag = 0;
    if (GetExpNoteList(text, &notes) || GetExpByte(text, &type, kExpGated) || GetExpLong(text, &start, kExpGated) ||
        GetExpLong(text, &end, kExpGated) || GetExpByte(text, &contNo, kExpGated) ||
        GetExpWord(text, &offset, kExpGated) || GetExpWord(text, &mag, kExpFinal))
        return 1;
    return CArticLoadMgr::AppendExpArg(blk, new (std::nothrow)
                                 CArticExpOrgContCc(blk, evntNo, notes.get(), type, start, end, contNo, offset, mag));
}
