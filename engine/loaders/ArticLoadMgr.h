#pragma once
// The engine's loader: one object bound to the data of one conversion that
// fills that data from text. Here: the bindings and settings, the rule-script
// front end (includes, init blocks, subroutine blocks, rule sets filtered by
// the pitch-bend switches) and the reader of the work-data text dump with the
// bar/beat/tick and note-list readers every expression reader uses; the
// expression text form: dumps of expression data, the dispatcher that turns
// one expression text into an object of its class, the item readers the
// class loaders share, and the class loaders themselves.
//
// The loader never creates, owns or deletes the objects it is bound to.
#include <memory>
#include <string>

#include "engine/rules/ArticCreExpMgr.h"
#include "engine/work/ArticWrkBlk.h"
#include "engine/work/ArticWrkEvnt.h"
#include "engine/work/ExString.h"
#include "platform/Collections.h"
#include "platform/Object.h"
#include "platform/String.h"
#include "platform/Types.h"

class CArticArrayCh;
class CArticExp;
class CArticExpBlk;
class CArticExpEvnt;
class CArticExpTrk;
class CArticMeas;
class CArticPasn;
class CArticPrefSep;
class CArticPrefSetting;
class CArticRul;
class CArticRulSet;
class CArticWrk;
class CArticWrkTrk;
class CPHConvPrm;
class CKPSManager;
class CPhrasorProc;

class CArticLoadMgr : public CObject, public CArticExpReceiver {
public:
    // The rule side passes (work, expressions, rules, none, none, none), the
    // conversion side (work, expressions, none, block, assignment, output).
    CArticLoadMgr(CArticWrk* wrk, CArticExp* exp, CArticRul* rul, CArticExpBlk* expBlk, CArticPasn* pasn,
                  CArticWrk* wrkOut);
    // A rule-side loader without expression data.
    CArticLoadMgr(CArticWrk* wrk, CArticRul* rul) : CArticLoadMgr(wrk, nullptr, rul, nullptr, nullptr, nullptr) {}
    ~CArticLoadMgr() override = default;
    CArticLoadMgr(const CArticLoadMgr&) = delete;
    CArticLoadMgr& operator=(const CArticLoadMgr&) = delete;

    // ---- Bindings and settings
    // Copies the three bindings into the out pointers that are not null.
    virtual void Get(CArticWrk** wrk, CArticExp** exp, CArticRul** rul) const;
    virtual CArticWrk* GetWrk() const { return m_pWrk; }
    virtual CArticExp* GetExp() const { return m_pExp; }
    virtual CArticRul* GetRul() const { return m_pRul; }
    virtual CPhrasorProc* GetProcDialog() const { return m_pProcDialog; }
    // The settings the last init blocks declared (see LoadRul).
    virtual int GetPbProc() const { return m_PbProc; }
    virtual int GetTgMode() const { return m_TgMode; }
    virtual int GetInstNum() const { return m_InstNum; }
    // Replaces each binding whose argument is not null: the driver's swap
    // around a load (Get, Set, load, Set) relies on nulls changing nothing.
    virtual void Set(CArticWrk* wrk, CArticExp* exp, CArticRul* rul);
    // Replace one binding, null included.
    virtual void SetWrk(CArticWrk* wrk) { m_pWrk = wrk; }
    virtual void SetExp(CArticExp* exp) { m_pExp = exp; }
    virtual void SetRul(CArticRul* rul) { m_pRul = rul; }
    virtual void SetProcDialog(CPhrasorProc* proc) { m_pProcDialog = proc; }
    virtual void SetSetCtrlPbLarge(int on) { m_SetCtrlPbLarge = on; }
    virtual void SetSetCtrlPbSmall(int on) { m_SetCtrlPbSmall = on; }
    virtual void SetGrpTime(ULONG ticks) { m_GrpTime = ticks; }
    int GetSetCtrlPbLarge() const { return m_SetCtrlPbLarge; }
    int GetSetCtrlPbSmall() const { return m_SetCtrlPbSmall; }
    ULONG GetGrpTime() const { return m_GrpTime; }
    CArticExpBlk* GetExpBlk() const { return m_pExpBlk; }
    CArticPasn* GetPasn() const { return m_pPasn; }
    CArticWrk* GetWrkOut() const { return m_pWrkOut; }

