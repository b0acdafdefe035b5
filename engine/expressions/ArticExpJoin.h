#pragma once
// Joining listed notes into one sounding note: the reference chains of the
// work data's position records (each note refers to the note that now sounds
// for it, its root), the walk over the pairs of neighbours, and the deletion
// of the joined notes afterwards. Slurs, ties and the guitar bends and slides
// share it; each brings its own step for one pair.
#include <functional>

#include "engine/work/ArticWrkEvnt.h"
#include "platform/Types.h"

class CArticWrk;
class CArticWrkBlk;

class CArticExpJoin {
public:
    CArticExpJoin();
    ~CArticExpJoin();
    CArticExpJoin(const CArticExpJoin&) = delete;
    // Clears the three lists and copies src's references; the working values
    // and the joined notes are not copied.
    CArticExpJoin& operator=(const CArticExpJoin& src);

    // ---- Position records (all: 0; 1 without work data, event or record)
    // Follows the references to the event that refers to itself; a chain
    // that comes back to an event already visited is refused with 1.
    static int GetRefWrkEvnt(CArticWrk* wrk, CArticWrkEvnt* evnt, CArticWrkEvnt** root);
    static int SetRefWrkEvnt(CArticWrk* wrk, CArticWrkEvnt* evnt, CArticWrkEvnt* ref);
    // The record's own key; 255 and 1 without record.
    static int GetKeyHead(CArticWrk* wrk, CArticWrkEvnt* evnt, BYTE* key);
    static int GetKeyTail(CArticWrk* wrk, CArticWrkEvnt* evnt, BYTE* key);
    // The key in the record and every record along its chain up to the root.
    static int SetKeyHead(CArticWrk* wrk, CArticWrkEvnt* evnt, BYTE key);
    static int SetKeyTail(CArticWrk* wrk, CArticWrkEvnt* evnt, BYTE key);

    // ---- The pair lists
    CArticWrkEvntList* EvntList2() const { return m_pEvntList2; }
    CArticWrkEvntList* RefEvntList() const { return m_pRefEvntList; }
    CArticWrkEvntList* PrsEvntList() const { return m_pPrsEvntList; }
    void ClearEvntList2() { m_pEvntList2->RemoveAll(); }
    void ClearRefEvntList() { m_pRefEvntList->RemoveAll(); }
    void ClearPrsEvntList() { m_pPrsEvntList->RemoveAll(); }
    // RefEvntList: the root of each EvntList2 entry; 1 for an empty EvntList2
    // or a root not found.
    int SetRefEvntList(CArticWrk* wrk);
    // PrsEvntList: the first EvntList2 entry and each later one whose root
    // differs from the root of the entry before it; 1 when EvntList2 is empty.
    int SetPrsEvntList(CArticWrk* wrk);
    // Keep first: head = ra's head, tail = rb's tail; for a, then b: the keys
    // along the chain, then the reference to ra.
    int ResetRefEvntList0(CArticWrk* wrk, CArticWrkEvnt* a, CArticWrkEvnt* b);
    // Keep last: head = ra's head, tail = rb's tail; for b, then a: the
    // reference to rb, then the keys along the chain.
    int ResetRefEvntList1(CArticWrk* wrk, CArticWrkEvnt* a, CArticWrkEvnt* b);

    // ---- The kept note
    // Keep first: the first root lasts to the end of the last root.
    int GrowFirst();
    // Keep last: the last root starts where the first root starts, keeps its
    // end and is re-sorted in its block.
    int GrowLast();

    // The walk over the neighbour pairs of notes (keep last: from the tail);
    // a pair of different roots becomes EvntList2 and runs twin. Afterwards
    // the velocity moves as Type bit 1 says (also after a failed pair). The
    // first failure ends the walk and is the result.
    int WalkPairs(CArticWrk* wrk, const CArticWrkEvntList* notes, bool keepLast, bool veloBit,
                  const std::function<int()>& twin);
    // Phase 2: without a stored failure, every listed note but the kept one
    // that wrk still holds; after a failure, exactly the notes of the pairs
    // that were joined. 0 when a note was removed; 1 otherwise (after a
    // failure with nothing joined: 0, nothing done).
    int DelJoined(CArticWrk* wrk, const CArticWrkEvntList* notes, bool keepLast, bool failed);

    // ---- Working values of the bending joins
    BYTE CurKey = 0;
    LONG PbRange = 2;
    LONG PbShift = 0;
    INT64 NextTime = 0;
    LONG NextPbLevel = 0;
    BYTE LastKey = 0;
    LONG PrevShift = 0;
    INT64 FirstTime = 0;
    LONG FirstPbLevel = 0;

private:
    CArticWrkEvntList* m_pEvntList2;
    CArticWrkEvntList* m_pRefEvntList;
    CArticWrkEvntList* m_pPrsEvntList;
    CArticWrkEvntList m_Joined;  // the notes of this run's joined pairs that phase 2 removes
};

// Shared by the joins and the bends: a bend in force at a time, pinned there.
namespace ArticJoinPb {
// near (a position of the block's list, null for none) is where the walks
// over the block may start: the results are those of the walks from its ends.
// int(8192 / range + 0.5) bend units, range the bend range in force at time.
LONG Semitone(CArticWrkBlk* blk, INT64 time);
// The bend level in force at time put back there as the only event of that time.
int Pin(CArticWrk* wrk, CArticWrkBlk* blk, INT64 time, LONG level, POSITION near = nullptr);
// Adds shift (kept within what the bend can hold) to the bends of [t1, t2].
int Shift(CArticWrkBlk* blk, INT64 t1, INT64 t2, LONG shift, POSITION near = nullptr);
LONG Level(CArticWrkBlk* blk, INT64 time, POSITION near = nullptr);
}  // namespace ArticJoinPb
