// The reader of the work-data text dump, and the bar/beat/tick and note-list
// readers that the expression readers share with it.
#include <cstring>
#include <memory>
#include <new>
#include <vector>

#include "engine/loaders/ArticLoadMgr.h"
#include "engine/work/ArticPos.h"
#include "engine/work/ArticUtil.h"
#include "engine/work/ArticWrk.h"
#include "engine/work/ArticWrkTrk.h"
#include "engine/work/ArticWrkUtil.h"
#include "platform/Numbers.h"

namespace {

constexpr char kDumpSep[] = ":,(){}";
constexpr char kWrkHeader[] = "音符ﾃﾞｰﾀの読込み中にｴﾗｰが発生しました。";

CExString CutDumpToken(CExString& text, const char* seps) { return CArticLoadMgr::CutToken(text, seps); }

bool DumpStartsWith(const CString& text, const char* prefix) { return CArticLoadMgr::StartsWith(text, prefix); }

// The whole text read as a number in radix (an empty text reads 0).
bool ReadDumpNumber(const CString& text, int radix, LONG* value) {
    CExString rest(text);
    const LONG v = rest.GetLong(radix);
    if (!rest.IsEmpty()) return false;
    *value = v;
    return true;
}

// The number at the front of text; what follows the digits is not looked at.
LONG ReadDumpLeading(const CString& text) {
    CExString rest(text);
    return rest.GetLong(10);
}

struct PartModeName {
    const char* name;
    BYTE mode;
};
const PartModeName kPartModes[] = {{"Normal", 0}, {"Drum", 1},   {"DrumS1", 2},
                                   {"DrumS2", 3}, {"DrumS3", 4}, {"DrumS4", 5}};

// One part of a bar/beat/tick triple: leading '/' skipped, up to the next
// '/' or the end. *more tells whether a '/' follows it.
bool CutMeasPart(CExString& item, ULONG* value, bool* more) {
    const char* s = item.c_str();
    const int n = item.GetLength();
    int i = 0;
    while (i < n && s[i] == '/') ++i;
    int end = i;
    while (end < n && s[end] != '/') ++end;
    LONG v = 0;
    const bool ok = ReadDumpNumber(item.Mid(i, end - i), 10, &v);
    *more = end < n;
    item = item.Mid(end);
    return ok && CArticUtil::LimitULong(v, value) == 0;
}

}  // namespace

CExString CArticLoadMgr::CutToken(CExString& text, const char* seps) {
    CExString token = text.GetToken(&text, seps);
    return token;
}

bool CArticLoadMgr::StartsWith(const CString& text, const char* prefix) {
    return std::strncmp(text.c_str(), prefix, std::strlen(prefix)) == 0;
}

// ---- The dump

int CArticLoadMgr::LoadWrk(CStringList& lines) {
    if (!m_pWrk) return 1;
    m_pWrk->Clear();
    m_pWrk->ChangeEvntNo(0);
    if (lines.IsEmpty()) return 1;
    int trkCount = -1;
    CArticWrkTrk* trk = nullptr;
    CArticWrkBlk* blk = nullptr;
    int result = 0;
    for (POSITION p = lines.GetHeadPosition(); p;) {
        CExString line(lines.GetNext(p));
        line.EraseBlankOutDQ();
        if (const int r = LoadWrkEvnt(line, trkCount, &trk, &blk)) {
            DispErrMsg(kWrkHeader, "指定したｲﾍﾞﾝﾄの内容に誤りがあります。", "LoadWrk", line, 1);
            result = r;
        }
    }
    return result;
}