    // ---- Work-data text dump
    // Replaces the bound work data by the dump's tracks, blocks and events.
    // A faulty line is reported and skipped: 0, or the last faulty line's
    // result; 1 without work data or for an empty dump.
    virtual int LoadWrk(CStringList& lines);

    // ---- String separation and work-data copying (conversion side)
    // Rebuilds dst (emptied first) from the selected part tracks of the bound
    // work data: the master track, then one track per string (the string
    // count from the fingering records) with the channel's set-up events in
    // front. origiCh holds the channel keys of the selection, chInfo the
    // voice per key; either may be null. ch is not used. 0, or 1 when the
    // work data, a preference or dst is missing, or dst is the bound work
    // data itself (left untouched).
    virtual int Separate(CKPSManager* host, CArticPrefSep* sep, CArticPrefSetting* setting, CArticWrk* dst,
                         char ch, CArticArrayCh* origiCh, CArticArrayCh* chInfo);
    // The highest string number below 12 of the bound work data's notes; 0
    // when none.
    virtual BYTE GetMaxGenNo();
    // A copy of the master track's block 0, as dst's track 0 and measure block.
    virtual void CopyWrkTrkMstr(CArticWrk* dst);
    // The first count (at most 12) string tracks of dst, numbered from
    // counter on (counter advanced for each), with their blocks 0; each takes
    // the attributes of the next selected source track.
    virtual void AssignWrkTrk(CArticWrk* dst, CArticWrkTrk** trks, CArticWrkBlk** blks, CArticPrefSep* sep,
                              CArticPrefSetting* setting, int count, int& counter);
    // The work data into the output work data with its fingering flag: 0; 1
    // without either or when they are the same.
    virtual int CopyWrk();
    // The output work data's part numbers: its result; 1 without it.
    virtual int AssignWrk();
    // Gives every work track and block an expression track and block of its
    // number (made and linked when missing): 0; 1 without work or expression data.
    virtual int CheckExp();
    // The expressions' part-assignment records: the expression data's
    // result; 1 without expression data or part assignment.
    virtual int PasnExp();

    // ---- Rule scripts
    // Loads a whole script into the bound rule program, which is cleared
    // first; the pitch-bend option of prm picks the optional sets. 0, or 1
    // when a block failed (each reported) or nothing but init and subroutine
    // blocks was left; 0 at once when no rule program is bound.
    virtual int LoadRul(const CPHConvPrm& prm, CStringList& lines);
    // The same with pitch-bend option 0.
    virtual int LoadRul(CStringList& lines);
    // One set block: 0 when filed or dropped by the set-name filter; non-zero
    // (reported, deleted) when it failed or its number is already used.
    virtual int LoadRulSet(CStringList& lines);
    // One set block put in place of the set with its number, at the end of
    // the processing order: 0, or non-zero (the program unchanged).
    virtual int LoadRulSetUpdate(CStringList& lines);
    virtual int LoadRulSub(CStringList& lines);
    // 1 without a rule program, else the program's RemoveRulSetNo.
    virtual int RemoveRulSet(int setNo);

    // ---- Expression text form
    // Replaces the bound expression data by the dump's tracks, blocks and
    // expressions; heads make the work tracks and blocks they name when the
    // work data lacks them. Blanks outside double quotes are removed from each
    // line first. A refused line is reported once and skipped: 0, or 1 when a
    // line was refused; 1 without the three bindings or for an empty dump.
    virtual int LoadExp(CStringList& lines);
    // The dispatcher: text is "Class(items)", maybe after a ':', blanks
    // already removed. The expression, numbered evntNo, is appended to blk;
    // trk is not used. 0; 1 for an empty text (not reported) and for a class
    // without a loader or items its loader refuses (reported once here).
    // The text is used up: it is left holding what the class did not read.
    virtual int LoadExpEvnt(CExString& text, ULONG evntNo, CArticExpTrk* trk, CArticExpBlk* blk);
    // The rule run's hand-over: the same as above.
    int LoadExpEvnt(CString text, ULONG evntNo, CArticExpTrk* trk, CArticExpBlk* blk) override;

    // Records an error (kind 3) with this class's name, hands header + "\r" +
    // its text to the error dialog, and with withDetail set records a non-empty
    // detail once more as a detail line (kind 5).
    virtual void DispErrMsg(const CString& header, const CString& message, const CString& function,
                            const CString& detail, int withDetail);

    // ---- Work-dump lines
    // One dump line (blanks already removed): 0, or 1 when refused, in which
    // case the work data holds nothing of it.
    virtual int LoadWrkEvnt(CExString& line, int& trkCount, CArticWrkTrk** trk, CArticWrkBlk** blk);
    // The body of an event line for the status read before it.
    virtual int LoadWrkEvnt(CExString& rest, BYTE status, BYTE metaType, CArticWrkEvnt* evnt);
    // "ch" and "port" items of a track head.
    virtual int LoadTrkParam(CExString& rest, CExString& token, ULONG& ch, ULONG& port);
    // The items of a block head. Position items name places in the song that
    // was loaded when the dump was written, which mean nothing to the song
    // loaded now: they are read over, and positions stays empty. Always 0.
    virtual int LoadBlkParam(CExString& rest, CExString& token, BYTE& partMode, CString& name,
                             CArticPosArray& positions);
    // Put a song track (block) position at index of positions, keeping the
    // entry's other positions; an index beyond kMaxPosIndex changes nothing.
    virtual void SetPosTrk(CArticPosArray* positions, ULONG index, POSITION pos);
    virtual void SetPosBlk(CArticPosArray* positions, ULONG index, POSITION pos);
    virtual void ClearPosArray(CArticPosArray* positions);
    // "bar/beat/tick" off the front of item: 0, or 1 (a value read before the
    // failing part stays stored).
    virtual int GetMeas(CExString& item, ULONG* bar, ULONG* beat, ULONG* tick);
    virtual int GetWrkStatus(const CExString& token, BYTE* status, BYTE* metaType);
    virtual int LoadWrkBeat(CExString& rest, CArticWrkEvnt* evnt);
    virtual int LoadWrkMeter(CExString& rest, CArticWrkEvnt* evnt);
    virtual int LoadWrkNote(CExString& rest, CArticWrkEvnt* evnt);
    // Up to count entries "w<number>" of existing events (rest starts at the
    // list's "{"). On failure the list is deleted and *list set to null: 1.
    virtual int LoadWrkEvntList(CExString& rest, ULONG count, CArticWrkEvntList** list);
    // The same for numbers no placed event has: each becomes a new event,
    // registered but in no block. A refused list registers nothing.
    virtual int LoadWrkEvntList2(CExString& rest, ULONG count, CArticWrkEvntList** list);

    // ---- Expression dump lines and class loaders
    // One dump line (blanks removed) with the current track and block, which
    // the heads replace: 0; 1 when refused; kExpLineReported when the
    // dispatcher refused and reported the line's expression.
    virtual int LoadExpEvnt(CExString& line, CArticExpTrk** trk, CArticExpBlk** blk);
    static constexpr int kExpLineReported = 2;