int CArticLoadMgr::LoadWrkEvnt(CExString& line, int& trkCount, CArticWrkTrk** trk, CArticWrkBlk** blk) {
    if (line.IsEmpty() || !m_pWrk || !trk || !blk) return 1;
    CExString rest(line);
    const CExString head = CutDumpToken(rest, kDumpSep);
    if (DumpStartsWith(head, ";")) return 0;
    if (!DumpStartsWith(rest, ":")) return 1;

    if (head == "TRK") {
        ULONG ch = ULONG(-2), port = ULONG(-1);
        const CExString noText = CutDumpToken(rest, kDumpSep);
        ULONG trkNo = 0;
        if (CArticUtil::LimitULong(ReadDumpLeading(noText), &trkNo) != 0) return 1;
        CExString token;
        if (LoadTrkParam(rest, token, ch, port) != 0) return 1;
        auto* made = new (std::nothrow) CArticWrkTrk(m_pWrk, trkNo, ch, port);
        *trk = made;
        *blk = nullptr;
        if (!made) return 1;
        m_pWrk->AddTail(made);
        if (trkNo > 0) ++trkCount;
        return 0;
    }

    if (head == "BLK") {
        CExString token = CutDumpToken(rest, kDumpSep);
        ULONG blkNo = 0;
        if (CArticUtil::LimitULong(token.GetLong(10), &blkNo) != 0) return 1;
        BYTE partMode = 0;
        CString name;
        CArticPosArray positions;
        LoadBlkParam(rest, token, partMode, name, positions);
        const bool refused = !token.IsEmpty() || !*trk;
        CArticWrkBlk* made = refused ? nullptr : new (std::nothrow) CArticWrkBlk(*trk, blkNo);
        if (made) {
            made->SetPartMode(partMode);
            made->SetBlkName(name);
            made->CopyPosArray(&positions);
            (*trk)->AddTail(made);
            if ((*trk)->GetTrkNo() == 0 && blkNo == 0 && !m_pWrk->GetMeasBlk()) m_pWrk->SetMeasBlk(made);
            *blk = made;
        }
        ClearPosArray(&positions);
        return made ? 0 : 1;
    }

    if (!DumpStartsWith(head, "w")) return 1;
    LONG no = 0;
    ULONG evntNo = 0;
    if (!ReadDumpNumber(head.Mid(1), 10, &no) || CArticUtil::LimitULong(no, &evntNo) != 0) return 1;
    if (!*trk || !*blk) return 1;
    std::unique_ptr<CArticWrkEvnt> evnt(new (std::nothrow) CArticWrkEvnt(*blk, evntNo));
    if (!evnt) return 1;
    // An event of the measure block takes its time from its place among the
    // block's signatures, so it is in the block while its fields are read,
    // and taken out again when the line is refused.
    const bool inMeasBlk = *blk == m_pWrk->GetMeasBlk();
    POSITION placed = inMeasBlk ? (*blk)->AddTail(evnt.get(), 1) : nullptr;
    auto refuse = [&] {
        if (placed) {
            (*blk)->Remove(placed);
            m_pWrk->DeleteEvntPos(evnt.get());
        }
        return 1;
    };

    if (rest.IsEmpty()) return refuse();
    CExString meas = CutDumpToken(rest, kDumpSep);
    if (rest.IsEmpty()) return refuse();
    if (DumpStartsWith(rest, ",")) {
        ULONG bar = 0, beat = 0, tick = 0;
        if (GetMeas(meas, &bar, &beat, &tick) != 0) return refuse();
        evnt->SetMeas(bar, beat, tick);
    }
    const CExString statusName = CutDumpToken(rest, kDumpSep);
    if (rest.IsEmpty()) return refuse();
    BYTE status = 0, metaType = 0;
    if (DumpStartsWith(rest, ",")) {
        if (GetWrkStatus(statusName, &status, &metaType) != 0) return refuse();
        evnt->SetStatus(status);
    }
    if (LoadWrkEvnt(rest, status, metaType, evnt.get()) != 0) return refuse();
    if (trkCount >= 0) evnt->SetFngrInfo(0, BYTE(trkCount), 0, 0);
    if (!placed) (*blk)->AddTail(evnt.get(), 1);
    evnt.release();
    return 0;
}

int CArticLoadMgr::LoadTrkParam(CExString& rest, CExString& token, ULONG& ch, ULONG& port) {
    for (int pass = 0; pass < 2; ++pass) {
        if (rest.IsEmpty()) continue;
        token = CutDumpToken(rest, kDumpSep);
        if (DumpStartsWith(token, "ch")) {
            DWORD c = 0;
            if (CArticUtil::LimitDWORD(ReadDumpLeading(token.Mid(2)), &c) != 0 || c == 0) return 1;
            ch = c - 1;
        } else if (DumpStartsWith(token, "port")) {
            DWORD p = 0;
            if (CArticUtil::LimitDWORD(ReadDumpLeading(token.Mid(4)), &p) != 0) return 1;
            port = p;
        }
    }
    return 0;
}

int CArticLoadMgr::LoadBlkParam(CExString& rest, CExString& token, BYTE& partMode, CString& name,
                                CArticPosArray& /*positions*/) {
    while (!rest.IsEmpty()) {
        token = CutDumpToken(rest, kDumpSep);
        bool known = false;
        for (const PartModeName& m : kPartModes) {
            if (token == m.name) {
                partMode = m.mode;
                known = true;
            }
        }
        if (!known && DumpStartsWith(token, "name=") && token.GetLength() > 6) {
            const CString text = token.Mid(5);
            const bool quoted = text.GetLength() >= 2 && text[0] == '"' && text[text.GetLength() - 1] == '"';
            name = quoted ? text.Mid(1, text.GetLength() - 2) : CString();
        }
        // "posTrk<i>=0x<h>" and "posBlk<i>=0x<h>" name song positions of the
        // dump's writer, which mean nothing to the song loaded now: they are
        // read over like unknown items.
        token.Empty();
    }
    return 0;
}

// ---- Position arrays

void CArticLoadMgr::SetPos(CArticPosArray* positions, ULONG index, POSITION pos, bool trk) {
    if (!positions || !pos || index > kMaxPosIndex) return;
    const int size = positions->GetSize();
    if (int(index) >= size) {
        int grow = int(index) + 1 - size;
        if (grow % 2) ++grow;
        positions->SetSize(size + grow);
    }
    if (CArticPos* entry = positions->GetAt(int(index))) {
        POSITION t = nullptr, b = nullptr, e = nullptr;
        entry->Get(&t, &b, &e);
        entry->Set(trk ? pos : t, trk ? b : pos, e);
        return;
    }
    auto* entry = new (std::nothrow) CArticPos(trk ? pos : nullptr, trk ? nullptr : pos, nullptr);
    if (entry) positions->SetAt(int(index), entry);
}

void CArticLoadMgr::SetPosTrk(CArticPosArray* positions, ULONG index, POSITION pos) {
    SetPos(positions, index, pos, true);
}

void CArticLoadMgr::SetPosBlk(CArticPosArray* positions, ULONG index, POSITION pos) {
    SetPos(positions, index, pos, false);
}

void CArticLoadMgr::ClearPosArray(CArticPosArray* positions) {
    if (!positions) return;
    for (int i = 0; i < positions->GetSize(); ++i) delete positions->GetAt(i);
    positions->RemoveAll();
}

// ---- Fields

int CArticLoadMgr::GetMeas(CExString& item, ULONG* bar, ULONG* beat, ULONG* tick) {
    if (item.IsEmpty() || !bar || !beat || !tick) return 1;
    bool more = false;
    if (!CutMeasPart(item, bar, &more) || !more) return 1;
    if (!CutMeasPart(item, beat, &more) || !more) return 1;
    return CutMeasPart(item, tick, &more) ? 0 : 1;
}

int CArticLoadMgr::GetWrkStatus(const CExString& token, BYTE* status, BYTE* metaType) {
    return CArticWrkUtil::GetEvntStatus(token, status, metaType);
}

int CArticLoadMgr::LoadWrkEvnt(CExString& rest, BYTE status, BYTE metaType, CArticWrkEvnt* evnt) {
    if (status == 0x90) return LoadWrkNote(rest, evnt) ? 1 : 0;
    if (status == 0xFF && metaType == 0x58) return LoadWrkBeat(rest, evnt) ? 1 : 0;
    if (status == 0xFF && metaType == 0x59) return LoadWrkMeter(rest, evnt) ? 1 : 0;
    return 1;
}

int CArticLoadMgr::LoadWrkNote(CExString& rest, CArticWrkEvnt* evnt) {
    if (!evnt || rest.IsEmpty()) return 1;
    int key = 0;
    if (!CArticUtil::ConvNoteToValue(CutDumpToken(rest, kDumpSep), &key, 127, 0)) return 1;
    if (rest.IsEmpty()) return 1;
    LONG gate = 0;
    if (!ReadDumpNumber(CutDumpToken(rest, kDumpSep), 10, &gate) || gate < 0) return 1;
    evnt->SetPost1(BYTE(key));
    evnt->SetGateTime(gate);
    evnt->SetPost2(64);
    return 0;
}