    // Each reads the items after the class name (text starts at its '('),
    // appends the expression to blk: 0; 1 when refused, nothing kept.
    virtual int LoadExpCreNote(CExString& text, ULONG evntNo, CArticExpBlk* blk);
    virtual int LoadExpCreNote2(CExString& text, ULONG evntNo, CArticExpBlk* blk);
    virtual int LoadExpDel(CExString& text, ULONG evntNo, CArticExpBlk* blk);
    virtual int LoadExpDebug_i(CExString& text, ULONG evntNo, CArticExpBlk* blk);
    virtual int LoadExpDebug_i2(CExString& text, ULONG evntNo, CArticExpBlk* blk);
    virtual int LoadExpDebug_d(CExString& text, ULONG evntNo, CArticExpBlk* blk);
    // Tempo, set-up, velocity, duration, controller and packed classes: a
    // position passed over refuses the line (DurAll takes bar 1 then).
    virtual int LoadExpTempoAbs(CExString& text, ULONG evntNo, CArticExpBlk* blk);
    virtual int LoadExpTempoAbsRel(CExString& text, ULONG evntNo, CArticExpBlk* blk);
    virtual int LoadExpTempoRelFix(CExString& text, ULONG evntNo, CArticExpBlk* blk);
    virtual int LoadExpTempoRelCrv(CExString& text, ULONG evntNo, CArticExpBlk* blk);
    virtual int LoadExpTempoFermata(CExString& text, ULONG evntNo, CArticExpBlk* blk);
    virtual int LoadExpTempoBreath(CExString& text, ULONG evntNo, CArticExpBlk* blk);
    virtual int LoadExpInitPrmChange(CExString& text, ULONG evntNo, CArticExpBlk* blk);
    virtual int LoadExpInitPrmChange2(CExString& text, ULONG evntNo, CArticExpBlk* blk);
    virtual int LoadExpInitPrmChange3(CExString& text, ULONG evntNo, CArticExpBlk* blk);
    virtual int LoadExpInitPrmChangeKv(CExString& text, ULONG evntNo, CArticExpBlk* blk);
    virtual int LoadExpInitPrmChangeKv2(CExString& text, ULONG evntNo, CArticExpBlk* blk);
    virtual int LoadExpInitPrmChangeKv3(CExString& text, ULONG evntNo, CArticExpBlk* blk);
    virtual int LoadExpInitKvinit(CExString& text, ULONG evntNo, CArticExpBlk* blk);
    virtual int LoadExpInitKvinit2(CExString& text, ULONG evntNo, CArticExpBlk* blk);
    virtual int LoadExpInitPro(CExString& text, ULONG evntNo, CArticExpBlk* blk);
    virtual int LoadExpInitPro2(CExString& text, ULONG evntNo, CArticExpBlk* blk);
    virtual int LoadExpInitPro3(CExString& text, ULONG evntNo, CArticExpBlk* blk);
    virtual int LoadExpInitPbRange(CExString& text, ULONG evntNo, CArticExpBlk* blk);
    virtual int LoadExpInitPbRange2(CExString& text, ULONG evntNo, CArticExpBlk* blk);
    virtual int LoadExpInitPbRange3(CExString& text, ULONG evntNo, CArticExpBlk* blk);
    virtual int LoadExpStresVeloNoteAbs(CExString& text, ULONG evntNo, CArticExpBlk* blk);
    virtual int LoadExpStresVeloNoteRel(CExString& text, ULONG evntNo, CArticExpBlk* blk);
    virtual int LoadExpStresVeloTimeAbs(CExString& text, ULONG evntNo, CArticExpBlk* blk);
    virtual int LoadExpStresVeloTimeRel(CExString& text, ULONG evntNo, CArticExpBlk* blk);
    virtual int LoadExpStresVeloTimeRelCrv(CExString& text, ULONG evntNo, CArticExpBlk* blk);
    virtual int LoadExpDurRel(CExString& text, ULONG evntNo, CArticExpBlk* blk);
    virtual int LoadExpDurRel2(CExString& text, ULONG evntNo, CArticExpBlk* blk);
    virtual int LoadExpDurAbs(CExString& text, ULONG evntNo, CArticExpBlk* blk);
    virtual int LoadExpDurBp(CExString& text, ULONG evntNo, CArticExpBlk* blk);
    virtual int LoadExpDurAll(CExString& text, ULONG evntNo, CArticExpBlk* blk);
    virtual int LoadExpKeySft(CExString& text, ULONG evntNo, CArticExpBlk* blk);
    virtual int LoadExpStresContCcTimeAbs(CExString& text, ULONG evntNo, CArticExpBlk* blk);
    virtual int LoadExpStresContCcTimeRelFix(CExString& text, ULONG evntNo, CArticExpBlk* blk);
    virtual int LoadExpStresContCcTimeRelAreaFix(CExString& text, ULONG evntNo, CArticExpBlk* blk);
    virtual int LoadExpStresContCcTimeRelCrv(CExString& text, ULONG evntNo, CArticExpBlk* blk);
    virtual int LoadExpStresContCcNoteCrv(CExString& text, ULONG evntNo, CArticExpBlk* blk);
    virtual int LoadExpStresContCcNoteCreAbs(CExString& text, ULONG evntNo, CArticExpBlk* blk);
    virtual int LoadExpStresContCcNoteCreAbs2(CExString& text, ULONG evntNo, CArticExpBlk* blk);
    virtual int LoadExpStresContCcNoteCreRel(CExString& text, ULONG evntNo, CArticExpBlk* blk);
    virtual int LoadExpStresContCcNoteCreRel2(CExString& text, ULONG evntNo, CArticExpBlk* blk);
    virtual int LoadExpPackNrpnNoteCreAbs(CExString& text, ULONG evntNo, CArticExpBlk* blk);
    virtual int LoadExpPackNrpnNoteCreRel(CExString& text, ULONG evntNo, CArticExpBlk* blk);
    virtual int LoadExpPackRpnNoteCreAbs(CExString& text, ULONG evntNo, CArticExpBlk* blk);
    virtual int LoadExpPackRpnNoteCreRel(CExString& text, ULONG evntNo, CArticExpBlk* blk);
    virtual int LoadExpOrgContCc(CExString& text, ULONG evntNo, CArticExpBlk* blk);
    // Time shift, swing and waltz.
    virtual int LoadExpTimeSft(CExString& text, ULONG evntNo, CArticExpBlk* blk);
    virtual int LoadExpTimeSft2(CExString& text, ULONG evntNo, CArticExpBlk* blk);
    virtual int LoadExpTimeSwing(CExString& text, ULONG evntNo, CArticExpBlk* blk);
    virtual int LoadExpTimeWaltz(CExString& text, ULONG evntNo, CArticExpBlk* blk);
    // Pitch bend: curves, slides, guitar bends.
    virtual int LoadExpPitchCrv(CExString& text, ULONG evntNo, CArticExpBlk* blk);
    virtual int LoadExpPitchCrv2(CExString& text, ULONG evntNo, CArticExpBlk* blk);
    virtual int LoadExpPitchSlide(CExString& text, ULONG evntNo, CArticExpBlk* blk);
    virtual int LoadExpPitchSlide2(CExString& text, ULONG evntNo, CArticExpBlk* blk);
    virtual int LoadExpPitchGtrBend(CExString& text, ULONG evntNo, CArticExpBlk* blk);
    virtual int LoadExpPitchGtrSlide(CExString& text, ULONG evntNo, CArticExpBlk* blk);
    // Slurs, ties, turns and trills (one loader per class; the turns of a
    // kind share their body).
    virtual int LoadExpArraySlurPb(CExString& text, ULONG evntNo, CArticExpBlk* blk);
    virtual int LoadExpArraySlurDur(CExString& text, ULONG evntNo, CArticExpBlk* blk);
    virtual int LoadExpArrayTie(CExString& text, ULONG evntNo, CArticExpBlk* blk);
    virtual int LoadExpArrayTurn1(CExString& text, ULONG evntNo, CArticExpBlk* blk);
    virtual int LoadExpArrayTurn2(CExString& text, ULONG evntNo, CArticExpBlk* blk);
    virtual int LoadExpArrayTurn3(CExString& text, ULONG evntNo, CArticExpBlk* blk);
    virtual int LoadExpArrayTurn4(CExString& text, ULONG evntNo, CArticExpBlk* blk);
    virtual int LoadExpArrayTurn5(CExString& text, ULONG evntNo, CArticExpBlk* blk);
    virtual int LoadExpArrayTurn6(CExString& text, ULONG evntNo, CArticExpBlk* blk);
    virtual int LoadExpArrayTrill1(CExString& text, ULONG evntNo, CArticExpBlk* blk);
    virtual int LoadExpArrayTrill2(CExString& text, ULONG evntNo, CArticExpBlk* blk);
    // Stops.
    virtual int LoadExpArrayStop(CExString& text, ULONG evntNo, CArticExpBlk* blk);
    virtual int LoadExpArrayUsrStop(CExString& text, ULONG evntNo, CArticExpBlk* blk);
    // Layers. A refused LayerNote2 line leaves no new event behind.
    virtual int LoadExpLayerBow1(CExString& text, ULONG evntNo, CArticExpBlk* blk);
    virtual int LoadExpLayerBow2(CExString& text, ULONG evntNo, CArticExpBlk* blk);
    virtual int LoadExpLayerNote1(CExString& text, ULONG evntNo, CArticExpBlk* blk);
    virtual int LoadExpLayerNote2(CExString& text, ULONG evntNo, CArticExpBlk* blk);
    // Phrase-file pastes.
    virtual int LoadExpFileSmfContCc(CExString& text, ULONG evntNo, CArticExpBlk* blk);
    virtual int LoadExpFileSmfContCc2(CExString& text, ULONG evntNo, CArticExpBlk* blk);
    virtual int LoadExpFileSmfContCc3(CExString& text, ULONG evntNo, CArticExpBlk* blk);
    virtual int LoadExpFileSmfContPb(CExString& text, ULONG evntNo, CArticExpBlk* blk);
    virtual int LoadExpFileSmfContPb2(CExString& text, ULONG evntNo, CArticExpBlk* blk);
    virtual int LoadExpFileSmfContPb3(CExString& text, ULONG evntNo, CArticExpBlk* blk);
    virtual int LoadExpFileSmfContPb4(CExString& text, ULONG evntNo, CArticExpBlk* blk);
    virtual int LoadExpFileSmfContPbEg(CExString& text, ULONG evntNo, CArticExpBlk* blk);
    virtual int LoadExpFileSmfContPbEg2(CExString& text, ULONG evntNo, CArticExpBlk* blk);
    virtual int LoadExpFileSmfFree(CExString& text, ULONG evntNo, CArticExpBlk* blk);
    // Phrase-file note patterns.
    virtual int LoadExpFileSmfNoteTril2(CExString& text, ULONG evntNo, CArticExpBlk* blk);
    virtual int LoadExpFileSmfNoteTril3(CExString& text, ULONG evntNo, CArticExpBlk* blk);
    virtual int LoadExpFileSmfNoteTurn(CExString& text, ULONG evntNo, CArticExpBlk* blk);
    virtual int LoadExpFileSmfNoteTurn2(CExString& text, ULONG evntNo, CArticExpBlk* blk);
    virtual int LoadExpFileSmfNoteMord2(CExString& text, ULONG evntNo, CArticExpBlk* blk);
    virtual int LoadExpFileSmfNoteTrml1(CExString& text, ULONG evntNo, CArticExpBlk* blk);
    virtual int LoadExpFileSmfNoteTrml2(CExString& text, ULONG evntNo, CArticExpBlk* blk);
    virtual int LoadExpFileSmfNoteGlis1(CExString& text, ULONG evntNo, CArticExpBlk* blk);
    virtual int LoadExpFileSmfNoteArpg(CExString& text, ULONG evntNo, CArticExpBlk* blk);

    // ---- Item readers the class loaders share. Each takes its item off the
    // front of text (the delimiters ":,(){}" before it are skipped): 0, or 1
    // when the line is refused. A gated item is converted only when ',' follows
    // it; another delimiter leaves *value at its default; nothing after it
    // refuses. A final item is converted whatever follows. A followed item is
    // converted whatever follows, but refuses when nothing follows. No text
    // left before an item refuses.
    enum ExpItem { kExpFinal = 0, kExpGated = 1, kExpFollowed = 2 };
    // A whole decimal number; the ranges are those of the parameter widths.
    int GetExpLong(CExString& text, LONG* value, ExpItem kind);
    int GetExpULong(CExString& text, ULONG* value, ExpItem kind);
    // 0..255 also for keys, velocities, controller numbers and values: the
    // expressions bring them into MIDI range when they run.
    int GetExpByte(CExString& text, BYTE* value, ExpItem kind);
    int GetExpChar(CExString& text, char* value, ExpItem kind);
    int GetExpShort(CExString& text, short* value, ExpItem kind);
    int GetExpWord(CExString& text, WORD* value, ExpItem kind);
    // A whole real number, "." the decimal point whatever the locale.
    int GetExpDouble(CExString& text, double* value, ExpItem kind);
    // A position: a "bar/beat/tick" triple (a '/' at its second character or
    // later) into *meas, made here and the caller's; with ticks not null a
    // plain number is taken as ticks into *ticks instead (*meas stays null).
    int GetExpMeas(CExString& text, std::unique_ptr<CArticMeas>* meas, ULONG* ticks, ExpItem kind);
    // A note list "count{wN,...}" of existing work events; with needBrace
    // the count must be followed by '{'. *list is made here and the caller's.
    int GetExpNoteList(CExString& text, std::unique_ptr<CArticWrkEvntList>* list, bool needBrace = true);
    // A new-note list: events made and registered under numbers no event
    // has yet. The holder takes them back out of the work data unless the
    // loader keeps them (Keep) once its expression is appended.
    class NewNotes {
    public:
        explicit NewNotes(CArticWrk* wrk) : m_pWrk(wrk) {}
        ~NewNotes();
        NewNotes(const NewNotes&) = delete;
        NewNotes& operator=(const NewNotes&) = delete;
        CArticWrkEvntList* Get() const { return m_pList.get(); }
        void Keep() { m_Kept = true; }