int CArticLoadMgr::LoadWrkBeat(CExString& rest, CArticWrkEvnt* evnt) {
    if (!evnt || rest.IsEmpty()) return 1;
    const CExString first = CutDumpToken(rest, kDumpSep);
    if (rest.IsEmpty()) return 1;
    WORD beatTicks = 0;
    if (DumpStartsWith(rest, ",")) {
        LONG v = 0;
        if (!ReadDumpNumber(first, 10, &v) || CArticUtil::LimitWord(v, &beatTicks) != 0) return 1;
    }
    LONG num = 0;
    BYTE numerator = 0;
    if (!ReadDumpNumber(CutDumpToken(rest, kDumpSep), 10, &num) || CArticUtil::LimitByte(num, &numerator) != 0)
        return 1;
    BYTE data[4] = {};
    const BYTE denominator = CArticUtil::GetBunbo(data, beatTicks);
    CArticUtil::SetBeat(data, numerator, denominator, beatTicks);
    evnt->SetMeta(0x58, data, 4);
    if (CArticWrkBlk* owner = evnt->GetOwner()) owner->SetCondPos(evnt);
    return 0;
}

int CArticLoadMgr::LoadWrkMeter(CExString& rest, CArticWrkEvnt* evnt) {
    if (!evnt || rest.IsEmpty()) return 1;
    LONG v = 0;
    char sharpsFlats = 0;
    if (!ReadDumpNumber(CutDumpToken(rest, kDumpSep), 10, &v) || CArticUtil::LimitChar(v, &sharpsFlats) != 0)
        return 1;
    BYTE data[2] = {};
    CArticUtil::SetMeter(data, sharpsFlats, 0);
    evnt->SetMeta(0x59, data, 2);
    if (CArticWrkBlk* owner = evnt->GetOwner()) owner->SetCondPos(evnt);
    return 0;
}

// ---- Note lists

namespace {

// Reads up to count "w<number>" entries from rest, handing each number to
// take (which appends an event or refuses). The frame shared by both lists.
template <class Take>
int ReadDumpEvntList(CExString& rest, ULONG count, Take take) {
    for (ULONG i = 0; i < count; ++i) {
        const CExString token = CutDumpToken(rest, kDumpSep);
        if (token.IsEmpty() || token[0] != 'w') return 1;
        int k = 0;
        while (k < token.GetLength() && token[k] == 'w') ++k;
        // The number after the 'w's, read in place.
        size_t used = 0;
        const LONG leading = ParseLong(token.c_str() + k, 10, &used);
        ULONG no = 0;
        if (CArticUtil::LimitULong(used ? leading : 0, &no) != 0) return 1;
        if (!take(no)) return 1;
        if (rest.IsEmpty()) return 1;
        if (rest[0] == '}') return 0;
    }
    return 0;
}

int DropDumpList(CArticWrkEvntList** list) {
    (*list)->RemoveAll();
    delete *list;
    *list = nullptr;
    return 1;
}

}  // namespace

int CArticLoadMgr::LoadWrkEvntList(CExString& rest, ULONG count, CArticWrkEvntList** list) {
    if (!list || !*list) return 1;
    if (count == 0) return 0;
    const int r = ReadDumpEvntList(rest, count, [&](ULONG no) {
        CArticWrkEvnt* e = m_pWrk ? m_pWrk->GetEvntInEvntPosArray(no, 0) : nullptr;
        if (e) (*list)->AddTail(e);
        return e != nullptr;
    });
    return r ? DropDumpList(list) : 0;
}

int CArticLoadMgr::LoadWrkEvntList2(CExString& rest, ULONG count, CArticWrkEvntList** list) {
    if (!list || !*list) return 1;
    if (count == 0) return 0;
    std::vector<CArticWrkEvnt*> made;
    const int r = ReadDumpEvntList(rest, count, [&](ULONG no) {
        if (!m_pWrk || m_pWrk->GetEvntInEvntPosArray(no, 1)) return false;
        auto* e = new (std::nothrow) CArticWrkEvnt(nullptr, no);
        if (!e) return false;
        // A number the table cannot take (taken by an unplaced event, or
        // beyond its range) would leave the event owned by nobody.
        if (m_pWrk->SetEvntPos(e) != 0 || m_pWrk->GetEvntInEvntPosArray(e->GetEvntNo(), 0) != e) {
            delete e;
            return false;
        }
        made.push_back(e);
        (*list)->AddTail(e);
        return true;
    });
    if (!r) return 0;
    // A refused list leaves the work data as it was.
    for (CArticWrkEvnt* e : made) {
        m_pWrk->DeleteEvntPos(e);
        delete e;
    }
    return DropDumpList(list);
}