    private:
        friend class CArticLoadMgr;
        CArticWrk* m_pWrk;  // not owned
        std::unique_ptr<CArticWrkEvntList> m_pList;
        bool m_Kept = false;
    };
    int GetExpNewNoteList(CExString& text, NewNotes* notes, bool needBrace = true);
    // A file name or a text in double quotes, quotes removed
    // (CArticExpUtil::GetFileName): ',' must follow it.
    int GetExpText(CExString& text, CString* value);
    // The token of the next item off text and whether kind converts it;
    // false when the line is refused.
    static bool NextExpItem(CExString& text, CExString* token, ExpItem kind, bool* convert);
    // A position item that must be read: gated, and refused when another
    // delimiter than ',' follows it (GetExpMeas reads the token).
    int GetExpPos(CExString& text, std::unique_ptr<CArticMeas>* meas, ULONG* ticks);
    // Appends a made expression to blk: 0; 1 (evnt deleted) when it could
    // not be made or placed. Every class loader ends through it.
    static int AppendExpArg(CArticExpBlk* blk, CArticExpEvnt* evnt);

    // Cuts the next token off text at any of seps; text keeps the rest.
    static CExString CutToken(CExString& text, const char* seps);
    static bool StartsWith(const CString& text, const char* prefix);

    // ---- Rule-script steps
    virtual int SetProcNest();
    virtual int LoadRulInit(int index, CStringList& lines);
    virtual int LoadRulSubAll(CStringList& lines);
    // Writes GrpTime into the set's probability: 0, or 1 without one.
    virtual int ReplaceGetGrpTime(CArticRulSet* set);
    // The two pitch-bend switches from the pitch-bend option and PbProc.
    virtual void SetPbCtrl(int selector);

    // The highest position index a dumped block may carry.
    static constexpr ULONG kMaxPosIndex = 0xFFFF;

private:
    // 1 when the set-name filter files a set of that name.
    bool IsFiled(const CString& name) const;
    // LoadRul with the pitch-bend option given as a selector.
    int LoadRulScript(int selector, CStringList& lines);
    // Walks the set lines that remain after the init and subroutine blocks;
    // the lines are moved into the sets' blocks, leaving lines emptied.
    int LoadRulSetAll(CStringList& lines);
    // What a script's sets are built from: the expanded lines, the
    // pitch-bend selector, the grouping time and the work data being bound.
    std::string SetCacheKey(int selector, const CStringList& lines) const;
    // Copies of the sets kept for key into the bound program: 0; 1 when
    // none are kept for it (nothing changed then).
    int CopyCachedSets(const std::string& key);
    // Keeps copies of the bound program's sets under key.
    void StoreSets(const std::string& key);
    void SetPos(CArticPosArray* positions, ULONG index, POSITION pos, bool trk);
    void DispRulErr(const CString& message, const CString& function, const CString& detail, int withDetail);

    CArticWrk* m_pWrk;         // not owned
    CArticExp* m_pExp;         // not owned
    CArticRul* m_pRul;         // not owned
    CArticExpBlk* m_pExpBlk;   // not owned
    CArticPasn* m_pPasn;       // not owned
    CArticWrk* m_pWrkOut;      // not owned
    int m_PbProc = 0;
    int m_SetCtrlPbLarge = 1;
    int m_SetCtrlPbSmall = 1;
    ULONG m_GrpTime = 480;
    int m_TgMode = 2;
    int m_InstNum = 0;
    CPhrasorProc* m_pProcDialog = nullptr;  // not owned, not used here
};
